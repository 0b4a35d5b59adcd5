#include "app/reader/session.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/reader/emulator_state.h"
#include "app/reader/no_reader.h"

namespace velkor::app {

namespace {

// A state of a thousand fed tags is a few megabytes.
constexpr std::size_t kLargestStateFile = 64u << 20;

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

// The serial of a reader, read through the address given.
std::string serial_at(VelkorHandle handle, unsigned char address) {
  unsigned char serial[4] = {};
  if (GetSeriaNo(&address, serial, handle) != STATUS_OK) return "";
  char text[9];
  std::snprintf(text, sizeof text, "%02X%02X%02X%02X", serial[0], serial[1], serial[2],
                serial[3]);
  return text;
}

Error open_error(ErrorKind kind, std::string words) {
  return Error::because(kind, "open", std::move(words));
}

}  // namespace

Error no_reader_found() { return open_error(ErrorKind::kNotFound, no_reader_message()); }

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

Result<std::unique_ptr<Session>> Session::open(const SessionOptions &options) {
  std::unique_ptr<Session> s(new Session);
  s->options_ = options;
  s->address_ = static_cast<unsigned char>(options.address);
  if (!options.emulate_state.empty()) {
    s->state_ = std::make_unique<LockedFile>();
    std::string why;
    // A state file that cannot be used is bad input, as a device that names nothing.
    switch (s->state_->open(options.emulate_state, options.wait, kLargestStateFile, &why)) {
      case Locked::kYes:
        break;
      case Locked::kBusy:
        return open_error(ErrorKind::kBusy, why);
      case Locked::kFailed:
        return open_error(ErrorKind::kBadInput, why);
    }
  }
  if (Status connected = s->connect(); !connected) return connected.error();
  return s;
}

std::unique_ptr<Session> Session::adopt(VelkorHandle handle, unsigned char address) {
  std::unique_ptr<Session> s(new Session);
  s->adopted_ = true;
  s->handle_ = handle;
  s->address_ = address;
  return s;
}

Status Session::connect_emulator() {
  if (unplugged_at_ms_ &&
      clock().now_ms() - *unplugged_at_ms_ < std::int64_t{options_.unplug->back_after_ms})
    return Error::because(ErrorKind::kNotFound, "open", "the emulated reader is unplugged");
  emulator_ = std::make_unique<emu::SocketServer>(
      emulated_reader(*options_.emulate, options_.gen2_tags, options_.iso6b_tags,
                      options_.feed));
  if (state_ && !state_->text().empty()) {
    std::string why;
    // The file holds the reader; a feed asked for joins the tags it still
    // has waiting, as an operator adds tags to the pile.
    const bool loaded = emulator_->with_emulator([&](emu::Emulator &e) {
      if (!load_emulator_state(state_->text(), e.reader(), &why)) return false;
      e.reader().feed.add(e.reader().rng, options_.feed);
      return true;
    });
    if (!loaded) {
      emulator_.reset();
      state_.reset();  // left as it was
      return open_error(ErrorKind::kBadInput,
                        "'" + options_.emulate_state + "' holds no emulated reader: " + why);
    }
  }
  if (options_.trace)
    emulator_->with_emulator([&](emu::Emulator &e) { e.trace().sink = options_.trace; });
  handle_ = emulator_->handle();
  path_ = "emulator";
  return {};
}

Status Session::connect() {
  if (options_.emulate) return connect_emulator();

  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 0;
  if (GetDeviceList(handles.data(), &count) != STATUS_OK)
    return no_reader_found();
  const Result<int> chosen = choose_device(
      options_.device, count, [&](int i) { return device_path(handles[std::size_t(i)]); },
      [&](int i) { return serial_at(handles[std::size_t(i)], address_); });
  for (int i = 0; i < count; ++i)
    if (!chosen || i != *chosen) CloseUSBPort(handles[std::size_t(i)]);
  if (!chosen) return chosen.error();
  const VelkorHandle device = handles[std::size_t(*chosen)];
  path_ = device_path(device);
  std::string why;
  if (const Locked held = lock_exclusively(device, "reader " + path_, options_.wait, &why);
      held != Locked::kYes) {
    CloseUSBPort(device);
    return open_error(held == Locked::kBusy ? ErrorKind::kBusy : ErrorKind::kNotFound, why);
  }
  if (options_.trace) {
    relay_ = std::make_unique<TraceRelay>(device, options_.trace);
    handle_ = relay_->handle();
  } else {
    handle_ = device;
    owns_handle_ = true;
  }
  return {};
}

Status Session::save_state() {
  if (!state_ || !emulator_) return {};
  const std::string text =
      emulator_->with_emulator([](emu::Emulator &e) { return save_emulator_state(e.reader()); });
  std::string why;
  if (!state_->write(text, &why)) return Error::because(ErrorKind::kFile, "", why);
  return {};
}

void Session::release() {
  if (Status saved = save_state(); !saved && !unsaved_) unsaved_ = saved.error();
  if (owns_handle_) CloseUSBPort(handle_);
  owns_handle_ = false;
  relay_.reset();
  emulator_.reset();
  handle_ = VELKOR_INVALID_HANDLE;
}

Status Session::checkpoint() { return save_state(); }

Status Session::finish() {
  Status saved = save_state();
  state_.reset();  // saved once; the lock ends here
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
  if (!plan || unplugged_at_ms_ || rounds_ != plan->after_rounds || !emulator_) return;
  emulator_->disconnect();
  unplugged_at_ms_ = clock().now_ms();
}

Session::~Session() {
  state_.reset();
  if (!adopted_) release();
}

}  // namespace velkor::app
