#include "app/reader/session.h"

#include <cctype>
#include <cstdlib>

namespace velkor::app {

namespace {

bool all_of(const std::string &s, int (*is)(int)) {
  if (s.empty()) return false;
  for (char c : s)
    if (!is(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string upper(std::string s) {
  for (char &c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

Error open_error(ErrorKind kind, std::string words) {
  return Error::because(kind, "open", std::move(words));
}

}  // namespace

Result<int> choose_device(const std::string &device, int count,
                          const std::function<std::string(int)> &path_of,
                          const std::function<std::string(int)> &serial_of) {
  const std::string found = " (found " + std::to_string(count) + ")";
  // A serial number is 8 hex digits; an index has at most two.
  if (device.size() < 8 && all_of(device, [](int c) { return std::isdigit(c); })) {
    const int index = std::atoi(device.c_str());
    if (index < count) return index;
    return open_error(ErrorKind::kNotFound, "there is no reader " + device + found);
  }
  const bool by_path = device.find('/') != std::string::npos;
  if (!by_path && !(device.size() == 8 && all_of(device, [](int c) { return std::isxdigit(c); })))
    return open_error(ErrorKind::kBadInput,
                      "'" + device + "' is neither an index, a device path nor a serial number");
  for (int i = 0; i < count; ++i)
    if (by_path ? path_of(i) == device : serial_of(i) == upper(device)) return i;
  return open_error(ErrorKind::kNotFound, std::string("no reader ") +
                                              (by_path ? "at " : "with serial ") + device + found);
}

std::unique_ptr<Session> Session::adopt(VelkorHandle handle, unsigned char address) {
  std::unique_ptr<Session> s(new Session);
  s->adopted_ = true;
  s->handle_ = handle;
  s->address_ = address;
  return s;
}

Status Session::checkpoint() { return save_state(); }

Status Session::finish() {
  Status saved = save_state();
  drop_state();  // saved once; the lock ends here
  if (unsaved_) return *std::exchange(unsaved_, std::nullopt);
  return saved;
}

Status Session::reconnect() {
  if (adopted_)
    return Error::because(ErrorKind::kLink, "reconnect",
                          "a reader opened elsewhere cannot be looked for again");
  release();
  return connect();
}

void Session::round_finished() {
  ++rounds_;
  const std::optional<UnplugPlan> &plan = options_.unplug;
  if (!plan || unplugged_at_ms_ || rounds_ != plan->after_rounds) return;
  if (unplug_emulator()) unplugged_at_ms_ = clock().now_ms();
}

}  // namespace velkor::app
