#include "app/commission/plan.h"

#include <set>
#include <sstream>

#include "velkor_epc.hpp"

namespace velkor::app {

namespace {

// The serial column: the EPC's serial, else where it came from.
Identity identity_of(const epc::Epc &e, const std::string &otherwise) {
  const std::string serial(e.serial());
  return {serial.empty() ? otherwise : serial, Bytes(e.bytes().begin(), e.bytes().end()),
          e.tag_uri()};
}

std::string trimmed(const std::string &s) {
  const std::size_t first = s.find_first_not_of(" \t\r\"");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r\"") - first + 1);
}

// One field of a file: a URI or hex; nullopt when it is neither (a header).
// Throws a message for a URI or hex that cannot be written.
std::optional<Identity> parse_field(const std::string &field, unsigned filter, unsigned bits,
                                    const std::string &line) {
  try {
    if (field.rfind("urn:epc:tag:", 0) == 0)
      return identity_of(epc::Epc::from_tag_uri(field), line);
    if (field.rfind("urn:epc:id:", 0) == 0)
      return identity_of(epc::Epc::from_id_uri(field, filter, bits), line);
  } catch (const epc::Error &e) {
    throw std::string(e.what());
  }
  const std::optional<Bytes> bytes = parse_hex(field, nullptr);
  if (!bytes) return std::nullopt;
  // Gen2 EPCs are whole words; the PC word counts at most 31 of them.
  if (bytes->empty() || bytes->size() % 2 != 0 || bytes->size() > 62)
    throw std::string("an EPC is 1 to 31 whole 16-bit words");
  if (const auto decoded = epc::Epc::try_decode(*bytes)) return identity_of(*decoded, line);
  return Identity{line, *bytes, ""};
}

}  // namespace

std::optional<std::vector<Identity>> plan_from_keys(const KeyRange &r, std::string *error) {
  std::vector<Identity> plan;
  for (std::uint64_t i = 0; i < r.count; ++i) {
    const std::string serial = std::to_string(r.serial_from + i);
    try {
      plan.push_back(identity_of(
          epc::Epc::from_gs1(epc::Key::gtin, r.gtin, r.prefix_length, serial, r.filter, r.bits),
          serial));
    } catch (const epc::Error &e) {
      *error = "serial " + serial + ": " + e.what();
      return std::nullopt;
    }
  }
  return plan;
}

std::optional<std::vector<Identity>> plan_from_text(const std::string &text, unsigned filter,
                                                    unsigned bits, std::string *error) {
  std::vector<Identity> plan;
  std::set<Bytes> seen;
  std::istringstream in(text);
  std::size_t number = 0;
  bool first = true;
  for (std::string line; std::getline(in, line);) {
    ++number;
    const std::string field = trimmed(line.substr(0, line.find(',')));
    if (field.empty() || field[0] == '#') continue;
    const std::string line_name = "line " + std::to_string(number);
    const std::string where = line_name + ": ";
    std::optional<Identity> identity;
    try {
      identity = parse_field(field, filter, bits, line_name);
    } catch (const std::string &why) {
      *error = where + why;
      return std::nullopt;
    }
    const bool header = first;
    first = false;
    if (!identity) {
      if (header) continue;
      *error = where + "'" + field + "' is neither an EPC URI nor hex";
      return std::nullopt;
    }
    if (!seen.insert(identity->epc).second) {
      *error = where + "EPC " + to_hex(identity->epc) + " comes twice";
      return std::nullopt;
    }
    plan.push_back(*identity);
  }
  if (plan.empty()) {
    *error = "no EPC in the file";
    return std::nullopt;
  }
  return plan;
}

}  // namespace velkor::app
