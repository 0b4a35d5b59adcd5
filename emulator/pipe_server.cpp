#include "emulator/pipe_server.h"

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace velkor::emu {

namespace {

// Room for a few dozen reports each way, so that the emulator's replies
// never wait for the host to read.
constexpr DWORD kPipeBuffer = 4096;
constexpr DWORD kReport = 64;

void close_handle(void *&handle) {
  if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  handle = nullptr;
}

// A name no other pipe has: this process and a count of its servers.
std::wstring unique_pipe_name() {
  static std::atomic<unsigned> serial{0};
  return L"\\\\.\\pipe\\velkor-emulator-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(serial++);
}

}  // namespace

PipeServer::PipeServer(const ReaderOptions &options) : ServedEmulator(options, nullptr) {
  const std::wstring name = unique_pipe_name();
  // One instance, made here, local clients only: the only client is the
  // host end opened just below.
  device_ = CreateNamedPipeW(name.c_str(),
                             PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                                 FILE_FLAG_FIRST_PIPE_INSTANCE,
                             PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT |
                                 PIPE_REJECT_REMOTE_CLIENTS,
                             1, kPipeBuffer, kPipeBuffer, 0, nullptr);
  if (device_ != INVALID_HANDLE_VALUE)
    host_ = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OVERLAPPED, nullptr);
  DWORD mode = PIPE_READMODE_MESSAGE;
  stop_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  io_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (device_ == INVALID_HANDLE_VALUE || host_ == INVALID_HANDLE_VALUE || !stop_ || !io_ ||
      !SetNamedPipeHandleState(host_, &mode, nullptr, nullptr)) {
    for (Handle *h : {&host_, &device_, &stop_, &io_}) close_handle(*h);
    throw std::runtime_error("named pipe failed");
  }
  thread_ = std::thread([this] { serve(); });
}

PipeServer::~PipeServer() {
  disconnect();
  if (thread_.joinable()) thread_.join();
  if (host_owned_) close_handle(host_);
  close_handle(stop_);
  close_handle(io_);
}

void PipeServer::disconnect() {
  // Wakes the serving thread from any wait; it closes the reader's end.
  SetEvent(stop_);
}

// Waits for the overlapped operation or the stop event; a stopped operation
// is cancelled and completed before its buffer goes.  False when stopped or
// failed; a message longer than a report counts as read, with n = 0.
bool PipeServer::finish(void *overlapped, unsigned long &n) {
  auto *ov = static_cast<OVERLAPPED *>(overlapped);
  const HANDLE waits[2] = {io_, stop_};
  DWORD done = 0;
  if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
    CancelIoEx(device_, ov);
    GetOverlappedResult(device_, ov, &done, TRUE);
    return false;
  }
  n = 0;
  if (GetOverlappedResult(device_, ov, &done, FALSE)) {
    n = done;
    return true;
  }
  return GetLastError() == ERROR_MORE_DATA;
}

bool PipeServer::read(std::uint8_t *in, unsigned long &n) {
  OVERLAPPED ov{};
  ov.hEvent = io_;
  if (!ReadFile(device_, in, kReport, nullptr, &ov) && GetLastError() != ERROR_IO_PENDING &&
      GetLastError() != ERROR_MORE_DATA)
    return false;
  return finish(&ov, n);
}

bool PipeServer::write(const std::uint8_t *out) {
  OVERLAPPED ov{};
  ov.hEvent = io_;
  unsigned long n = 0;
  if (!WriteFile(device_, out, kReport, nullptr, &ov) && GetLastError() != ERROR_IO_PENDING)
    return false;
  return finish(&ov, n) && n == kReport;
}

bool PipeServer::stalled() {
  std::lock_guard<std::mutex> lock(mutex_);
  return emulator_.stalled();
}

void PipeServer::serve() {
  const RealTimeClock clock;
  for (;;) {
    if (stalled()) {
      // A reader that stops reading: output reports fill the pipe until the
      // host's writes find no room.  Only the stop event is watched.
      if (WaitForSingleObject(stop_, 50) == WAIT_OBJECT_0) break;
      continue;
    }
    std::uint8_t in[kReport];
    unsigned long n = 0;
    if (!read(in, n)) break;
    if (n != kReport) continue;
    std::vector<SentReport> out;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      out = answer_report(emulator_, in, clock);
    }
    if (!send_reports(out, [this](const std::uint8_t *report) { return write(report); })) break;
  }
  // The host's next write or read fails: the reader is gone.
  std::lock_guard<std::mutex> lock(mutex_);
  DisconnectNamedPipe(device_);
  close_handle(device_);
}

}  // namespace velkor::emu
