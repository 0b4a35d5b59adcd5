#include "tests/support/fake_platform.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>

#include "link/platform.h"

namespace velkor::fake {
namespace {

struct Queued {
  std::uint32_t due;
  Report report;
};

// A handle's input reports in arrival order.  A fixed ring rather than a
// deque: the fake must take no heap during a call, or the heap check would
// count the fake's allocations as the library's.  Full, it keeps what it
// holds and drops what arrives, as hidraw does.
class InputQueue {
 public:
  bool empty() const { return size_ == 0; }
  std::size_t size() const { return size_; }
  const Queued &front() const { return items_[head_]; }
  void pop_front() {
    head_ = (head_ + 1) % items_.size();
    --size_;
  }
  void push_back(const Queued &q) {
    if (size_ == items_.size()) return;
    items_[(head_ + size_) % items_.size()] = q;
    ++size_;
  }

 private:
  std::array<Queued, kQueuedReports> items_{};
  std::size_t head_ = 0;
  std::size_t size_ = 0;
};

struct State {
  std::uint32_t now = 0;
  std::map<VelkorHandle, Device *> devices;
  std::map<VelkorHandle, InputQueue> inputs;
  std::multimap<VelkorHandle, VelkorHandle> sharing;
  std::map<VelkorHandle, std::size_t> discards;
  std::intptr_t next_handle = 100;
  std::vector<std::optional<Interface>> interfaces;
  bool set_available = true;
  int sets_open = 0;
  std::vector<VelkorHandle> opened;
  std::map<VelkorHandle, Interface> opened_from;
  std::vector<VelkorHandle> closed;
};

State &state() {
  static State s;
  return s;
}

// Elapsed-time order on the virtual clock, safe across a wrap of the tick.
bool due_by(std::uint32_t due, std::uint32_t by) {
  return static_cast<std::int32_t>(by - due) >= 0;
}

void enqueue(VelkorHandle handle, const Queued &q) {
  state().inputs[handle].push_back(q);
  const auto range = state().sharing.equal_range(handle);
  for (auto it = range.first; it != range.second; ++it) state().inputs[it->second].push_back(q);
}

}  // namespace

void share_input(VelkorHandle from, VelkorHandle to) { state().sharing.emplace(from, to); }

void deliver(VelkorHandle handle, const Report &report) { enqueue(handle, {state().now, report}); }

std::size_t queued(VelkorHandle handle) {
  const auto it = state().inputs.find(handle);
  return it == state().inputs.end() ? 0 : it->second.size();
}

std::size_t discards(VelkorHandle handle) { return state().discards[handle]; }

VelkorHandle attach(Device &device) {
  const VelkorHandle h = handle_from(state().next_handle++);
  state().devices[h] = &device;
  // The handle's bookkeeping exists before any call, so the fake takes no
  // heap inside one (the heap check counts the calling thread's allocations).
  state().inputs[h];
  state().discards[h];
  return h;
}

void detach(VelkorHandle handle) { state().devices.erase(handle); }

void set_clock(std::uint32_t ms) { state().now = ms; }
std::uint32_t clock() { return state().now; }

void set_interfaces(std::vector<std::optional<Interface>> interfaces,
                    bool available) {
  state().interfaces = std::move(interfaces);
  state().set_available = available;
}

std::vector<VelkorHandle> open_handles() {
  std::vector<VelkorHandle> open;
  for (VelkorHandle h : state().opened)
    if (std::find(state().closed.begin(), state().closed.end(), h) ==
        state().closed.end())
      open.push_back(h);
  return open;
}

const std::vector<VelkorHandle> &closed_handles() { return state().closed; }

bool device_sets_balanced() { return state().sets_open == 0; }

void reset() { state() = State{}; }

}  // namespace velkor::fake

namespace velkor::platform {

using fake::state;

std::uint32_t tick_ms() { return state().now; }

void sleep_ms(std::uint32_t ms) { state().now += ms; }

int write_report(VelkorHandle handle, const std::uint8_t *report,
                 std::uint32_t limit_ms) {
  auto it = state().devices.find(handle);
  if (it == state().devices.end()) return 0;
  fake::Report r;
  std::memcpy(r.data(), report, r.size());
  const int n = it->second->write(r);
  if (n != static_cast<int>(kReportSize)) state().now += limit_ms;
  return n;
}

int read_report(VelkorHandle handle, std::uint8_t *report,
                std::uint32_t limit_ms) {
  auto it = state().devices.find(handle);
  if (it == state().devices.end()) {
    state().now += limit_ms;
    return 0;
  }
  fake::Report r{};
  const std::optional<std::uint32_t> delay = it->second->read(r);
  if (delay) fake::enqueue(handle, {state().now + *delay, r});
  const std::uint32_t deadline = state().now + limit_ms;
  auto &queue = state().inputs[handle];
  if (queue.empty() || !fake::due_by(queue.front().due, deadline)) {
    state().now = deadline;
    return 0;
  }
  if (!fake::due_by(queue.front().due, state().now)) state().now = queue.front().due;
  std::memcpy(report, queue.front().report.data(), kReportSize);
  queue.pop_front();
  return static_cast<int>(kReportSize);
}

void discard_input(VelkorHandle handle) {
  const auto counted = state().discards.find(handle);
  if (counted != state().discards.end()) ++counted->second;
  const auto queued = state().inputs.find(handle);
  if (queued == state().inputs.end()) return;
  auto &queue = queued->second;
  while (!queue.empty() && fake::due_by(queue.front().due, state().now)) queue.pop_front();
}

struct DeviceSet {};

DeviceSet *open_device_set() {
  if (!state().set_available) return nullptr;
  ++state().sets_open;
  static DeviceSet set;
  return &set;
}

void close_device_set(DeviceSet *) { --state().sets_open; }

Probe open_interface(DeviceSet *, int index, VelkorHandle *handle) {
  *handle = VELKOR_INVALID_HANDLE;
  auto &all = state().interfaces;
  if (index < 0 || static_cast<std::size_t>(index) >= all.size() || !all[index])
    return Probe::kNoInterface;
  const fake::Interface &itf = *all[index];
  if (!itf.has_path) return Probe::kNoPath;
  if (!itf.opens) return Probe::kOpenFailed;
  *handle = fake::handle_from(state().next_handle++);
  if (itf.device) state().devices[*handle] = itf.device;
  state().opened.push_back(*handle);
  state().opened_from[*handle] = itf;
  return Probe::kOpened;
}

bool device_ids(VelkorHandle handle, std::uint16_t *vendor,
                std::uint16_t *product) {
  auto it = state().opened_from.find(handle);
  if (it == state().opened_from.end() || !it->second.ids_readable) return false;
  *vendor = it->second.vendor;
  *product = it->second.product;
  return true;
}

void close_device(VelkorHandle handle) {
  state().closed.push_back(handle);
  state().devices.erase(handle);
}

}  // namespace velkor::platform
