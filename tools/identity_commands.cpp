// list and info: what the reader says about itself.
#include <cstdio>
#include <vector>

#include "tools/cli.h"
#include "tools/hex.h"

namespace velkor::tool {
namespace {

struct ReaderInfo {
  unsigned char block[12] = {};
  unsigned char serial[4] = {};
};

int read_info(Session &s, ReaderInfo &info) {
  unsigned char *b = info.block;
  int rc = GetReaderInformation(s.address(), b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                                b + 8, b + 9, b + 10, b + 11, s.handle());
  if (rc == STATUS_OK) rc = GetSeriaNo(s.address(), info.serial, s.handle());
  return rc;
}

// The information block as the reader lays it out: firmware version, type,
// protocols, the two region bytes, power, scan time, antenna, beep, link.
void print_info(int index, unsigned char address, const ReaderInfo &info) {
  const unsigned char *b = info.block;
  const int region = ((b[4] >> 6) << 2) | (b[5] >> 6);
  std::printf("reader %d\n", index);
  std::printf("  address      0x%02X\n", address);
  std::printf("  serial       %s\n", to_hex(info.serial, 4).c_str());
  std::printf("  firmware     %u.%u\n", b[0], b[1]);
  std::printf("  type         0x%02X\n", b[2]);
  std::printf("  protocols    %s%s\n", (b[3] & 0x02) ? "EPC Gen2 " : "",
              (b[3] & 0x01) ? "ISO 18000-6B" : "");
  std::printf("  region       %d, channels %u to %u\n", region, b[5] & 0x3F, b[4] & 0x3F);
  std::printf("  power        %u dBm\n", b[6]);
  std::printf("  scan time    %u ms\n", b[7] * 100u);
  std::printf("  antenna      0x%02X\n", b[8]);
  std::printf("  beep         %s\n", b[9] ? "on" : "off");
}

}  // namespace

void add_identity_commands(Cli &cli) {
  CLI::App *list = cli.app.add_subcommand(
      "list", "list the readers found, with address, serial number and information block");
  list->callback([&cli] {
    if (cli.global.emulate) {
      cli.run([](Session &s) {
        ReaderInfo info;
        const int rc = read_info(s, info);
        if (rc == STATUS_OK) print_info(0, *s.address(), info);
        return check("list", rc);
      });
      return;
    }
    std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
    int count = 0;
    if (GetDeviceList(handles.data(), &count) != STATUS_OK) {
      std::fprintf(stderr,
                   "velkor: no reader found: check the USB cable and that the udev rule "
                   "is installed (see README.md), or try --emulate\n");
      cli.exit_code = kExitUsage;
      return;
    }
    int worst = kExitOk;
    for (int i = 0; i < count; ++i) {
      unsigned char address = static_cast<unsigned char>(cli.global.address);
      ReaderInfo info;
      unsigned char *b = info.block;
      int rc = GetReaderInformation(&address, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                                    b + 8, b + 9, b + 10, b + 11, handles[i]);
      if (rc == STATUS_OK) rc = GetSeriaNo(&address, info.serial, handles[i]);
      if (rc == STATUS_OK) print_info(i, address, info);
      worst = std::max(worst, check("list", rc));
      CloseUSBPort(handles[i]);
    }
    cli.exit_code = worst;
  });

  CLI::App *info = cli.app.add_subcommand("info", "show the reader's identity and settings");
  info->callback([&cli] {
    cli.run([&cli](Session &s) {
      ReaderInfo reader;
      int rc = read_info(s, reader);
      if (rc != STATUS_OK) return check("info", rc);
      print_info(cli.global.device, *s.address(), reader);
      unsigned char module[2] = {}, sdk[3] = {};
      rc = GetModuleVersion(s.address(), module, s.handle());
      if (rc != STATUS_OK) return check("info", rc);
      GetSDKVersion(sdk);
      std::printf("  module       %u.%u\n", module[0], module[1]);
      std::printf("  library      %u.%u.%u\n", sdk[0], sdk[1], sdk[2]);
      return kExitOk;
    });
  });
}

}  // namespace velkor::tool
