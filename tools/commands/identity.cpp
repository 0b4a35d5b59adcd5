// list and info: what the reader says about itself.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tools/cli.h"
#include "tools/output/hex.h"
#include "tools/commands/reader_info.h"

namespace velkor::tool {
namespace {

void print_info(int index, const std::string &path, unsigned char address,
                const ReaderInfo &info) {
  const unsigned char *b = info.block;
  std::printf("reader %d\n", index);
  std::printf("  path         %s\n", path.c_str());
  std::printf("  address      0x%02X\n", address);
  std::printf("  serial       %s\n", to_hex(info.serial, 4).c_str());
  std::printf("  firmware     %u.%u\n", b[0], b[1]);
  std::printf("  type         0x%02X\n", b[2]);
  std::printf("  protocols    %s%s\n", (b[3] & 0x02) ? "EPC Gen2 " : "",
              (b[3] & 0x01) ? "ISO 18000-6B" : "");
  std::printf("  region       %d, channels %d to %d\n", info.region(), info.lowest_channel(),
              info.highest_channel());
  std::printf("  power        %d dBm\n", info.power());
  std::printf("  scan time    %d ms\n", info.scan_time_ms());
  std::printf("  antenna      0x%02X\n", info.antenna());
  std::printf("  beep         %s\n", info.beep() ? "on" : "off");
}

}  // namespace

void add_identity_commands(Cli &cli) {
  CLI::App *list = cli.app.add_subcommand(
      "list", "list the readers found, with address, serial number and information block");
  list->callback([&cli] {
    if (cli.global.emulate || cli.shared) {
      cli.run([](Session &s) {
        ReaderInfo info;
        const int rc = read_info(s, info, true);
        if (rc == STATUS_OK) print_info(0, s.path(), *s.address(), info);
        return check("list", rc);
      });
      return;
    }
    std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
    int count = 0;
    if (GetDeviceList(handles.data(), &count) != STATUS_OK) {
      std::fflush(stdout);
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
      const int rc = read_info(&address, handles[i], info, true);
      if (rc == STATUS_OK) print_info(i, device_path(handles[i]), address, info);
      worst = std::max(worst, check("list", rc));
      CloseUSBPort(handles[i]);
    }
    cli.exit_code = worst;
  });

  CLI::App *info = cli.app.add_subcommand("info", "show the reader's identity and settings");
  info->callback([&cli] {
    cli.run([&cli](Session &s) {
      ReaderInfo reader;
      int rc = read_info(s, reader, true);
      if (rc != STATUS_OK) return check("info", rc);
      print_info(s.emulated() ? 0 : std::atoi(cli.global.device.c_str()), s.path(), *s.address(),
                 reader);
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
