// Reader identity and link settings.
#include <iterator>

#include "protocol/byte_command.h"

using namespace velkor;

namespace {

// The library's own version, reported without talking to the reader.
constexpr unsigned char kSdkVersion[3] = {0x01, 0x03, 0x00};

// Link settings of older transports, kept as inert entry points.
int inert() { return STATUS_OK; }

}  // namespace

int VELKOR_CALL GetReaderInformation(
    unsigned char *address, unsigned char *info01, unsigned char *info2,
    unsigned char *info3, unsigned char *info4, unsigned char *info5,
    unsigned char *info6, unsigned char *info7, unsigned char *info8,
    unsigned char *info9, unsigned char *info10, unsigned char *info11,
    VelkorHandle handle) {
  Frame frame(address, 0x21);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess}, [&](const Reply &r) {
    r.copy_data(0, info01, 2);
    unsigned char *singles[] = {info2, info3, info4, info5, info6,
                                info7, info8, info9, info10, info11};
    for (std::size_t k = 0; k < std::size(singles); ++k) *singles[k] = r.data(2 + k);
  });
}

int VELKOR_CALL SetAddress(unsigned char *address, unsigned char new_address,
                           VelkorHandle handle) {
  return send_bytes(address, 0x24, {.variant = kAddressAlways}, {new_address}, handle);
}

int VELKOR_CALL SetCommType(unsigned char *address, unsigned char comm_type,
                            VelkorHandle handle) {
  return send_bytes(address, 0x6A, {.variant = kOutputsOnSuccess}, {comm_type}, handle);
}

int VELKOR_CALL SetSeriaNo(unsigned char *address, unsigned char *serial,
                           VelkorHandle handle) {
  // The reader wants two fixed bytes ahead of the serial number.
  Frame frame(address, 0x4B);
  frame.u8(0x4E).u8(0x37).bytes(serial, 4);
  return exchange(frame, handle, {.variant = kOutputsOnSuccess});
}

int VELKOR_CALL GetSeriaNo(unsigned char *address, unsigned char *serial,
                           VelkorHandle handle) {
  return read_block(address, 0x4C, {.variant = kOutputsOnSuccess}, serial, 4, handle);
}

int VELKOR_CALL GetModuleVersion(unsigned char *address, unsigned char *version,
                                 VelkorHandle handle) {
  return read_block(address, 0x83, {.variant = kNoAddress}, version, 2, handle);
}

int VELKOR_CALL GetSDKVersion(unsigned char *version) {
  for (std::size_t i = 0; i < sizeof kSdkVersion; ++i) version[i] = kSdkVersion[i];
  return STATUS_OK;
}

int VELKOR_CALL SetBaudRate(unsigned char *, unsigned char, VelkorHandle) {
  return inert();
}
int VELKOR_CALL ChangeATMode(unsigned char *, unsigned char, VelkorHandle) {
  return inert();
}
int VELKOR_CALL TransparentCMD(unsigned char *, unsigned char, VelkorHandle) {
  return inert();
}
int ATGetDataFromPort(unsigned char *, int *, VelkorHandle) { return inert(); }

CVelkor::CVelkor() = default;
CVelkor &CVelkor::operator=(const CVelkor &) { return *this; }
CVelkor &CVelkor::operator=(CVelkor &&) { return *this; }
