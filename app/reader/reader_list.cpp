#include "app/reader/reader_list.h"

#include "app/reader/device_lock.h"

namespace velkor::app {

Result<std::vector<std::string>> reader_paths() {
  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 0;
  if (GetDeviceList(handles.data(), &count) != STATUS_OK || count == 0) return no_reader_found();
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    paths.push_back(device_path(handles[std::size_t(i)]));
    CloseUSBPort(handles[std::size_t(i)]);
  }
  return paths;
}

Result<std::vector<FoundReader>> list_readers(int address) {
  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 0;
  if (GetDeviceList(handles.data(), &count) != STATUS_OK)
    return no_reader_found();
  std::vector<FoundReader> found;
  for (int i = 0; i < count; ++i) {
    const VelkorHandle h = handles[std::size_t(i)];
    unsigned char at = static_cast<unsigned char>(address);
    Result<ReaderInfo> info = read_info(&at, h, true);
    found.push_back({i, device_path(h), at, std::move(info)});
    CloseUSBPort(h);
  }
  return found;
}

}  // namespace velkor::app
