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

}  // namespace

void print_trace(const emu::TraceEntry &entry) {
  const std::string line = emu::format(entry) + "\n";
  std::fflush(stdout);
  std::fputs(line.c_str(), stderr);
}

int choose_device(const std::string &device, int count,
                  const std::function<std::string(int)> &path_of,
                  const std::function<std::string(int)> &serial_of, std::string *error) {
  const std::string found = " (found " + std::to_string(count) + "; see `velkor list`)";
  // A serial number is 8 hex digits; an index has at most two.
  if (device.size() < 8 && all_of(device, [](int c) { return std::isdigit(c); })) {
    const int index = std::atoi(device.c_str());
    if (index < count) return index;
    *error = "there is no reader " + device + found;
    return -1;
  }
  const bool by_path = device.find('/') != std::string::npos;
  if (!by_path && !(device.size() == 8 && all_of(device, [](int c) { return std::isxdigit(c); }))) {
    *error = "--device '" + device + "' is neither an index, a device path nor a serial number";
    return -1;
  }
  for (int i = 0; i < count; ++i)
    if (by_path ? path_of(i) == device : serial_of(i) == upper(device)) return i;
  *error = std::string("no reader ") + (by_path ? "at " : "with serial ") + device + found;
  return -1;
}

std::unique_ptr<Session> Session::open(const GlobalOptions &options, std::string *error) {
  std::unique_ptr<Session> s(new Session);
  s->options_ = options;
  s->address_ = static_cast<unsigned char>(options.address);
  if (const char *plan = std::getenv(kUnplugVariable); plan && options.emulate) {
    UnplugPlan p;
    if (std::sscanf(plan, "%u:%u", &p.after_rounds, &p.back_after_ms) == 2) s->unplug_ = p;
  }
  if (!options.emulate_state.empty()) {
    s->state_ = std::make_unique<LockedFile>();
    switch (s->state_->open(options.emulate_state, options.wait, kLargestStateFile, error)) {
      case Locked::kYes:
        break;
      case Locked::kBusy:
        *error += "; wait for it with --wait";
        return nullptr;
      case Locked::kFailed:
        return nullptr;
    }
  }
  if (!s->connect(error)) return nullptr;
  return s;
}

bool Session::connect_emulator(std::string *error) {
  if (unplugged_at_ && std::chrono::steady_clock::now() - *unplugged_at_ <
                           std::chrono::milliseconds(unplug_->back_after_ms)) {
    *error = "the emulated reader is unplugged";
    return false;
  }
  emulator_ = std::make_unique<emu::SocketServer>(
      emulated_reader(*options_.emulate, options_.gen2_tags, options_.iso6b_tags,
                      options_.feed));
  if (state_ && !state_->text().empty()) {
    const bool loaded = emulator_->with_emulator([&](emu::Emulator &e) {
      return load_emulator_state(state_->text(), e.reader(), error);
    });
    if (!loaded) {
      *error = "'" + options_.emulate_state + "' holds no emulated reader: " + *error;
      emulator_.reset();
      state_.reset();  // left as it was
      return false;
    }
  }
  if (options_.trace)
    emulator_->with_emulator([](emu::Emulator &e) { e.trace().sink = print_trace; });
  handle_ = emulator_->handle();
  path_ = "emulator";
  return true;
}

bool Session::connect(std::string *error) {
  if (options_.emulate) return connect_emulator(error);

  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 0;
  if (GetDeviceList(handles.data(), &count) != STATUS_OK) {
    *error = no_reader_message();
    return false;
  }
  const int chosen = choose_device(
      options_.device, count, [&](int i) { return device_path(handles[std::size_t(i)]); },
      [&](int i) { return serial_at(handles[std::size_t(i)], address_); }, error);
  for (int i = 0; i < count; ++i)
    if (i != chosen) CloseUSBPort(handles[std::size_t(i)]);
  if (chosen < 0) return false;
  const VelkorHandle device = handles[std::size_t(chosen)];
  path_ = device_path(device);
  if (!lock_exclusively(device, "reader " + path_, options_.wait, error)) {
    CloseUSBPort(device);
    return false;
  }
  if (options_.trace) {
    relay_ = std::make_unique<TraceRelay>(device, print_trace);
    handle_ = relay_->handle();
  } else {
    handle_ = device;
    owns_handle_ = true;
  }
  return true;
}

bool Session::save_state(std::string *error) {
  if (!state_ || !emulator_) return true;
  const std::string text =
      emulator_->with_emulator([](emu::Emulator &e) { return save_emulator_state(e.reader()); });
  return state_->write(text, error);
}

void Session::release() {
  std::string error;
  if (!save_state(&error)) {
    std::fflush(stdout);
    std::fprintf(stderr, "velkor: %s\n", error.c_str());  // below the commands' layer
  }
  if (owns_handle_) CloseUSBPort(handle_);
  owns_handle_ = false;
  relay_.reset();
  emulator_.reset();
  handle_ = VELKOR_INVALID_HANDLE;
}

bool Session::finish(std::string *error) {
  const bool saved = save_state(error);
  state_.reset();  // saved once; the lock ends here
  return saved;
}

bool Session::reconnect(std::string *error) {
  release();
  return connect(error);
}

void Session::round_finished() {
  ++rounds_;
  if (!unplug_ || unplugged_at_ || rounds_ != unplug_->after_rounds || !emulator_) return;
  emulator_->disconnect();
  unplugged_at_ = std::chrono::steady_clock::now();
}

Session::~Session() {
  state_.reset();
  release();
}

}  // namespace velkor::app
