// list and info: what the reader says about itself.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "app/events/reader_documents.h"
#include "app/reader/reader_info.h"
#include "app/reader/reader_list.h"
#include "tools/cli/cli.h"
#include "tools/cli/output/json_output.h"

namespace velkor::tool {
namespace {

const char *protocols(const ReaderInfo &info) {
  if (info.gen2 && info.iso6b) return "EPC Gen2 ISO 18000-6B";
  if (info.gen2) return "EPC Gen2";
  if (info.iso6b) return "ISO 18000-6B";
  return "";
}

void print_info(int index, const std::string &path, int address, const ReaderInfo &info) {
  const Region &r = info.region;
  std::printf("reader %d\n", index);
  std::printf("  path         %s\n", path.c_str());
  std::printf("  address      0x%02X\n", address);
  std::printf("  serial       %s\n", to_hex(info.serial.data(), info.serial.size()).c_str());
  std::printf("  firmware     %d.%d\n", info.firmware_major, info.firmware_minor);
  std::printf("  type         0x%02X\n", info.type);
  std::printf("  protocols    %s\n", protocols(info));
  std::printf("  region       %d, channels %d to %d\n", r.region, r.lowest, r.highest);
  std::printf("  power        %d dBm\n", info.power_dbm);
  std::printf("  scan time    %d ms\n", info.scan_time_ms);
  std::printf("  antenna      0x%02X\n", info.antenna);
  std::printf("  beep         %s\n", info.beep ? "on" : "off");
}

// One reader, as text or as one JSON document.
void show(bool json, int index, const std::string &path, int address, const ReaderInfo &info) {
  if (json)
    print_json(events::info_document(index, path, address, info));
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
        const Result<ReaderInfo> info = read_info(s, true);
        if (!info) return report(info.error(), "list");
        show(json, 0, s.path(), *s.address(), *info);
        return kExitOk;
      });
      return;
    }
    const Result<std::vector<FoundReader>> found = list_readers(cli.global.address);
    if (!found) {
      cli.exit_code = report(found.error());
      return;
    }
    int worst = kExitOk;
    for (const FoundReader &r : *found) {
      if (r.info)
        show(json, r.index, r.path, r.address, *r.info);
      else
        worst = std::max(worst, report(r.info.error(), "list"));
    }
    cli.exit_code = worst;
  });

  CLI::App *info = cli.app.add_subcommand("info", "show the reader's identity and settings");
  auto info_wanted_json = std::make_shared<bool>(false);
  add_json_flag(info, *info_wanted_json);
  info->callback([&cli, info_wanted_json] {
    cli.run([&cli, json = *info_wanted_json](Session &s) {
      const Result<ReaderInfo> reader = read_info(s, true);
      if (!reader) return report(reader.error(), "info");
      unsigned char module[2] = {}, sdk[3] = {};
      if (const int rc = GetModuleVersion(s.address(), module, s.handle()); rc != STATUS_OK)
        return report(Error::from_status(rc, "info"));
      GetSDKVersion(sdk);
      const int index = s.emulated() ? 0 : std::atoi(cli.global.device.c_str());
      if (json) {
        Json doc = events::info_document(index, s.path(), *s.address(), *reader);
        doc["module"] = std::to_string(module[0]) + "." + std::to_string(module[1]);
        doc["library"] = std::to_string(sdk[0]) + "." + std::to_string(sdk[1]) + "." +
                         std::to_string(sdk[2]);
        print_json(doc);
        return kExitOk;
      }
      print_info(index, s.path(), *s.address(), *reader);
      std::printf("  module       %u.%u\n", module[0], module[1]);
      std::printf("  library      %u.%u.%u\n", sdk[0], sdk[1], sdk[2]);
      return kExitOk;
    });
  });
}

}  // namespace velkor::tool
