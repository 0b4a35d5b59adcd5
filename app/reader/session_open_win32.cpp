// Opening a session on Windows: the Windows build adopts handles only (a
// program opens its reader with Velkor.dll, or velkor_emulator.dll's named
// pipe, and hands the handle over).  Discovery with a device lock, emulated
// sessions and their state files are the Linux build's.
#include "app/reader/session.h"

namespace velkor::app {

// Nothing besides the handle: no state file, emulator or relay.
struct Session::Opened {};

namespace {

Error not_in_this_build() {
  return Error::because(ErrorKind::kBadInput, "open",
                        "opening a reader is not available in the Windows build; open it with "
                        "the reader library and adopt its handle");
}

}  // namespace

Error no_reader_found() { return not_in_this_build(); }

Session::Session() = default;

Result<std::unique_ptr<Session>> Session::open(const SessionOptions &) {
  return not_in_this_build();
}

Status Session::connect() { return not_in_this_build(); }

Status Session::save_state() { return {}; }

void Session::release() { handle_ = VELKOR_INVALID_HANDLE; }

void Session::drop_state() {}

bool Session::unplug_emulator() { return false; }

emu::SocketServer *Session::emulator() { return nullptr; }

Session::~Session() = default;

}  // namespace velkor::app
