#include "app/base/clock_text.h"

#include <cstdio>
#include <ctime>

namespace velkor::app {

namespace {

constexpr int kFirstYear = 2000;
constexpr int kLastYear = 2099;

bool valid(const ClockBlock &b) {
  static constexpr int kDays[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (b[0] > kLastYear - kFirstYear || b[1] < 1 || b[1] > 12 || b[2] < 1) return false;
  const bool leap = b[0] % 4 == 0;  // every fourth year from 2000 to 2099
  const int days = b[1] == 2 && !leap ? 28 : kDays[b[1] - 1];
  return b[2] <= days && b[3] <= 23 && b[4] <= 59 && b[5] <= 59;
}

ClockBlock now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  return {static_cast<unsigned char>(local.tm_year + 1900 - kFirstYear),
          static_cast<unsigned char>(local.tm_mon + 1),
          static_cast<unsigned char>(local.tm_mday),
          static_cast<unsigned char>(local.tm_hour),
          static_cast<unsigned char>(local.tm_min),
          static_cast<unsigned char>(local.tm_sec)};
}

}  // namespace

std::optional<ClockBlock> parse_clock(const std::string &text) {
  if (text == "now") return now();
  int year, month, day, hour, minute, second, used = 0;
  char t = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &year, &month, &day, &t, &hour,
                  &minute, &second, &used) != 7 ||
      static_cast<std::size_t>(used) != text.size() || (t != 'T' && t != ' ') ||
      year < kFirstYear || year > kLastYear || month < 0 || day < 0 || hour < 0 ||
      minute < 0 || second < 0)
    return std::nullopt;
  const ClockBlock block = {static_cast<unsigned char>(year - kFirstYear),
                            static_cast<unsigned char>(month), static_cast<unsigned char>(day),
                            static_cast<unsigned char>(hour), static_cast<unsigned char>(minute),
                            static_cast<unsigned char>(second)};
  if (!valid(block)) return std::nullopt;
  return block;
}

std::optional<std::string> format_clock(const ClockBlock &b) {
  if (!valid(b)) return std::nullopt;
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02u:%02u:%02u", kFirstYear + b[0], b[1],
                b[2], b[3], b[4], b[5]);
  return std::string(text);
}

}  // namespace velkor::app
