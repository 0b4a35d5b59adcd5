#include "tests/kernel/kernel_bench.h"

#include <poll.h>

#include <thread>

#include "tests/kernel/hid_devices.h"
#include "tests/kernel/hidraw_nodes.h"

namespace velkor::kernel {

namespace {

constexpr int kNodeWaitMs = 3000;

}  // namespace

void KernelBench::SetUp() {
  // Every test starts from a kernel without hidraw nodes, so the numbers it
  // expects are the ones the kernel gives.
  ASSERT_EQ(present_hidraw_nodes(), std::vector<std::string>{})
      << "a device of an earlier test is still there";
}

void KernelBench::TearDown() {
  for (VelkorHandle h : opened) CloseUSBPort(h);
  for (const auto &reader : readers)
    for (const std::string &fault : reader->faults())
      ADD_FAILURE() << reader->node() << ": " << fault;
  readers.clear();
  keyboards.clear();
  // A destroyed device's node goes once its last opener has closed it.
  wait_until([] { return present_hidraw_nodes().empty(); }, kNodeWaitMs);
}

std::string KernelBench::next_uniq(const char *kind) {
  // Short (the kernel keeps 63 bytes) and never used twice in a run.
  static int made = 0;
  return std::string(kind) + "-" + std::to_string(++made);
}

BridgedReader &KernelBench::add_reader(const emu::ReaderOptions &options) {
  readers.push_back(std::make_unique<BridgedReader>(next_uniq("reader"), options));
  return *readers.back();
}

UhidDevice &KernelBench::add_keyboard(bool foreign) {
  const std::string uniq = next_uniq("keyboard");
  keyboards.push_back(std::make_unique<UhidDevice>(foreign ? foreign_keyboard_identity(uniq)
                                                           : keyboard_identity(uniq)));
  if (keyboards.back()->wait_for_node(kNodeWaitMs).empty())
    ADD_FAILURE() << "no hidraw node for " << uniq;
  return *keyboards.back();
}

int KernelBench::discover(std::vector<VelkorHandle> &found) {
  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = -1;
  const int status = GetDeviceList(handles.data(), &count);
  found.clear();
  if (status == STATUS_OK) found.assign(handles.begin(), handles.begin() + count);
  opened.insert(opened.end(), found.begin(), found.end());
  return status;
}

int KernelBench::close(VelkorHandle handle) {
  std::erase(opened, handle);
  return CloseUSBPort(handle);
}

Bytes KernelBench::report(std::initializer_list<std::uint8_t> start) {
  Bytes r(start);
  r.resize(64, 0);
  return r;
}

long long ms_since(std::chrono::steady_clock::time_point t) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               t)
      .count();
}

bool wait_until(const std::function<bool()> &done, int timeout_ms) {
  const auto start = std::chrono::steady_clock::now();
  while (!done()) {
    if (ms_since(start) >= timeout_ms) return done();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

bool input_waits(VelkorHandle handle, int timeout_ms) {
  pollfd p{handle, POLLIN, 0};
  return ::poll(&p, 1, timeout_ms) > 0 && (p.revents & POLLIN);
}

}  // namespace velkor::kernel
