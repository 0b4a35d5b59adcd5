// EPC bank content to fields.  Every field is checked against what its
// scheme allows, so that no bits decode to a URI that would not encode back
// to them.  Nothing here allocates.
#include <cstddef>
#include <cstdint>

#include "epc/bits.h"
#include "epc/characters.h"
#include "epc/decimal.h"
#include "epc/error.h"
#include "epc/layout.h"
#include "velkor_epc.h"

namespace velkor::epc {
namespace {

constexpr velkor_epc_field kFieldOf[3] = {VELKOR_EPC_FIELD_COMPANY_PREFIX,
                                          VELKOR_EPC_FIELD_REFERENCE, VELKOR_EPC_FIELD_SERIAL};

bool skip_zeros(BitReader &reader, unsigned n) {
  std::uint64_t any = 0;
  for (; n > 64; n -= 64) any |= reader.get(64);
  return (any | reader.get(n)) == 0;
}

velkor_epc_status decode_string(BitReader &reader, const Component &part, const char *label,
                                velkor_epc_field field, char *out, velkor_epc_error *error) {
  unsigned count = 0;
  unsigned left = part.bits;
  while (left >= 7) {
    const char c = static_cast<char>(reader.get(7));
    left -= 7;
    if (c == '\0') break;
    if (!is_value_character(c))
      return fail(error, VELKOR_EPC_BAD_CHARACTER, field, label,
                  "character 0x%02X at position %u is not allowed", static_cast<unsigned>(c),
                  count + 1);
    if (count == part.size)
      return fail(error, VELKOR_EPC_BAD_LENGTH, field, label, "more than %u characters",
                  part.size);
    out[count++] = c;
  }
  out[count] = '\0';
  if (!skip_zeros(reader, left))
    return fail(error, VELKOR_EPC_NONZERO_PADDING, field, label,
                "bits after the last character are not zero");
  if (count == 0) return fail(error, VELKOR_EPC_BAD_LENGTH, field, label, "empty");
  return VELKOR_EPC_OK;
}

velkor_epc_status decode_component(BitReader &reader, const Component &part, const char *label,
                                   velkor_epc_field field, char *out, velkor_epc_error *error) {
  out[0] = '\0';
  switch (part.kind) {
    case Kind::Absent:
      return VELKOR_EPC_OK;
    case Kind::Reserved:
      if (!skip_zeros(reader, part.bits))
        return fail(error, VELKOR_EPC_NONZERO_PADDING, VELKOR_EPC_FIELD_RESERVED, "reserved",
                    "the %u reserved bits are not zero", part.bits);
      return VELKOR_EPC_OK;
    case Kind::String:
      return decode_string(reader, part, label, field, out, error);
    case Kind::Padded: {
      const std::uint64_t value = reader.get(part.bits);
      if (value >= power_of_ten(part.size))
        return fail(error, VELKOR_EPC_TOO_LARGE, field, label,
                    "%llu has more than the partition's %u digits",
                    static_cast<unsigned long long>(value), part.size);
      // A field of no digits holds only zero, and writes as nothing.
      if (part.size > 0) write_decimal(value, part.size, out);
      return VELKOR_EPC_OK;
    }
    case Kind::Integer:
      write_decimal(reader.get(part.bits), 1, out);
      return VELKOR_EPC_OK;
  }
  return VELKOR_EPC_OK;
}

}  // namespace
}  // namespace velkor::epc

using namespace velkor::epc;

extern "C" velkor_epc_status velkor_epc_decode(const std::uint8_t *epc, std::size_t length,
                                               velkor_epc_fields *fields,
                                               velkor_epc_error *error) {
  if (length == 0) return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_EPC, "epc", "empty");
  const Layout *layout = layout_by_header(epc[0]);
  if (layout == nullptr)
    return fail(error, VELKOR_EPC_UNKNOWN_HEADER, VELKOR_EPC_FIELD_HEADER, "header",
                "0x%02X is not the header of a scheme this codec knows", epc[0]);
  const std::size_t bytes = (layout->bits + 7u) / 8, words = (layout->bits + 15u) / 16 * 2;
  if (length != bytes && length != words) {
    if (bytes == words)
      return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_EPC, "epc",
                  "%s takes %zu bytes, not %zu", layout->name, bytes, length);
    return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_EPC, "epc",
                "%s takes %zu or %zu bytes, not %zu", layout->name, bytes, words, length);
  }

  BitReader reader(epc, length);
  reader.get(8);
  velkor_epc_fields out{};
  out.scheme = layout->scheme;
  if (has_filter(*layout)) {
    out.filter = static_cast<unsigned>(reader.get(3));
    out.partition = static_cast<unsigned>(reader.get(3));
    if (out.partition == 7)
      return fail(error, VELKOR_EPC_BAD_PARTITION, VELKOR_EPC_FIELD_PARTITION, "partition",
                  "7 is not a partition value (0 to 6)");
  }
  const auto parts = components(*layout, out.partition);
  char *targets[3] = {out.company_prefix, out.reference, out.serial};
  for (int i = 0; i < 3; ++i) {
    const velkor_epc_status status =
        decode_component(reader, parts[i], layout->names[i], kFieldOf[i], targets[i], error);
    if (status != VELKOR_EPC_OK) return status;
  }
  if (!skip_zeros(reader, static_cast<unsigned>(length * 8 - reader.position())))
    return fail(error, VELKOR_EPC_NONZERO_PADDING, VELKOR_EPC_FIELD_RESERVED, "padding",
                "the bits after the %u of %s are not zero", layout->bits, layout->name);
  *fields = out;
  return VELKOR_EPC_OK;
}
