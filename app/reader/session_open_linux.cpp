// Opening a session on Linux: a hidraw reader found by discovery and held
// with an advisory lock, or the built-in emulator over a socket pair with its
// state file; a trace relay between the library and a real reader.
#include <cstdio>
#include <vector>

#include "app/files/locked_file.h"
#include "app/reader/device_lock.h"
#include "app/reader/emulator_state.h"
#include "app/reader/no_reader.h"
#include "app/reader/session.h"
#include "app/reader/trace_relay.h"
#include "emulator/socket_server.h"

namespace velkor::app {

struct Session::Opened {
  std::unique_ptr<LockedFile> state;
  std::unique_ptr<emu::SocketServer> emulator;
  std::unique_ptr<TraceRelay> relay;
};

namespace {

// A state of a thousand fed tags is a few megabytes.
constexpr std::size_t kLargestStateFile = 64u << 20;

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

Error no_reader_found() {
  return Error::because(ErrorKind::kNotFound, "open", no_reader_message());
}

Session::Session() : opened_(std::make_unique<Opened>()) {}

Result<std::unique_ptr<Session>> Session::open(const SessionOptions &options) {
  std::unique_ptr<Session> s(new Session);
  s->options_ = options;
  s->address_ = static_cast<unsigned char>(options.address);
  if (!options.emulate_state.empty()) {
    s->opened_->state = std::make_unique<LockedFile>();
    std::string why;
    // A state file that cannot be used is bad input, as a device that names nothing.
    switch (
        s->opened_->state->open(options.emulate_state, options.wait, kLargestStateFile, &why)) {
      case Locked::kYes:
        break;
      case Locked::kBusy:
        return Error::because(ErrorKind::kBusy, "open", why);
      case Locked::kFailed:
        return Error::because(ErrorKind::kBadInput, "open", why);
    }
  }
  if (Status connected = s->connect(); !connected) return connected.error();
  return s;
}

Status Session::connect_emulator() {
  if (unplugged_at_ms_ &&
      clock().now_ms() - *unplugged_at_ms_ < std::int64_t{options_.unplug->back_after_ms})
    return Error::because(ErrorKind::kNotFound, "open", "the emulated reader is unplugged");
  opened_->emulator = std::make_unique<emu::SocketServer>(
      emulated_reader(*options_.emulate, options_.gen2_tags, options_.iso6b_tags,
                      options_.feed));
  if (opened_->state && !opened_->state->text().empty()) {
    std::string why;
    // The file holds the reader; a feed asked for joins the tags it still
    // has waiting, as an operator adds tags to the pile.
    const bool loaded = opened_->emulator->with_emulator([&](emu::Emulator &e) {
      if (!load_emulator_state(opened_->state->text(), e.reader(), &why)) return false;
      e.reader().feed.add(e.reader().rng, options_.feed);
      return true;
    });
    if (!loaded) {
      opened_->emulator.reset();
      opened_->state.reset();  // left as it was
      return Error::because(ErrorKind::kBadInput, "open",
                            "'" + options_.emulate_state + "' holds no emulated reader: " + why);
    }
  }
  if (options_.trace)
    opened_->emulator->with_emulator([&](emu::Emulator &e) { e.trace().sink = options_.trace; });
  handle_ = opened_->emulator->handle();
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
    return Error::because(held == Locked::kBusy ? ErrorKind::kBusy : ErrorKind::kNotFound, "open",
                          why);
  }
  if (options_.trace) {
    opened_->relay = std::make_unique<TraceRelay>(device, options_.trace);
    handle_ = opened_->relay->handle();
  } else {
    handle_ = device;
    owns_handle_ = true;
  }
  return {};
}

Status Session::save_state() {
  if (!opened_->state || !opened_->emulator) return {};
  const std::string text =
      opened_->emulator->with_emulator(
          [](emu::Emulator &e) { return save_emulator_state(e.reader()); });
  std::string why;
  if (!opened_->state->write(text, &why)) return Error::because(ErrorKind::kFile, "", why);
  return {};
}

void Session::release() {
  if (Status saved = save_state(); !saved && !unsaved_) unsaved_ = saved.error();
  if (owns_handle_) CloseUSBPort(handle_);
  owns_handle_ = false;
  opened_->relay.reset();
  opened_->emulator.reset();
  handle_ = VELKOR_INVALID_HANDLE;
}

void Session::drop_state() { opened_->state.reset(); }

bool Session::unplug_emulator() {
  if (!opened_->emulator) return false;
  opened_->emulator->disconnect();
  return true;
}

emu::SocketServer *Session::emulator() { return opened_->emulator.get(); }

Session::~Session() {
  opened_->state.reset();
  if (!adopted_) release();
}

}  // namespace velkor::app
