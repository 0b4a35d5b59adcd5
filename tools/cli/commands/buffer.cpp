// buffer: the reader's own tag buffer, filled by buffered inventories.
#include <cstdio>
#include <vector>

#include "app/tags/tag_list.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/output/json_output.h"
#include "tools/cli/output/tag_output.h"

namespace velkor::tool {

namespace {

struct BufferInventoryOptions {
  MaskOptions mask;
  bool json = false;
};

struct SaveLenOptions {
  int length = -1;  ///< -1: read it
  bool json = false;
};

struct ShowOptions {
  bool json = false;
};

int buffer_inventory(Session &s, BufferInventoryOptions &o) {
  MaskOptions &m = o.mask;
  int held = 0, seen = 0;
  const int rc = InventoryBuffer_G2(s.address(), 0, 0, m.memory(), m.address(), m.bit_count(),
                                    m.data(), m.used() ? 1 : 0, 0, 0, 0, 0, 0, 0, 0, &held,
                                    &seen, s.handle());
  if (rc != STATUS_OK) return check("buffer inventory", rc);
  if (o.json) {
    print_json({{"seen", seen}, {"held", held}});
    return kExitOk;
  }
  std::printf("%s seen this round; the buffer holds %d\n",
              counted(std::size_t(seen), "tag").c_str(), held);
  return kExitOk;
}

int count(Session &s, ShowOptions &o) {
  int n = 0;
  const int rc = GetBufferCnt_G2(s.address(), &n, s.handle());
  if (rc != STATUS_OK) return check("buffer count", rc);
  if (o.json) {
    print_json({{"held", n}});
    return kExitOk;
  }
  std::printf("the buffer holds %s\n", counted(std::size_t(n), "tag").c_str());
  return kExitOk;
}

int read(Session &s, ShowOptions &o) {
  std::vector<unsigned char> list(kMostListBytes);
  int length = 0, tags = 0;
  const int rc = ReadBuffer_G2(s.address(), &length, &tags, list.data(), s.handle());
  // The last frame of a complete read says 0x01.
  if (rc != 0x01) return check("buffer read", rc);
  const std::vector<Bytes> epcs = decode_tag_list(list.data(), length);
  if (o.json) {
    Json found = Json::array();
    for (const Bytes &epc : epcs) found.push_back(to_hex(epc));
    print_json({{"epcs", found}, {"reader_count", tags}});
    return kExitOk;
  }
  for (const Bytes &epc : epcs) std::printf("%s\n", to_hex(epc).c_str());
  std::printf("%s", counted(epcs.size(), "tag").c_str());
  if (tags != static_cast<int>(epcs.size())) std::printf(" (the reader counted %d)", tags);
  std::printf("\n");
  return kExitOk;
}

int clear(Session &s, int &) {
  const int rc = ClearBuffer_G2(s.address(), s.handle());
  if (rc != STATUS_OK) return check("buffer clear", rc);
  std::printf("buffer cleared\n");
  return kExitOk;
}

int save_len(Session &s, SaveLenOptions &o) {
  if (o.length >= 0) {
    const int rc = SetSaveLen(s.address(), static_cast<unsigned char>(o.length), s.handle());
    if (rc != STATUS_OK) return check("buffer save-len", rc);
  }
  unsigned char length = 0;
  const int rc = GetSaveLen(s.address(), &length, s.handle());
  if (rc != STATUS_OK) return check("buffer save-len", rc);
  if (o.json) {
    print_json({{"save_length", length}});
    return kExitOk;
  }
  std::printf("save length %u bytes\n", length);
  return kExitOk;
}

}  // namespace

void add_buffer_commands(Cli &cli) {
  CLI::App *group = cli.app.add_subcommand("buffer", "the reader's own tag buffer");
  group->require_subcommand(1);
  auto inv = add_command<BufferInventoryOptions>(
      cli, group, "inventory", "inventory Gen2 tags into the buffer", buffer_inventory,
      [](const BufferInventoryOptions &o) { o.mask.validate(); });
  inv.options->mask.add_to(inv.app, "buffer only the tags whose bits match this mask (hex)");
  add_json_flag(inv.app, inv.options->json);
  auto n = add_command<ShowOptions>(cli, group, "count", "how many tags the buffer holds", count);
  add_json_flag(n.app, n.options->json);
  auto r = add_command<ShowOptions>(cli, group, "read", "list the EPCs in the buffer", read);
  add_json_flag(r.app, r.options->json);
  add_command<int>(cli, group, "clear", "empty the buffer", clear);
  auto len = add_command<SaveLenOptions>(
      cli, group, "save-len", "show (or --set) how many EPC bytes the buffer keeps per tag",
      save_len);
  add_number(len.app, "--set", len.options->length, 0, 255, "the new save length in bytes");
  add_json_flag(len.app, len.options->json);
}

}  // namespace velkor::tool
