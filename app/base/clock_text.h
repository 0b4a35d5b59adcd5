// The reader's clock block (year - 2000, month, day, hour, minute, second)
// as a date people read and write.
#ifndef VELKOR_APP_BASE_CLOCK_TEXT_H
#define VELKOR_APP_BASE_CLOCK_TEXT_H

#include <array>
#include <optional>
#include <string>

namespace velkor::app {

using ClockBlock = std::array<unsigned char, 6>;

/// "now" (local time) or "YYYY-MM-DDTHH:MM:SS" (a space may stand for the
/// T) for a year from 2000 to 2099; nullopt for anything else, impossible
/// dates included.
std::optional<ClockBlock> parse_clock(const std::string &text);
/// "2024-05-01T12:30:00", or nullopt when the block is no date.
std::optional<std::string> format_clock(const ClockBlock &block);

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_CLOCK_TEXT_H
