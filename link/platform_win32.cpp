// Windows: the reader is a HID device interface found through the device
// setup services and opened for overlapped input and output.  Every write and
// read makes its own event and closes it before returning, so a call leaves
// nothing behind.
//
// windows.h must come first: velkor.h replaces its STATUS_INVALID_HANDLE with
// the reader's return code.
#include <windows.h>
#include <setupapi.h>
extern "C" {
#include <hidsdi.h>  // declared without C linkage by the mingw-w64 headers
}

#include <cstdint>
#include <memory>
#include <new>

#include "link/platform.h"

namespace velkor::platform {

namespace {

// Runs one overlapped transfer of a whole report and returns the bytes it
// moved within limit_ms.  start begins the operation on the given OVERLAPPED.
//
// An operation still pending when the wait ends is cancelled, and then waited
// for until the driver has let go of it: the OVERLAPPED and the event live in
// this call and the report buffer in its caller, and an operation finishing
// after we return would write into memory that is no longer ours.
template <typename Start>
int transfer(HANDLE handle, DWORD limit_ms, Start start) {
  OVERLAPPED ov{};
  ov.hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // auto-reset
  if (ov.hEvent == nullptr) return 0;
  DWORD moved = 0;
  if (start(&ov)) {
    // Completed at once; the count comes from the OVERLAPPED, not the call.
    if (!GetOverlappedResult(handle, &ov, &moved, FALSE)) moved = 0;
  } else if (GetLastError() == ERROR_IO_PENDING) {
    WaitForSingleObject(ov.hEvent, limit_ms);
    if (!GetOverlappedResult(handle, &ov, &moved, FALSE)) {
      moved = 0;
      if (GetLastError() == ERROR_IO_INCOMPLETE) {
        CancelIoEx(handle, &ov);
        DWORD late = 0;  // one that beat the cancel still came too late
        GetOverlappedResult(handle, &ov, &late, TRUE);
      }
    }
  }
  CloseHandle(ov.hEvent);
  return static_cast<int>(moved);
}

}  // namespace

std::uint32_t tick_ms() { return GetTickCount(); }

void sleep_ms(std::uint32_t ms) { Sleep(ms); }  // Sleep(0) yields

int write_report(VelkorHandle handle, const std::uint8_t *report,
                 std::uint32_t limit_ms) {
  return transfer(handle, limit_ms, [&](OVERLAPPED *ov) {
    return WriteFile(handle, report, kReportSize, nullptr, ov);
  });
}

int read_report(VelkorHandle handle, std::uint8_t *report,
                std::uint32_t limit_ms) {
  return transfer(handle, limit_ms, [&](OVERLAPPED *ov) {
    return ReadFile(handle, report, kReportSize, nullptr, ov);
  });
}

// The HID driver keeps a ring of input reports per open handle; flushing it
// drops the ones no read has taken yet.  A handle that is no HID device (a
// named pipe standing in for one) refuses the flush: its waiting reports are
// read without waiting instead.
void discard_input(VelkorHandle handle) {
  if (HidD_FlushQueue(handle)) return;
  std::uint8_t report[kReportSize];
  for (int k = 0; k < kDiscardLimit; ++k)
    if (read_report(handle, report, 0) != static_cast<int>(kReportSize)) return;
}

// A DeviceSet here is the device information list itself.
DeviceSet *open_device_set() {
  GUID hid;
  HidD_GetHidGuid(&hid);
  const HDEVINFO list = SetupDiGetClassDevsW(
      &hid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (list == INVALID_HANDLE_VALUE) return nullptr;
  return static_cast<DeviceSet *>(list);
}

void close_device_set(DeviceSet *set) {
  SetupDiDestroyDeviceInfoList(static_cast<HDEVINFO>(set));
}

Probe open_interface(DeviceSet *set, int index, VelkorHandle *handle) {
  *handle = VELKOR_INVALID_HANDLE;
  const HDEVINFO list = static_cast<HDEVINFO>(set);
  GUID hid;
  HidD_GetHidGuid(&hid);
  SP_DEVICE_INTERFACE_DATA itf{};
  itf.cbSize = sizeof itf;
  if (!SetupDiEnumDeviceInterfaces(list, nullptr, &hid,
                                   static_cast<DWORD>(index), &itf))
    return Probe::kNoInterface;

  // Asked without a buffer, the call fails and names the size it needs.
  DWORD size = 0;
  SetupDiGetDeviceInterfaceDetailW(list, &itf, nullptr, 0, &size, nullptr);
  if (size < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return Probe::kNoPath;
  // One byte more than asked, cleared, so the path is terminated whatever
  // the driver wrote.  cbSize is the size of the fixed part only.
  const DWORD room = size + 1;
  std::unique_ptr<std::uint8_t[]> record(new (std::nothrow) std::uint8_t[room]());
  if (!record) return Probe::kNoPath;
  auto *detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W *>(record.get());
  detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
  if (!SetupDiGetDeviceInterfaceDetailW(list, &itf, detail, room, nullptr, nullptr))
    return Probe::kNoPath;

  *handle = CreateFileW(detail->DevicePath, GENERIC_READ | GENERIC_WRITE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  return *handle == INVALID_HANDLE_VALUE ? Probe::kOpenFailed : Probe::kOpened;
}

bool device_ids(VelkorHandle handle, std::uint16_t *vendor,
                std::uint16_t *product) {
  HIDD_ATTRIBUTES attributes{};
  attributes.Size = sizeof attributes;
  if (!HidD_GetAttributes(handle, &attributes)) return false;
  *vendor = attributes.VendorID;
  *product = attributes.ProductID;
  return true;
}

void close_device(VelkorHandle handle) { CloseHandle(handle); }

}  // namespace velkor::platform
