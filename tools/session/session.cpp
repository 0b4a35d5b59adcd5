#include "tools/session/session.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace velkor::tool {

namespace {

const char kNoReader[] =
    "no reader found: check the USB cable and that the udev rule is installed "
    "(see README.md), or try --emulate to use the built-in emulator";

}  // namespace

void print_trace(const emu::TraceEntry &entry) {
  const std::string line = emu::format(entry) + "\n";
  std::fputs(line.c_str(), stderr);
}

std::unique_ptr<Session> Session::open(const GlobalOptions &options, std::string *error) {
  std::unique_ptr<Session> s(new Session);
  s->options_ = options;
  s->address_ = static_cast<unsigned char>(options.address);
  if (const char *plan = std::getenv(kUnplugVariable); plan && options.emulate) {
    UnplugPlan p;
    if (std::sscanf(plan, "%u:%u", &p.after_rounds, &p.back_after_ms) == 2) s->unplug_ = p;
  }
  if (!s->connect(error)) return nullptr;
  return s;
}

bool Session::connect(std::string *error) {
  if (options_.emulate) {
    if (unplugged_at_ && std::chrono::steady_clock::now() - *unplugged_at_ <
                             std::chrono::milliseconds(unplug_->back_after_ms)) {
      *error = "the emulated reader is unplugged";
      return false;
    }
    emulator_ = std::make_unique<emu::SocketServer>(emulated_reader(*options_.emulate));
    if (options_.trace)
      emulator_->with_emulator([](emu::Emulator &e) { e.trace().sink = print_trace; });
    handle_ = emulator_->handle();
    return true;
  }

  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 0;
  if (GetDeviceList(handles.data(), &count) != STATUS_OK) {
    *error = kNoReader;
    return false;
  }
  for (int i = 0; i < count; ++i)
    if (i != options_.device) CloseUSBPort(handles[i]);
  if (options_.device < 0 || options_.device >= count) {
    *error = "there is no reader " + std::to_string(options_.device) + ": found " +
             std::to_string(count);
    return false;
  }
  if (options_.trace) {
    relay_ = std::make_unique<TraceRelay>(handles[options_.device], print_trace);
    handle_ = relay_->handle();
  } else {
    handle_ = handles[options_.device];
    owns_handle_ = true;
  }
  return true;
}

void Session::release() {
  if (owns_handle_) CloseUSBPort(handle_);
  owns_handle_ = false;
  relay_.reset();
  emulator_.reset();
  handle_ = VELKOR_INVALID_HANDLE;
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

Session::~Session() { release(); }

}  // namespace velkor::tool
