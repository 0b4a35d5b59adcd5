// Finding and opening the readers, over the platform seam.
#include <cstdint>

#include "link/platform.h"
#include "link/report.h"

namespace {

constexpr std::uint16_t kReaderVendor = 0x0470;
constexpr std::uint16_t kReaderProduct = 0xA112;
constexpr int kInterfacesExamined = VELKOR_MAX_DEVICES;

namespace platform = velkor::platform;

// Opens every interface and keeps the readers; returns how many were kept.
// Each slot receives what its open produced, so the slot after the readers
// may hold a handle that was closed again.
int open_readers(platform::DeviceSet *set, VelkorHandle *handles) {
  int found = 0;
  for (int index = 0; index < kInterfacesExamined; ++index) {
    VelkorHandle &slot = handles[found];
    if (platform::open_interface(set, index, &slot) != platform::Probe::kOpened)
      continue;
    std::uint16_t vendor = 0, product = 0;
    if (!platform::device_ids(slot, &vendor, &product) ||
        vendor != kReaderVendor || product != kReaderProduct) {
      platform::close_device(slot);
      continue;
    }
    ++found;
  }
  return found;
}

}  // namespace

int VELKOR_CALL GetDeviceList(VelkorHandle *handles, int *count) {
  platform::DeviceSet *set = platform::open_device_set();
  if (set == nullptr) return STATUS_COMM_ERROR;
  const int found = open_readers(set, handles);
  platform::close_device_set(set);
  if (found == 0) return STATUS_COMM_ERROR;

  for (int i = 0; i < found; ++i) {
    if (velkor::send_control(handles[i], CTRL_BEGIN)) continue;
    // The caller gets no count and could not close these: close them here.
    for (int j = 0; j < found; ++j) {
      platform::close_device(handles[j]);
      handles[j] = VELKOR_INVALID_HANDLE;
    }
    return STATUS_COMM_ERROR;
  }
  *count = found;
  return STATUS_OK;
}

int VELKOR_CALL CloseUSBPort(VelkorHandle handle) {
  if (handle == VELKOR_INVALID_HANDLE) return STATUS_COMM_ERROR;
  platform::close_device(handle);
  return STATUS_OK;
}
