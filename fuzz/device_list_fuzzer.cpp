// Fuzzes discovery over a made-up enumeration: up to 255 interfaces (more
// than the 100 examined), each present or not, with or without a path,
// opening or not, with readable identifiers or not, the reader's or others,
// taking the greeting or refusing it; or no enumeration at all.  The handle
// array is a heap block of exactly VELKOR_MAX_DEVICES handles.  Aborts unless
// the result is consistent: on success the first count slots hold distinct
// open readers and every other handle opened was closed; on failure nothing
// stays open and count is untouched; every device set taken is released.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

#include "fuzz/fuzz_input.h"

using namespace velkor;

namespace {

// Takes or refuses the greeting.
class GreetedDevice : public fake::Device {
 public:
  explicit GreetedDevice(bool refuses) : refuses_(refuses) {}
  int write(const fake::Report &) override { return refuses_ ? 0 : 64; }
  std::optional<std::uint32_t> read(fake::Report &) override { return std::nullopt; }

 private:
  bool refuses_;
};

enum : std::uint8_t {
  kPresent = 1 << 0,
  kHasPath = 1 << 1,
  kOpens = 1 << 2,
  kIdsReadable = 1 << 3,
  kRefusesGreeting = 1 << 4,
  kReaderIds = 1 << 5,  // else the identifiers follow in the input
};

[[noreturn]] void fail(const char *what) {
  std::fprintf(stderr, "GetDeviceList: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzz::InputReader in(data, size);
  const bool available = (in.u8() & 1u) == 0;
  const std::size_t n = in.u8();
  std::vector<std::unique_ptr<GreetedDevice>> devices;
  std::vector<std::optional<fake::Interface>> interfaces;
  std::set<VelkorHandle> readers;
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t flags = in.u8();
    if (!(flags & kPresent)) {
      interfaces.emplace_back();
      continue;
    }
    fake::Interface itf;
    itf.has_path = flags & kHasPath;
    itf.opens = flags & kOpens;
    itf.ids_readable = flags & kIdsReadable;
    if (!(flags & kReaderIds)) {
      itf.vendor = static_cast<std::uint16_t>(in.u8() | in.u8() << 8);
      itf.product = static_cast<std::uint16_t>(in.u8() | in.u8() << 8);
    }
    devices.push_back(std::make_unique<GreetedDevice>(flags & kRefusesGreeting));
    itf.device = devices.back().get();
    interfaces.push_back(itf);
  }

  fake::reset();
  fake::set_interfaces(interfaces, available);
  auto handles = std::make_unique<VelkorHandle[]>(VELKOR_MAX_DEVICES);
  std::fill_n(handles.get(), VELKOR_MAX_DEVICES, fake::handle_from(7));
  int count = -1;
  const int code = GetDeviceList(handles.get(), &count);

  if (!fake::device_sets_balanced()) fail("a device set was not released");
  const std::vector<VelkorHandle> open = fake::open_handles();
  if (code == STATUS_OK) {
    if (count < 1 || count > VELKOR_MAX_DEVICES) fail("count out of range");
    std::set<VelkorHandle> listed(handles.get(), handles.get() + count);
    if (listed.size() != static_cast<std::size_t>(count)) fail("a handle listed twice");
    if (std::set<VelkorHandle>(open.begin(), open.end()) != listed)
      fail("open handles differ from the listed ones");
  } else if (code == STATUS_COMM_ERROR) {
    if (!open.empty()) fail("a handle left open after a failure");
    if (count != -1) fail("count written on failure");
  } else {
    fail("unexpected code");
  }
  fake::reset();
  return 0;
}
