// Fields to bits.  Every component is checked against its kind and width
// before anything is written, so a field that does not fit is an error and
// never a shortened or wrapped value.
#include "epc/encode.h"

#include <cstring>
#include <string_view>

#include "epc/bits.h"
#include "epc/characters.h"
#include "epc/decimal.h"
#include "epc/error.h"
#include "epc/layout.h"

namespace velkor::epc {
namespace {

constexpr velkor_epc_field kFieldOf[3] = {VELKOR_EPC_FIELD_COMPANY_PREFIX,
                                          VELKOR_EPC_FIELD_REFERENCE, VELKOR_EPC_FIELD_SERIAL};

// The text of a fixed-size field, or false when it has no terminating NUL.
template <std::size_t N>
bool text_of(const char (&field)[N], std::string_view *text) {
  const std::size_t length = strnlen(field, N);
  *text = std::string_view(field, length);
  return length < N;
}

velkor_epc_status check_digits(std::string_view text, const char *label, velkor_epc_field field,
                               velkor_epc_error *error) {
  for (std::size_t i = 0; i < text.size(); ++i)
    if (!is_digit(text[i]))
      return fail(error, VELKOR_EPC_BAD_CHARACTER, field, label,
                  "'%c' at position %zu is not a digit", text[i], i + 1);
  return VELKOR_EPC_OK;
}

// Checks one component's text; on success its bits go to the writer, if any.
velkor_epc_status put_component(const Component &part, std::string_view text,
                                const char *label, velkor_epc_field field, BitWriter *writer,
                                velkor_epc_error *error) {
  switch (part.kind) {
    case Kind::Absent:
    case Kind::Reserved:
      if (!text.empty())
        return fail(error, VELKOR_EPC_BAD_LENGTH, field, nullptr,
                    "this scheme has no component here, but '%.*s' was given",
                    static_cast<int>(text.size()), text.data());
      if (writer != nullptr) writer->put(0, part.bits);
      return VELKOR_EPC_OK;
    case Kind::String:
      if (text.empty()) return fail(error, VELKOR_EPC_BAD_LENGTH, field, label, "empty");
      if (text.size() > part.size)
        return fail(error, VELKOR_EPC_BAD_LENGTH, field, label,
                    "%zu characters, at most %u fit", text.size(), part.size);
      for (std::size_t i = 0; i < text.size(); ++i)
        if (!is_value_character(text[i]))
          return fail(error, VELKOR_EPC_BAD_CHARACTER, field, label,
                      "character 0x%02X at position %zu is not allowed",
                      static_cast<unsigned char>(text[i]), i + 1);
      if (writer != nullptr) {
        for (char c : text) writer->put(static_cast<unsigned char>(c), 7);
        for (unsigned rest = part.bits - 7 * static_cast<unsigned>(text.size()); rest > 0;) {
          const unsigned n = rest < 64 ? rest : 64;
          writer->put(0, n);
          rest -= n;
        }
      }
      return VELKOR_EPC_OK;
    case Kind::Padded:
    case Kind::Integer: {
      if (const velkor_epc_status status = check_digits(text, label, field, error))
        return status;
      std::uint64_t value = 0;
      if (part.kind == Kind::Padded) {
        if (text.size() != part.size)
          return fail(error, VELKOR_EPC_BAD_LENGTH, field, label,
                      "%zu digits where the partition has %u", text.size(), part.size);
        read_decimal(text, &value);
      } else {
        if (text.empty()) return fail(error, VELKOR_EPC_BAD_LENGTH, field, label, "empty");
        if (text.size() > 1 && text[0] == '0')
          return fail(error, VELKOR_EPC_LEADING_ZERO, field, label,
                      "'%.*s' has a leading zero, which an integer field cannot keep",
                      static_cast<int>(text.size()), text.data());
        if (!read_decimal(text, &value) || (value >> part.bits) != 0)
          return fail(error, VELKOR_EPC_TOO_LARGE, field, label,
                      "%.*s does not fit in %u bits (at most %llu)",
                      static_cast<int>(text.size()), text.data(), part.bits,
                      static_cast<unsigned long long>((std::uint64_t{1} << part.bits) - 1));
      }
      if (writer != nullptr) writer->put(value, part.bits);
      return VELKOR_EPC_OK;
    }
  }
  return VELKOR_EPC_OK;
}

// The partition whose company prefix has this many digits.
bool partition_of(const Layout &layout, std::size_t digits, unsigned *partition) {
  for (unsigned p = 0; p < 7; ++p) {
    if ((*layout.partitions)[p].company_digits == digits) {
      *partition = p;
      return true;
    }
  }
  return false;
}

}  // namespace

velkor_epc_status pack(const velkor_epc_fields &fields, std::uint8_t *epc, std::size_t room,
                       std::size_t *length, velkor_epc_error *error) {
  const Layout *layout = layout_of(fields.scheme);
  if (layout == nullptr)
    return fail(error, VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_SCHEME, "scheme",
                "%d is not a scheme", static_cast<int>(fields.scheme));
  std::string_view texts[3];
  if (!text_of(fields.company_prefix, &texts[0]) || !text_of(fields.reference, &texts[1]) ||
      !text_of(fields.serial, &texts[2]))
    return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_NONE, nullptr,
                "a field has no terminating NUL");

  unsigned partition = 0;
  if (has_filter(*layout)) {
    if (fields.filter > 7)
      return fail(error, VELKOR_EPC_BAD_FILTER, VELKOR_EPC_FIELD_FILTER, "filter",
                  "%u is not 0 to 7", fields.filter);
    if (const velkor_epc_status status =
            check_digits(texts[0], layout->names[0], VELKOR_EPC_FIELD_COMPANY_PREFIX, error))
      return status;
    if (!partition_of(*layout, texts[0].size(), &partition))
      return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_COMPANY_PREFIX,
                  layout->names[0], "%zu digits where a company prefix has 6 to 12",
                  texts[0].size());
  }

  const std::size_t bytes = (layout->bits + 15u) / 16 * 2;
  std::uint8_t scratch[VELKOR_EPC_BYTES_MAX] = {};
  BitWriter writer(scratch);
  BitWriter *out = epc != nullptr ? &writer : nullptr;
  writer.put(layout->header, 8);
  if (has_filter(*layout)) {
    writer.put(fields.filter, 3);
    writer.put(partition, 3);
  }
  const auto parts = components(*layout, partition);
  for (int i = 0; i < 3; ++i)
    if (const velkor_epc_status status =
            put_component(parts[i], texts[i], layout->names[i], kFieldOf[i], out, error))
      return status;
  if (epc == nullptr) return VELKOR_EPC_OK;
  if (room < bytes)
    return fail(error, VELKOR_EPC_BUFFER_TOO_SMALL, VELKOR_EPC_FIELD_OUTPUT, nullptr,
                "%s takes %zu bytes, the room given is %zu", layout->name, bytes, room);
  std::memcpy(epc, scratch, bytes);
  *length = bytes;
  return VELKOR_EPC_OK;
}

}  // namespace velkor::epc

extern "C" velkor_epc_status velkor_epc_encode(const velkor_epc_fields *fields,
                                               std::uint8_t *epc, std::size_t room,
                                               std::size_t *length, velkor_epc_error *error) {
  return velkor::epc::pack(*fields, epc, room, length, error);
}
