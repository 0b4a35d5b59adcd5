#include "tools/cli/commands/epc_lines.h"

namespace velkor::tool {

std::optional<std::string> epc_field(std::string_view line) {
  constexpr std::string_view kBlank = " \t\r\n\v\f";
  const std::size_t start = line.find_first_not_of(kBlank);
  if (start == std::string_view::npos) return std::nullopt;
  const std::size_t end = line.find_first_of(kBlank, start);
  const std::string_view field = line.substr(start, end == std::string_view::npos ? end : end - start);
  if (field == "EPC" || field == "-") return std::nullopt;
  return std::string(field);
}

EpcLines::Line EpcLines::next() {
  std::string line;
  bool too_long = false;
  for (;;) {
    const int c = std::fgetc(in_);
    if (c == EOF && line.empty() && !too_long) return {Line::kEnd, number_, {}};
    if (c != EOF && c != '\n') {
      if (line.size() < kLongestEpcLine)
        line.push_back(static_cast<char>(c));
      else
        too_long = true;
      continue;
    }
    ++number_;  // a line ends (the last may lack its newline)
    if (too_long) return {Line::kTooLong, number_, {}};
    if (std::optional<std::string> epc = epc_field(line)) return {Line::kEpc, number_, *epc};
    if (c == EOF) return {Line::kEnd, number_, {}};
    line.clear();
  }
}

}  // namespace velkor::tool
