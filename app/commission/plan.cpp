#include "app/commission/plan.h"

#include <fcntl.h>

#include <set>
#include <sstream>

#include "app/base/printable.h"
#include "app/files/bounded_read.h"
#include "app/files/directory.h"
#include "velkor_epc.hpp"

namespace velkor::app {

namespace {

// A file of identities: far more than any station issues in a day, and no
// line of it longer than a screenful.
constexpr std::size_t kLargestPlanFile = 64u << 20;
constexpr std::size_t kLongestPlanLine = 4096;

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
    throw printable(e.what(), 160);
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
      *error = where + "'" + printable(field) + "' is neither an EPC URI nor hex";
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

std::optional<std::vector<Identity>> plan_from_file(const std::string &path, unsigned filter,
                                                    unsigned bits, std::string *error,
                                                    FileSystem &fs) {
  // Read as any file is: a pipe (--from <(...)) works too, with limits.
  Descriptor file(fs, fs.open_at(AT_FDCWD, path, O_RDONLY, 0));
  if (!file.valid()) {
    *error = file_error("read", path);
    return std::nullopt;
  }
  LineReader reader(fs, file.get(), kLongestPlanLine);
  std::string text, line;
  for (bool more = true; more;) {
    switch (reader.next(&line)) {
      case LineReader::kLine:
      case LineReader::kTorn:
        text += line + "\n";
        if (text.size() > kLargestPlanFile) {
          *error = path + ": larger than " + std::to_string(kLargestPlanFile) + " bytes";
          return std::nullopt;
        }
        break;
      case LineReader::kTooLong:
        *error = path + ": line " + std::to_string(reader.number()) + " is longer than " +
                 std::to_string(kLongestPlanLine) + " bytes";
        return std::nullopt;
      case LineReader::kFailed:
        *error = file_error("read", path);
        return std::nullopt;
      case LineReader::kEnd:
        more = false;
        break;
    }
  }
  std::optional<std::vector<Identity>> plan = plan_from_text(text, filter, bits, error);
  if (!plan) *error = path + ": " + *error;
  return plan;
}

}  // namespace velkor::app
