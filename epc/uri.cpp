// EPC Tag URIs and pure-identity URIs, both ways.  Alphanumeric components
// are escaped on the way out and unescaped on the way in; the last component
// runs to the end of the URI, since an alphanumeric serial may hold dots.
#include <cstring>
#include <string_view>

#include "epc/characters.h"
#include "epc/encode.h"
#include "epc/error.h"
#include "epc/layout.h"
#include "velkor_epc.h"

namespace velkor::epc {
namespace {

constexpr std::string_view kTagPrefix = "urn:epc:tag:";
constexpr std::string_view kIdPrefix = "urn:epc:id:";
constexpr velkor_epc_field kFieldOf[3] = {VELKOR_EPC_FIELD_COMPANY_PREFIX,
                                          VELKOR_EPC_FIELD_REFERENCE, VELKOR_EPC_FIELD_SERIAL};

bool in_uri(Kind kind) { return kind != Kind::Absent && kind != Kind::Reserved; }

velkor_epc_status write_uri(const velkor_epc_fields &fields, bool tag, char *uri,
                            std::size_t room, velkor_epc_error *error) {
  if (room > 0) uri[0] = '\0';
  if (const velkor_epc_status status = check(fields, error)) return status;
  const Layout &layout = *layout_of(fields.scheme);
  Text text(uri, room);
  text.add(tag ? kTagPrefix : kIdPrefix);
  text.add(tag ? layout.name : layout.family_name);
  text.add(':');
  if (tag && has_filter(layout)) {
    text.add(static_cast<char>('0' + fields.filter));
    text.add('.');
  }
  const char *values[3] = {fields.company_prefix, fields.reference, fields.serial};
  const auto parts = components(layout, 0);
  for (int i = 0; i < 3; ++i) {
    if (!in_uri(parts[i].kind)) continue;
    if (i > 0) text.add('.');
    if (parts[i].kind == Kind::String)
      text.add_escaped(values[i]);
    else
      text.add(values[i]);
  }
  return text.finish(error);
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Copies a component into its field, unescaping alphanumeric ones.
velkor_epc_status copy_component(std::string_view text, Kind kind, const char *label,
                                 velkor_epc_field field, char *out, std::size_t room,
                                 velkor_epc_error *error) {
  std::size_t used = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (kind == Kind::String) {
      if (c == '%') {
        const int high = i + 2 < text.size() ? hex_value(text[i + 1]) : -1;
        const int low = high >= 0 ? hex_value(text[i + 2]) : -1;
        if (low < 0)
          return fail(error, VELKOR_EPC_BAD_CHARACTER, field, label,
                      "'%%' at position %zu does not start an escape %%HH", i + 1);
        c = static_cast<char>(high * 16 + low);
        if (!is_value_character(c))
          return fail(error, VELKOR_EPC_BAD_CHARACTER, field, label,
                      "'%.3s' at position %zu escapes a character that is not allowed",
                      text.data() + i, i + 1);
        i += 2;
      } else if (!is_value_character(c) || needs_escape(c)) {
        return fail(error, VELKOR_EPC_BAD_CHARACTER, field, label,
                    needs_escape(c) ? "'%c' at position %zu must be escaped in a URI"
                                    : "'%c' at position %zu is not allowed",
                    c, i + 1);
      }
    }
    if (used + 1 == room) {
      if (kind == Kind::Integer)
        return fail(error, VELKOR_EPC_TOO_LARGE, field, label, "%.*s is too large",
                    static_cast<int>(text.size()), text.data());
      return fail(error, VELKOR_EPC_BAD_LENGTH, field, label, "too long");
    }
    out[used++] = c;
  }
  out[used] = '\0';
  return VELKOR_EPC_OK;
}

// Reads the components after the scheme (and filter) into the fields.
velkor_epc_status read_components(const Layout &layout, std::string_view rest,
                                  velkor_epc_fields *fields, velkor_epc_error *error) {
  const auto parts = components(layout, 0);
  int count = 0, last = 0;
  for (int i = 0; i < 3; ++i)
    if (in_uri(parts[i].kind)) ++count, last = i;
  char *targets[3] = {fields->company_prefix, fields->reference, fields->serial};
  const std::size_t rooms[3] = {sizeof fields->company_prefix, sizeof fields->reference,
                                sizeof fields->serial};
  for (int i = 0; i < 3; ++i) {
    if (!in_uri(parts[i].kind)) continue;
    std::string_view text = rest;
    if (i != last) {
      const std::size_t dot = rest.find('.');
      if (dot == std::string_view::npos)
        return fail(error, VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_URI, "uri",
                    "%s takes %d components separated by dots", layout.family_name, count);
      text = rest.substr(0, dot);
      rest.remove_prefix(dot + 1);
    } else if (parts[i].kind != Kind::String && rest.find('.') != std::string_view::npos) {
      return fail(error, VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_URI, "uri",
                  "%s takes %d components separated by dots, there are more",
                  layout.family_name, count);
    }
    const velkor_epc_status status = copy_component(
        text, parts[i].kind, layout.names[i], kFieldOf[i], targets[i], rooms[i], error);
    if (status != VELKOR_EPC_OK) return status;
  }
  return VELKOR_EPC_OK;
}

velkor_epc_status encode_id(const Layout &layout, std::string_view rest, unsigned filter,
                            std::uint8_t *epc, std::size_t room, std::size_t *length,
                            velkor_epc_error *error) {
  velkor_epc_fields fields{};
  fields.scheme = layout.scheme;
  fields.filter = has_filter(layout) ? filter : 0;
  if (const velkor_epc_status status = read_components(layout, rest, &fields, error))
    return status;
  return pack(fields, epc, room, length, error);
}

}  // namespace
}  // namespace velkor::epc

