// 6b: ISO 18000-6B tags, named by their 8-byte identifier.
#include <algorithm>
#include <cstdio>

#include "tools/cli/cli.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"
#include "tools/cli/output/tag_output.h"

namespace velkor::tool {

namespace {

constexpr std::size_t kIdBytes = 8;
// The most tag data one 6B inventory reply carries.
constexpr std::size_t kMostListBytes = 248;
// The most bytes one read or write moves (a write must fit one report).
constexpr int kMostReadBytes = 200;
constexpr std::size_t kMostWriteBytes = 48;

const Names kConditions = {{"eq", 0}, {"ne", 1}, {"gt", 2}, {"lt", 3}};

struct Inventory6bOptions {
  bool single = false;
  int condition = 0;
  int start = 0;
  int byte_mask = 0;
  Bytes data = Bytes(kIdBytes, 0);
  bool json = false;
};

struct Memory6bOptions {
  Bytes id;
  int start = 0;
  int count = 1;
  Bytes data;
  bool json = false;
};

// One tag's identifier, as --id takes it.
void print_id(const unsigned char *id, int antenna, bool json) {
  if (json)
    print_json({{"id", to_hex(id, kIdBytes)}, {"antenna", antenna}});
  else
    std::printf("%s\n", to_hex(id, kIdBytes).c_str());
}

int inventory_6b(Session &s, Inventory6bOptions &o) {
  unsigned char frame4 = 0;
  if (o.single) {
    // The reply's ten bytes are the tag's first memory bytes, which begin
    // with its identifier: only that names the tag to the other commands.
    unsigned char first_bytes[10] = {};
    const int rc = InventorySingle_6B(s.address(), &frame4, first_bytes, s.handle());
    if (rc != STATUS_OK) return check("6b inventory", rc);
    print_id(first_bytes, frame4, o.json);
    return kExitOk;
  }
  unsigned char list[kMostListBytes] = {};
  int count = 0;
  const int rc = InventoryMultiple_6B(
      s.address(), static_cast<unsigned char>(o.condition), static_cast<unsigned char>(o.start),
      static_cast<unsigned char>(o.byte_mask), o.data.data(), &frame4, list, &count, s.handle());
  if (rc != STATUS_OK) return check("6b inventory", rc);
  const int shown = std::min(count, static_cast<int>(kMostListBytes / kIdBytes));
  for (int i = 0; i < shown; ++i) print_id(list + std::size_t(i) * kIdBytes, frame4, o.json);
  if (o.json) return kExitOk;
  std::printf("%s, antenna 0x%02X\n", counted(std::size_t(count), "tag").c_str(), frame4);
  return kExitOk;
}

int read_bytes(Session &s, Memory6bOptions &o) {
  Bytes data(static_cast<std::size_t>(o.count));
  int error = -1;
  const int rc = ReadData_6B(s.address(), o.id.data(), static_cast<unsigned char>(o.start),
                             static_cast<unsigned char>(o.count), data.data(), &error, s.handle());
  if (rc != STATUS_OK) return check("6b read", rc, error);
  if (o.json) {
    print_json({{"id", to_hex(o.id)}, {"addr", o.start}, {"data", to_hex(data)}});
    return kExitOk;
  }
  std::printf("%s\n", to_hex(data).c_str());
  return kExitOk;
}

int write_bytes(Session &s, Memory6bOptions &o) {
  unsigned char written = 0;
  int error = -1;
  const int rc = WriteData_6B(s.address(), o.id.data(), static_cast<unsigned char>(o.start),
                              o.data.data(), static_cast<unsigned char>(o.data.size()), &written,
                              &error, s.handle());
  if (rc != STATUS_OK) return check("6b write", rc, error);
  std::printf("wrote %s\n", counted(written, "byte").c_str());
  return kExitOk;
}

int lock_byte(Session &s, Memory6bOptions &o) {
  int error = -1;
  const int rc =
      Lock_6B(s.address(), o.id.data(), static_cast<unsigned char>(o.start), &error, s.handle());
  if (rc != STATUS_OK) return check("6b lock", rc, error);
  std::printf("byte %d locked\n", o.start);
  return kExitOk;
}

int check_lock(Session &s, Memory6bOptions &o) {
  unsigned char state = 0;
  int error = -1;
  const int rc = CheckLock_6B(s.address(), o.id.data(), static_cast<unsigned char>(o.start),
                              &state, &error, s.handle());
  if (rc != STATUS_OK) return check("6b check-lock", rc, error);
  if (o.json) {
    print_json({{"id", to_hex(o.id)}, {"addr", o.start}, {"locked", state != 0}});
    return kExitOk;
  }
  std::printf("byte %d %s\n", o.start, state ? "locked" : "not locked");
  return kExitOk;
}

// A memory command: --id and --addr, then its own options.
Command<Memory6bOptions> add_memory_command(Cli &cli, CLI::App *group, const char *name,
                                            const char *help, const char *addr_help,
                                            int (*body)(Session &, Memory6bOptions &)) {
  auto c = add_command<Memory6bOptions>(cli, group, name, help, body);
  add_hex(c.app, "--id", c.options->id, kIdBytes, kIdBytes, "the tag's identifier (8 bytes, hex)")
      ->required();
  add_number(c.app, "--addr", c.options->start, 0, 255, addr_help)->required();
  return c;
}

}  // namespace

void add_iso6b_commands(Cli &cli) {
  CLI::App *group = cli.app.add_subcommand("6b", "ISO 18000-6B tags");
  group->require_subcommand(1);

  auto inv = add_command<Inventory6bOptions>(cli, group, "inventory",
                                             "list the identifiers of the 6B tags", inventory_6b);
  Inventory6bOptions &o = *inv.options;
  inv.app->add_flag("--single", o.single, "one tag only: the first that answers");
  add_json_flag(inv.app, o.json);
  add_named(inv.app, "--condition", o.condition, "condition", kConditions, 0, 3,
            "select tags whose compared bytes are eq, ne, gt or lt --data (default eq)");
  add_number(inv.app, "--start", o.start, 0, 255, "first memory byte compared (default 0)");
  add_number(inv.app, "--byte-mask", o.byte_mask, 0, 255,
             "which of the 8 bytes are compared, bit 7 the first (default 0: none, so every "
             "tag)");
  add_hex(inv.app, "--data", o.data, kIdBytes, kIdBytes, "the 8 bytes compared with (hex)");

  auto read = add_memory_command(cli, group, "read", "read bytes of a 6B tag's memory",
                                 "first byte", read_bytes);
  add_number(read.app, "--bytes", read.options->count, 1, kMostReadBytes,
             "how many bytes (default 1)");
  add_json_flag(read.app, read.options->json);
  auto write = add_memory_command(cli, group, "write", "write bytes into a 6B tag's memory",
                                  "first byte", write_bytes);
  add_hex(write.app, "--data", write.options->data, 1, kMostWriteBytes,
          "the bytes to write (hex, at most 48)")
      ->required();
  add_memory_command(cli, group, "lock", "lock one byte of a 6B tag's memory for good",
                     "the byte", lock_byte);
  auto locked = add_memory_command(cli, group, "check-lock",
                                   "say whether a byte of a 6B tag is locked", "the byte",
                                   check_lock);
  add_json_flag(locked.app, locked.options->json);
}

}  // namespace velkor::tool
