// GS1 element strings and GS1 keys: check digits, the keys' layouts, and the
// company prefix that the caller marks with its length.
#include <cstring>
#include <string_view>

#include "epc/characters.h"
#include "epc/encode.h"
#include "epc/error.h"
#include "epc/layout.h"
#include "velkor_epc.h"

namespace velkor::epc {
namespace {

// The GS1 check digit of the digits before it: weights 3 and 1 from the right.
char check_digit(std::string_view digits) {
  unsigned sum = 0;
  bool three = true;
  for (std::size_t i = digits.size(); i-- > 0; three = !three)
    sum += static_cast<unsigned>(digits[i] - '0') * (three ? 3 : 1);
  return static_cast<char>('0' + (10 - sum % 10) % 10);
}

// A key's digits without their check digit, built in place.
class KeyDigits {
 public:
  void add(std::string_view digits) {
    std::memcpy(digits_ + used_, digits.data(), digits.size());
    used_ += digits.size();
  }
  std::string_view view() const { return {digits_, used_}; }
  char check() const { return check_digit(view()); }

 private:
  char digits_[40] = {};
  std::size_t used_ = 0;
};

struct KeyShape {
  Family family;
  const char *name;
  std::size_t digits;  // with the check digit; 0: the GIAI's free length
  bool serial;         // takes a serial (or, for the GLN, an extension)
};

bool shape_of(velkor_epc_key key, KeyShape *shape) {
  switch (key) {
    case VELKOR_EPC_KEY_GTIN: *shape = {Family::Sgtin, "GTIN", 14, true}; return true;
    case VELKOR_EPC_KEY_SSCC: *shape = {Family::Sscc, "SSCC", 18, false}; return true;
    case VELKOR_EPC_KEY_GLN: *shape = {Family::Sgln, "GLN", 13, true}; return true;
    case VELKOR_EPC_KEY_GRAI: *shape = {Family::Grai, "GRAI", 13, true}; return true;
    case VELKOR_EPC_KEY_GIAI: *shape = {Family::Giai, "GIAI", 0, false}; return true;
    case VELKOR_EPC_KEY_GSRN: *shape = {Family::Gsrn, "GSRN", 18, false}; return true;
    case VELKOR_EPC_KEY_GDTI: *shape = {Family::Gdti, "GDTI", 13, true}; return true;
  }
  return false;
}

bool copy(std::string_view text, char *out, std::size_t room) {
  if (text.size() >= room) return false;
  // An empty view may carry a null pointer, which memcpy must not get.
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  out[text.size()] = '\0';
  return true;
}

// Checks a numeric key and brings it to its standard length (the GTIN's
// shorter forms padded with zeros, the GRAI's leading zero dropped).
velkor_epc_status normalise_key(const KeyShape &shape, std::string_view digits, char *out,
                                velkor_epc_error *error) {
  for (std::size_t i = 0; i < digits.size(); ++i)
    if (!is_digit(digits[i]))
      return fail(error, VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_KEY, shape.name,
                  "'%c' at position %zu is not a digit", digits[i], i + 1);
  std::size_t pad = 0;
  if (shape.family == Family::Sgtin && (digits.size() == 8 || digits.size() == 12 ||
                                        digits.size() == 13))
    pad = 14 - digits.size();
  if (shape.family == Family::Grai && digits.size() == 14) {
    if (digits[0] != '0')
      return fail(error, VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_KEY, shape.name,
                  "a GRAI of 14 digits starts with 0");
    digits.remove_prefix(1);
  }
  if (digits.size() + pad != shape.digits)
    return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_KEY, shape.name,
                "%zu digits where a %s has %zu%s", digits.size(), shape.name, shape.digits,
                shape.family == Family::Sgtin ? " (or 8, 12, 13)"
                : shape.family == Family::Grai ? " (or 14 starting with 0)"
                                               : "");
  std::memset(out, '0', pad);
  std::memcpy(out + pad, digits.data(), digits.size());
  const std::string_view key(out, shape.digits);
  const char expected = check_digit(key.substr(0, key.size() - 1));
  if (key.back() != expected)
    return fail(error, VELKOR_EPC_BAD_CHECK_DIGIT, VELKOR_EPC_FIELD_KEY, shape.name,
                "check digit %c, the digits before it give %c", key.back(), expected);
  return VELKOR_EPC_OK;
}

// Splits a checked key (without its check digit) into the fields of its family.
velkor_epc_status key_fields(const KeyShape &shape, std::string_view body, unsigned prefix,
                             const char *serial, velkor_epc_fields *fields,
                             velkor_epc_error *error) {
  std::string_view company = body.substr(0, prefix), reference = body.substr(prefix);
  char indicator[16] = {};
  if (shape.family == Family::Sgtin || shape.family == Family::Sscc) {
    // The indicator or extension digit comes first in the key, first in the reference.
    company = body.substr(1, prefix);
    indicator[0] = body[0];
    std::memcpy(indicator + 1, body.data() + 1 + prefix, body.size() - 1 - prefix);
    reference = indicator;
  }
  if (shape.family == Family::Giai) reference = {};
  const std::string_view tail = serial != nullptr           ? std::string_view(serial)
                                : shape.family == Family::Giai ? body.substr(prefix)
                                : shape.family == Family::Sgln ? std::string_view("0")
                                                               : std::string_view();
  copy(company, fields->company_prefix, sizeof fields->company_prefix);
  copy(reference, fields->reference, sizeof fields->reference);
  if (!copy(tail, fields->serial, sizeof fields->serial))
    return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_SERIAL, "serial",
                "%zu characters is too long", tail.size());
  return VELKOR_EPC_OK;
}

}  // namespace
}  // namespace velkor::epc

