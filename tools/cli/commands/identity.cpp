// list and info: what the reader says about itself.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/base/hex.h"
#include "app/reader/no_reader.h"
#include "app/reader/reader_info.h"
#include "tools/cli/cli.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {
namespace {

const char *protocols(const ReaderInfo &info) {
  switch (info.block[3] & 0x03) {
    case 0x03: return "EPC Gen2 ISO 18000-6B";
    case 0x02: return "EPC Gen2";
    case 0x01: return "ISO 18000-6B";
    default: return "";
  }
}

Json info_json(int index, const std::string &path, unsigned char address,
                         const ReaderInfo &info) {
  const unsigned char *b = info.block;
  const ReaderInfo::Region r = info.region();
  return {{"reader", index},
          {"path", path},
          {"address", address},
          {"serial", to_hex(info.serial, 4)},
          {"firmware", std::to_string(b[0]) + "." + std::to_string(b[1])},
          {"type", b[2]},
          {"gen2", (b[3] & 0x02) != 0},
          {"iso6b", (b[3] & 0x01) != 0},
          {"region", r.region},
          {"lowest_channel", r.lowest},
          {"highest_channel", r.highest},
          {"power_dbm", info.power()},
          {"scan_time_ms", info.scan_time_ms()},
          {"antenna", info.antenna()},
          {"beep", info.beep()}};
}

void print_info(int index, const std::string &path, unsigned char address,
                const ReaderInfo &info) {
  const unsigned char *b = info.block;
  const ReaderInfo::Region r = info.region();
  std::printf("reader %d\n", index);
  std::printf("  path         %s\n", path.c_str());
  std::printf("  address      0x%02X\n", address);
  std::printf("  serial       %s\n", to_hex(info.serial, 4).c_str());
  std::printf("  firmware     %u.%u\n", b[0], b[1]);
  std::printf("  type         0x%02X\n", b[2]);
  std::printf("  protocols    %s\n", protocols(info));
  std::printf("  region       %d, channels %d to %d\n", r.region, r.lowest, r.highest);
  std::printf("  power        %d dBm\n", info.power());
  std::printf("  scan time    %d ms\n", info.scan_time_ms());
  std::printf("  antenna      0x%02X\n", info.antenna());
  std::printf("  beep         %s\n", info.beep() ? "on" : "off");
}

// One reader, as text or as one JSON document.
void show(bool json, int index, const std::string &path, unsigned char address,
          const ReaderInfo &info) {
  if (json)
    print_json(info_json(index, path, address, info));
  else
    print_info(index, path, address, info);
}

}  // namespace

void add_identity_commands(Cli &cli) {
  CLI::App *list = cli.app.add_subcommand(
      "list", "list the readers found, with address, serial number and information block");
  auto list_json = std::make_shared<bool>(false);
  add_json_flag(list, *list_json);
  list->callback([&cli, list_json] {
    const bool json = *list_json;
    if (cli.global.emulate || cli.shared) {
      cli.run([json](Session &s) {
        ReaderInfo info;
        const int rc = read_info(s, info, true);
        if (rc == STATUS_OK) show(json, 0, s.path(), *s.address(), info);
        return check("list", rc);
      });
      return;
    }
    std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
    int count = 0;
    if (GetDeviceList(handles.data(), &count) != STATUS_OK) {
      std::fflush(stdout);
      std::fprintf(stderr, "velkor: %s\n", no_reader_message().c_str());
      cli.exit_code = kExitUsage;
      return;
    }
    int worst = kExitOk;
    for (int i = 0; i < count; ++i) {
      unsigned char address = static_cast<unsigned char>(cli.global.address);
      ReaderInfo info;
      const int rc = read_info(&address, handles[i], info, true);
      if (rc == STATUS_OK) show(json, i, device_path(handles[i]), address, info);
      worst = std::max(worst, check("list", rc));
      CloseUSBPort(handles[i]);
    }
    cli.exit_code = worst;
  });

  CLI::App *info = cli.app.add_subcommand("info", "show the reader's identity and settings");
  auto info_wanted_json = std::make_shared<bool>(false);
  add_json_flag(info, *info_wanted_json);
  info->callback([&cli, info_wanted_json] {
    cli.run([&cli, json = *info_wanted_json](Session &s) {
      ReaderInfo reader;
      int rc = read_info(s, reader, true);
      if (rc != STATUS_OK) return check("info", rc);
      unsigned char module[2] = {}, sdk[3] = {};
      rc = GetModuleVersion(s.address(), module, s.handle());
      if (rc != STATUS_OK) return check("info", rc);
      GetSDKVersion(sdk);
      const int index = s.emulated() ? 0 : std::atoi(cli.global.device.c_str());
      if (json) {
        Json doc = info_json(index, s.path(), *s.address(), reader);
        doc["module"] = std::to_string(module[0]) + "." + std::to_string(module[1]);
        doc["library"] = std::to_string(sdk[0]) + "." + std::to_string(sdk[1]) + "." +
                         std::to_string(sdk[2]);
        print_json(doc);
        return kExitOk;
      }
      print_info(index, s.path(), *s.address(), reader);
      std::printf("  module       %u.%u\n", module[0], module[1]);
      std::printf("  library      %u.%u.%u\n", sdk[0], sdk[1], sdk[2]);
      return kExitOk;
    });
  });
}

}  // namespace velkor::tool
