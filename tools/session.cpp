#include "tools/session.h"

#include <cstdio>
#include <vector>

namespace velkor::tool {

void print_trace(const emu::TraceEntry &entry) {
  const std::string line = emu::format(entry) + "\n";
  std::fputs(line.c_str(), stderr);
}

std::unique_ptr<Session> Session::open(const GlobalOptions &options, std::string *error) {
  std::unique_ptr<Session> s(new Session);
  s->address_ = static_cast<unsigned char>(options.address);
  if (options.emulate) {
    s->emulator_ = std::make_unique<emu::SocketServer>(
        emu::ReaderOptions{*options.emulate, kEmulatedGen2Tags, kEmulatedIso6bTags});
    if (options.trace)
      s->emulator_->with_emulator([](emu::Emulator &e) { e.trace().sink = print_trace; });
    s->handle_ = s->emulator_->handle();
    return s;
  }

  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 0;
  if (GetDeviceList(handles.data(), &count) != STATUS_OK) {
    *error =
        "no reader found: check the USB cable and that the udev rule is installed "
        "(see README.md), or try --emulate to use the built-in emulator";
    return nullptr;
  }
  for (int i = 0; i < count; ++i)
    if (i != options.device) CloseUSBPort(handles[i]);
  if (options.device < 0 || options.device >= count) {
    *error = "there is no reader " + std::to_string(options.device) + ": found " +
             std::to_string(count);
    return nullptr;
  }
  if (options.trace) {
    s->relay_ = std::make_unique<TraceRelay>(handles[options.device], print_trace);
    s->handle_ = s->relay_->handle();
  } else {
    s->handle_ = handles[options.device];
    s->owns_handle_ = true;
  }
  return s;
}

Session::~Session() {
  if (owns_handle_) CloseUSBPort(handle_);
}

}  // namespace velkor::tool