using namespace velkor::epc;

extern "C" velkor_epc_status velkor_epc_gs1_string(const velkor_epc_fields *fields, char *out,
                                                   std::size_t room, velkor_epc_error *error) {
  if (room > 0) out[0] = '\0';
  if (const velkor_epc_status status = check(*fields, error)) return status;
  const Layout &layout = *layout_of(fields->scheme);
  const std::string_view company = fields->company_prefix, reference = fields->reference,
                         serial = fields->serial;
  KeyDigits key;
  Text text(out, room);
  switch (layout.family) {
    case Family::Sgtin:
    case Family::Sscc:
      key.add(reference.substr(0, 1));
      key.add(company);
      key.add(reference.substr(1));
      text.add(layout.family == Family::Sgtin ? "(01)" : "(00)");
      break;
    case Family::Sgln:
      text.add("(414)");
      break;
    case Family::Grai:
      text.add("(8003)0");
      break;
    case Family::Giai:
      text.add("(8004)");
      text.add(company);
      text.add(serial);
      return text.finish(error);
    case Family::Gsrn:
      text.add("(8018)");
      break;
    case Family::Gdti:
      text.add("(253)");
      break;
    case Family::Gid:
      return fail(error, VELKOR_EPC_NO_GS1_FORM, VELKOR_EPC_FIELD_NONE, nullptr,
                  "%s has no GS1 element string", layout.name);
  }
  if (layout.family != Family::Sgtin && layout.family != Family::Sscc) {
    key.add(company);
    key.add(reference);
  }
  text.add(key.view());
  text.add(key.check());
  if (layout.family == Family::Sgtin) text.add("(21)");
  if (layout.family == Family::Sgln && serial != "0") text.add("(254)");
  if (layout.family != Family::Sgln || serial != "0") text.add(serial);
  return text.finish(error);
}

extern "C" velkor_epc_status velkor_epc_encode_gs1(velkor_epc_key key, const char *digits,
                                                   const char *serial, unsigned prefix_length,
                                                   unsigned filter, unsigned bits,
                                                   std::uint8_t *epc, std::size_t room,
                                                   std::size_t *length,
                                                   velkor_epc_error *error) {
  KeyShape shape{};
  if (!shape_of(key, &shape))
    return fail(error, VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_KEY, "key",
                "%d is not a GS1 key", static_cast<int>(key));
  if (prefix_length < 6 || prefix_length > 12)
    return fail(error, VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_PREFIX_LENGTH,
                "prefix length", "%u is not 6 to 12", prefix_length);
  if (shape.serial != (serial != nullptr) && shape.family != Family::Sgln)
    return fail(error, VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_SERIAL, "serial",
                serial == nullptr ? "%s needs a serial" : "%s takes no serial", shape.name);
  char normal[32] = {};
  std::string_view text(digits);
  if (shape.family == Family::Giai) {
    if (text.size() > 30)
      return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_KEY, shape.name,
                  "%zu characters where a GIAI has at most 30", text.size());
    if (text.size() <= prefix_length)
      return fail(error, VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_KEY, shape.name,
                  "no asset reference after a company prefix of %u digits", prefix_length);
    for (std::size_t i = 0; i < prefix_length; ++i)
      if (!is_digit(text[i]))
        return fail(error, VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_KEY, shape.name,
                    "'%c' at position %zu of the company prefix is not a digit", text[i],
                    i + 1);
  } else {
    if (const velkor_epc_status status = normalise_key(shape, text, normal, error))
      return status;
    text = std::string_view(normal, shape.digits - 1);  // the check digit is checked
  }

  velkor_epc_fields fields{};
  if (const velkor_epc_status status =
          key_fields(shape, text, prefix_length, serial, &fields, error))
    return status;
  const Layout *layout = layout_by_family(shape.family, bits);
  if (layout == nullptr)
    return fail(error, VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_SCHEME, "size",
                "%u bits is not a size of the %s schemes", bits,
                layout_by_family(shape.family, 0)->family_name);
  fields.scheme = layout->scheme;
  fields.filter = filter;
  const velkor_epc_status status = pack(fields, epc, room, length, error);
  const Layout *larger = larger_layout(*layout);
  if (status == VELKOR_EPC_OK || bits != 0 || larger == nullptr) return status;
  fields.scheme = larger->scheme;
  return pack(fields, epc, room, length, error);
}