using namespace velkor::epc;

extern "C" velkor_epc_status velkor_epc_tag_uri(const velkor_epc_fields *fields, char *uri,
                                                std::size_t room, velkor_epc_error *error) {
  return write_uri(*fields, true, uri, room, error);
}

extern "C" velkor_epc_status velkor_epc_id_uri(const velkor_epc_fields *fields, char *uri,
                                               std::size_t room, velkor_epc_error *error) {
  return write_uri(*fields, false, uri, room, error);
}

extern "C" velkor_epc_status velkor_epc_encode_tag_uri(const char *uri, std::uint8_t *epc,
                                                       std::size_t room, std::size_t *length,
                                                       velkor_epc_error *error) {
  std::string_view text(uri);
  if (!text.starts_with(kTagPrefix))
    return fail(error, VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_URI, "uri",
                "a tag URI starts with %.*s", static_cast<int>(kTagPrefix.size()),
                kTagPrefix.data());
  text.remove_prefix(kTagPrefix.size());
  const std::size_t colon = text.find(':');
  const Layout *layout = colon == std::string_view::npos ? nullptr
                                                         : layout_by_name(text.substr(0, colon));
  if (layout == nullptr)
    return fail(error, VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_SCHEME, "scheme",
                "'%.*s' is not a scheme this codec knows",
                static_cast<int>(colon == std::string_view::npos ? text.size() : colon),
                text.data());
  text.remove_prefix(colon + 1);
  unsigned filter = 0;
  if (has_filter(*layout)) {
    const std::size_t dot = text.find('.');
    const std::string_view digits = text.substr(0, dot);
    if (digits.size() != 1 || digits[0] < '0' || digits[0] > '7')
      return fail(error, VELKOR_EPC_BAD_FILTER, VELKOR_EPC_FIELD_FILTER, "filter",
                  "'%.*s' is not 0 to 7", static_cast<int>(digits.size()), digits.data());
    filter = static_cast<unsigned>(digits[0] - '0');
    text.remove_prefix(dot == std::string_view::npos ? text.size() : dot + 1);
  }
  return encode_id(*layout, text, filter, epc, room, length, error);
}

extern "C" velkor_epc_status velkor_epc_encode_id_uri(const char *uri, unsigned filter,
                                                      unsigned bits, std::uint8_t *epc,
                                                      std::size_t room, std::size_t *length,
                                                      velkor_epc_error *error) {
  std::string_view text(uri);
  if (!text.starts_with(kIdPrefix))
    return fail(error, VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_URI, "uri",
                "a pure-identity URI starts with %.*s", static_cast<int>(kIdPrefix.size()),
                kIdPrefix.data());
  text.remove_prefix(kIdPrefix.size());
  const std::size_t colon = text.find(':');
  Family family{};
  if (colon == std::string_view::npos || !family_by_name(text.substr(0, colon), &family))
    return fail(error, VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_SCHEME, "scheme",
                "'%.*s' is not an identity this codec knows",
                static_cast<int>(colon == std::string_view::npos ? text.size() : colon),
                text.data());
  text.remove_prefix(colon + 1);
  const Layout *layout = layout_by_family(family, bits);
  if (layout == nullptr)
    return fail(error, VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_SCHEME, "size",
                "%u bits is not a size of the %s schemes", bits,
                layout_by_family(family, 0)->family_name);
  if (filter > 7 && has_filter(*layout))
    return fail(error, VELKOR_EPC_BAD_FILTER, VELKOR_EPC_FIELD_FILTER, "filter",
                "%u is not 0 to 7", filter);
  const velkor_epc_status status = encode_id(*layout, text, filter, epc, room, length, error);
  const Layout *larger = larger_layout(*layout);
  if (status == VELKOR_EPC_OK || bits != 0 || larger == nullptr) return status;
  return encode_id(*larger, text, filter, epc, room, length, error);
}
