#include "tests/support/command_table.h"

#include <algorithm>

#include "emulator/reader.h"

namespace velkor::test {

std::uint32_t time_limit_ms(Collector collector) {
  switch (collector) {
    case Collector::kSingle: return 2000;
    case Collector::kInventory: return 15000;
    case Collector::kBuffer: return 10000;
    case Collector::kLength: return 6000;
    default: return 0;
  }
}

namespace {

constexpr std::uint8_t kByMask = 0xFF;

// Buffer sizes, as the header promises them.
template <std::size_t N>
std::size_t fixed(const Scalars &) {
  return N;
}
std::size_t mask_bytes(std::uint8_t bits) { return bits / 8u + (bits % 8u ? 1u : 0u); }
// Tag addressing: the identifier in the identifier form (E up to 31), the
// mask group in the mask form; nothing when E is refused.
std::size_t epc_bytes(const Scalars &s) { return s.words <= 31 ? 2u * s.words : 0u; }
std::size_t tag_mask_addr(const Scalars &s) { return s.words == kByMask ? 2u : 0u; }
std::size_t tag_mask_data(const Scalars &s) {
  return s.words == kByMask ? mask_bytes(s.mask_len) : 0u;
}
std::size_t new_epc_bytes(const Scalars &s) { return s.words <= 25 ? 2u * s.words : 0u; }
std::size_t word_bytes(const Scalars &s) { return 2u * s.word_count; }
std::size_t counted_bytes(const Scalars &s) { return s.byte_count; }
// The inventory requests read their mask group only when its flag (p[3]) is 1.
std::size_t inventory_mask_addr(const Scalars &s) { return s.p[3] == 1 ? 2u : 0u; }
std::size_t inventory_mask_data(const Scalars &s) {
  return s.p[3] == 1 ? mask_bytes(s.mask_len) : 0u;
}

constexpr std::size_t kList = 6000;        // tag-identifier lists
constexpr std::size_t kTagRecord = 249;    // one Gen2 record: length byte 255 less 6
constexpr std::size_t kList6b = 248;       // the 6B selective inventory's list

BlockShape byte_out(const char *name, When when) { return {name, &fixed<1>, when}; }
BlockShape int_out(const char *name, When when) { return {name, &fixed<sizeof(int)>, when}; }

// The inputs every Gen2 tag command shares, by index.
enum : std::size_t { kEpc, kPassword, kMaskAddr, kMaskData, kExtra };
std::vector<BlockShape> tag_inputs(std::vector<BlockShape> extra = {}) {
  std::vector<BlockShape> in = {{"epc", &epc_bytes},
                               {"password", &fixed<4>},
                               {"mask_addr", &tag_mask_addr},
                               {"mask_data", &tag_mask_data}};
  in.insert(in.end(), extra.begin(), extra.end());
  return in;
}
const BlockShape kErrorCode = int_out("error_code", When::kTagError);

// Requests the emulated reader accepts.
void nothing(CallSetup &, emu::Reader &) {}

// The first Gen2 tag, named by its identifier.
void first_gen2_tag(CallSetup &s, emu::Reader &r) {
  const Bytes epc = r.tags.gen2.front().epc();
  s.scalars.words = static_cast<std::uint8_t>(epc.size() / 2);
  s.inputs.resize(kExtra);
  s.inputs[kEpc] = epc;
}

// The first 6B tag's identifier as input 0.
void first_6b_tag(CallSetup &s, emu::Reader &r) {
  const auto &id = r.tags.iso6b.front().id;
  s.inputs = {Bytes(id.begin(), id.end())};
}

// Mask, TID and trailing groups all present; the mask selects the tags whose
// EPC (from bit 0x20 of the EPC bank, past CRC and PC) starts as the first
// tag's does.
void inventory_request(CallSetup &s, emu::Reader &r) {
  s.scalars.mask_len = 8;
  s.scalars.p = {0x04, 0x00, emu::kEpcBank, 1, 0x00, 0x06, 1, 0x01, 0x02, 0x03, 1};
  s.inputs = {{0x00, 0x20}, {r.tags.gen2.front().epc().front()}};
}


using Setter = void (*)(CallSetup &, emu::Reader &);

// A command that sends its request and writes at most the address back.
CommandRow setting(const char *name, When address, int (*call)(Call &), Setter setup = nothing,
                   bool echo = true) {
  return {.name = name,
          .collector = Collector::kSingle,
          .echo = echo,
          .address = address,
          .call = call,
          .setup = setup,
          .clean = 0x00};
}

// A command whose outputs are all written under the same rule as each other.
CommandRow reading(const char *name, When address, When outputs,
                   std::vector<std::pair<const char *, std::size_t (*)(const Scalars &)>> blocks,
                   int (*call)(Call &), bool echo = true) {
  CommandRow row = setting(name, address, call, nothing, echo);
  for (const auto &[block, size] : blocks) row.outputs.push_back({block, size, outputs});
  return row;
}

std::vector<std::pair<const char *, std::size_t (*)(const Scalars &)>> single_bytes(
    std::initializer_list<const char *> names) {
  std::vector<std::pair<const char *, std::size_t (*)(const Scalars &)>> blocks;
  for (const char *name : names) blocks.push_back({name, &fixed<1>});
  return blocks;
}

const std::vector<CommandRow> kRows = {
    // ---- identity and link settings -------------------------------------
    {.name = "GetReaderInformation",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .outputs = {{"info01", &fixed<2>, When::kOnSuccess},
                 byte_out("info2", When::kOnSuccess), byte_out("info3", When::kOnSuccess),
                 byte_out("info4", When::kOnSuccess), byte_out("info5", When::kOnSuccess),
                 byte_out("info6", When::kOnSuccess), byte_out("info7", When::kOnSuccess),
                 byte_out("info8", When::kOnSuccess), byte_out("info9", When::kOnSuccess),
                 byte_out("info10", When::kOnSuccess), byte_out("info11", When::kOnSuccess)},
     .call = [](Call &c) {
       return GetReaderInformation(c.a(), c.o(0), c.o(1), c.o(2), c.o(3), c.o(4), c.o(5),
                                   c.o(6), c.o(7), c.o(8), c.o(9), c.o(10), c.handle);
     },
     .setup = nothing,
     .clean = 0x00},
    {.name = "SetAddress",
     .collector = Collector::kSingle,
     .address = When::kAnswered,
     .call = [](Call &c) { return SetAddress(c.a(), c.p(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 0x09; },
     .clean = 0x00},
    {.name = "SetCommType",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .call = [](Call &c) { return SetCommType(c.a(), c.p(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 0x01; },
     .clean = 0x00},
    {.name = "SetSeriaNo",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = {{"serial", &fixed<4>}},
     .call = [](Call &c) { return SetSeriaNo(c.a(), c.i(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.inputs = {{0x12, 0x34, 0x56, 0x78}}; },
     .clean = 0x00},
    {.name = "GetSeriaNo",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .outputs = {{"serial", &fixed<4>, When::kOnSuccess}},
     .call = [](Call &c) { return GetSeriaNo(c.a(), c.o(0), c.handle); },
     .setup = [](CallSetup &, emu::Reader &r) { r.identity.serial = {0x12, 0x34, 0x56, 0x78}; },
     .clean = 0x00},
    {.name = "GetModuleVersion",
     .collector = Collector::kSingle,
     .outputs = {{"version", &fixed<2>, When::kOnSuccess}},
     .call = [](Call &c) { return GetModuleVersion(c.a(), c.o(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "GetSDKVersion",
     .collector = Collector::kLocal,
     .outputs = {{"version", &fixed<3>, When::kAnswered}},
     .call = [](Call &c) { return GetSDKVersion(c.o(0)); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "SetBaudRate",
     .collector = Collector::kLocal,
     .call = [](Call &c) { return SetBaudRate(c.a(), c.p(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "ChangeATMode",
     .collector = Collector::kLocal,
     .call = [](Call &c) { return ChangeATMode(c.a(), c.p(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "TransparentCMD",
     .collector = Collector::kLocal,
     .call = [](Call &c) { return TransparentCMD(c.a(), c.p(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},

    // ---- Gen2 inventories ------------------------------------------------
    {.name = "Inventory_G2",
     .collector = Collector::kInventory,
     .begin = true,
     .crc = false,
     .echo = false,
     .success = 0x01,
     .inputs = {{"mask_addr", &inventory_mask_addr}, {"mask_data", &inventory_mask_data}},
     .outputs = {{"list", &fixed<kList>, When::kAnswered},
                 byte_out("frame4", When::kAnswered),
                 int_out("total_len", When::kAnswered),
                 int_out("tag_count", When::kCollected)},
     .call = [](Call &c) {
       return Inventory_G2(c.a(), c.p(0), c.p(1), c.p(2), c.i(0), c.scalars.mask_len, c.i(1),
                           c.p(3), c.p(4), c.p(5), c.p(6), c.p(7), c.p(8), c.p(9), c.p(10),
                           c.o(0), c.o(1), c.oi(2), c.oi(3), c.handle);
     },
     .setup = inventory_request,
     .clean = 0x01},
    {.name = "Fast_EPC_Inventory_G2",
     .collector = Collector::kInventory,
     .crc = false,
     .echo = false,
     .success = 0x01,
     .outputs = {byte_out("param3_frame4", When::kAnswered),
                 {"list", &fixed<kList>, When::kAnswered},
                 int_out("total_len", When::kAnswered),
                 int_out("tag_count", When::kCollected)},
     .call = [](Call &c) {
       return Fast_EPC_Inventory_G2(c.a(), c.p(0), c.p(1), c.p(2), c.p(3), c.o(0), c.o(1),
                                    c.oi(2), c.oi(3), c.handle);
     },
     .setup = nothing,
     .clean = 0x01},
    {.name = "SingleTagInventory_G2",
     .collector = Collector::kSingle,
     .success = 0x01,
     .address = When::kOnSuccess,
     .outputs = {{"tag_data", &fixed<kTagRecord>, When::kOnSuccess},
                 int_out("frame4", When::kOnSuccess)},
     .call = [](Call &c) {
       return SingleTagInventory_G2(c.a(), c.o(0), nullptr, c.oi(1), c.handle);
     },
     .setup = nothing,
     .clean = 0x01},

    // ---- Gen2 tag commands -----------------------------------------------
    {.name = "ReadData_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs(),
     .outputs = {{"data", &word_bytes, When::kOnSuccess}, kErrorCode},
     .call = [](Call &c) {
       return ReadData_G2(c.a(), c.i(kEpc), c.scalars.words, c.p(1), c.p(2),
                          c.scalars.word_count, c.i(kPassword), c.p(0), c.i(kMaskAddr),
                          c.scalars.mask_len, c.i(kMaskData), c.o(0), c.oi(1), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = emu::kTidBank;
       s.scalars.word_count = 4;
     },
     .clean = 0x00},
    {.name = "ExtReadData_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs({{"word_ptr", &fixed<2>}}),
     .outputs = {{"data", &word_bytes, When::kOnSuccess}, kErrorCode},
     .call = [](Call &c) {
       return ExtReadData_G2(c.a(), c.i(kEpc), c.scalars.words, c.p(1), c.i(kExtra),
                             c.scalars.word_count, c.i(kPassword), c.p(0), c.i(kMaskAddr),
                             c.scalars.mask_len, c.i(kMaskData), c.o(0), c.oi(1), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = emu::kUserBank;
       s.scalars.word_count = 3;
       s.inputs.push_back({0x00, 0x02});
     },
     .clean = 0x00},
    {.name = "WriteData_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs({{"data", &word_bytes}}),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return WriteData_G2(c.a(), c.i(kEpc), c.scalars.word_count, c.scalars.words, c.p(1),
                           c.p(2), c.i(kExtra), c.i(kPassword), c.p(0), c.i(kMaskAddr),
                           c.scalars.mask_len, c.i(kMaskData), c.oi(0), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = emu::kUserBank;
       s.scalars.word_count = 2;
       s.inputs.push_back({1, 2, 3, 4});
     },
     .clean = 0x00},
    {.name = "BlockWrite_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs({{"data", &word_bytes}}),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return BlockWrite_G2(c.a(), c.i(kEpc), c.scalars.word_count, c.scalars.words, c.p(1),
                            c.p(2), c.i(kExtra), c.i(kPassword), c.p(0), c.i(kMaskAddr),
                            c.scalars.mask_len, c.i(kMaskData), c.oi(0), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = emu::kUserBank;
       s.scalars.p[2] = 4;
       s.scalars.word_count = 3;
       s.inputs.push_back({1, 2, 3, 4, 5, 6});
     },
     .clean = 0x00},
    {.name = "ExtWriteData_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs({{"word_ptr", &fixed<2>}, {"data", &word_bytes}}),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return ExtWriteData_G2(c.a(), c.i(kEpc), c.scalars.word_count, c.scalars.words,
                              c.p(1), c.i(kExtra), c.i(kExtra + 1), c.i(kPassword), c.p(0),
                              c.i(kMaskAddr), c.scalars.mask_len, c.i(kMaskData), c.oi(0),
                              c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = emu::kUserBank;
       s.scalars.word_count = 1;
       s.inputs.push_back({0x00, 0x10});
       s.inputs.push_back({0xAB, 0xCD});
     },
     .clean = 0x00},
    {.name = "BlockErase_G2",
     .collector = Collector::kSingle,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return BlockErase_G2(c.a(), c.i(kEpc), c.scalars.words, c.p(1), c.p(2),
                            c.scalars.word_count, c.i(kPassword), c.p(0), c.i(kMaskAddr),
                            c.scalars.mask_len, c.i(kMaskData), c.oi(0), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = emu::kUserBank;
       s.scalars.word_count = 2;
     },
     .clean = 0x00},
    {.name = "WriteEPC_G2",
     .collector = Collector::kSingle,
     .inputs = {{"password", &fixed<4>}, {"new_epc", &new_epc_bytes}},
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return WriteEPC_G2(c.a(), c.i(0), c.i(1), c.scalars.words, c.oi(0), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &) {
       s.scalars.words = 4;
       s.inputs = {{0, 0, 0, 0}, {1, 2, 3, 4, 5, 6, 7, 8}};
     },
     .clean = 0x00},
    {.name = "KillTag_G2",
     .collector = Collector::kSingle,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return KillTag_G2(c.a(), c.i(kEpc), c.scalars.words, c.i(kPassword), c.p(0),
                         c.i(kMaskAddr), c.scalars.mask_len, c.i(kMaskData), c.oi(0),
                         c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       auto &reserved = r.tags.gen2.front().banks[emu::kReserved];
       reserved[0] = 0x1234;
       reserved[1] = 0x5678;
       s.inputs[kPassword] = {0x12, 0x34, 0x56, 0x78};
     },
     .clean = 0x00},
    {.name = "Lock_G2",
     .collector = Collector::kSingle,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return Lock_G2(c.a(), c.i(kEpc), c.scalars.words, c.p(1), c.p(2), c.i(kPassword),
                      c.p(0), c.i(kMaskAddr), c.scalars.mask_len, c.i(kMaskData), c.oi(0),
                      c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = 4;  // user bank
       s.scalars.p[2] = 0;  // writable
     },
     .clean = 0x00},
    {.name = "BlockLock_G2",
     .collector = Collector::kSingle,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return BlockLock_G2(c.a(), c.i(kEpc), c.scalars.words, c.i(kPassword), c.p(1), c.p(0),
                           c.i(kMaskAddr), c.scalars.mask_len, c.i(kMaskData), c.oi(0),
                           c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = 1;
     },
     .clean = 0x00},
    {.name = "SetPrivacyByEPC_G2",
     .collector = Collector::kSingle,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return SetPrivacyByEPC_G2(c.a(), c.i(kEpc), c.scalars.words, c.i(kPassword), c.p(0),
                                 c.i(kMaskAddr), c.scalars.mask_len, c.i(kMaskData), c.oi(0),
                                 c.handle);
     },
     .setup = first_gen2_tag,
     .clean = 0x00},
    {.name = "SetPrivacyWithoutEPC_G2",
     .collector = Collector::kSingle,
     .inputs = {{"password", &fixed<4>}},
     .outputs = {kErrorCode},
     .call = [](Call &c) { return SetPrivacyWithoutEPC_G2(c.a(), c.i(0), c.oi(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "ResetPrivacy_G2",
     .collector = Collector::kSingle,
     .inputs = {{"password", &fixed<4>}},
     .outputs = {kErrorCode},
     .call = [](Call &c) { return ResetPrivacy_G2(c.a(), c.i(0), c.oi(0), c.handle); },
     .setup = [](CallSetup &, emu::Reader &r) { r.tags.gen2.front().privacy = true; },
     .clean = 0x00},
    {.name = "CheckPrivacy_G2",
     .collector = Collector::kSingle,
     .outputs = {byte_out("state", When::kOnSuccess), kErrorCode},
     .call = [](Call &c) { return CheckPrivacy_G2(c.a(), c.o(0), c.oi(1), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "EASConfigure_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return EASConfigure_G2(c.a(), c.i(kEpc), c.scalars.words, c.i(kPassword), c.p(1),
                              c.p(0), c.i(kMaskAddr), c.scalars.mask_len, c.i(kMaskData),
                              c.oi(0), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = 1;
     },
     .clean = 0x00},
    {.name = "EASAlarm_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .outputs = {kErrorCode},
     .call = [](Call &c) { return EASAlarm_G2(c.a(), c.oi(0), c.handle); },
     .setup = [](CallSetup &, emu::Reader &r) { r.tags.gen2.front().eas = true; },
     .clean = 0x00},
    {.name = "GetMonza4QTWorkParamter_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs(),
     .outputs = {byte_out("work_param", When::kOnSuccess), kErrorCode},
     .call = [](Call &c) {
       return GetMonza4QTWorkParamter_G2(c.a(), c.i(kEpc), c.scalars.words, c.i(kPassword),
                                         c.p(0), c.i(kMaskAddr), c.scalars.mask_len,
                                         c.i(kMaskData), c.o(0), c.oi(1), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       r.tags.gen2.front().monza_qt = 0x05;
     },
     .clean = 0x00},
    {.name = "SetMonza4QTWorkParamter_G2",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = tag_inputs(),
     .outputs = {kErrorCode},
     .call = [](Call &c) {
       return SetMonza4QTWorkParamter_G2(c.a(), c.i(kEpc), c.scalars.words, c.p(1),
                                         c.i(kPassword), c.p(0), c.i(kMaskAddr),
                                         c.scalars.mask_len, c.i(kMaskData), c.oi(0),
                                         c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_gen2_tag(s, r);
       s.scalars.p[1] = 0x03;
     },
     .clean = 0x00},

    // ---- ISO 18000-6B ------------------------------------------------------
    {.name = "InventorySingle_6B",
     .collector = Collector::kSingle,
     .address = When::kAnswered,
     .outputs = {byte_out("frame4", When::kAnswered), {"id", &fixed<10>, When::kAnswered}},
     .call = [](Call &c) { return InventorySingle_6B(c.a(), c.o(0), c.o(1), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "InventoryMultiple_6B",
     .collector = Collector::kSingle,
     .address = When::kAnswered,
     .inputs = {{"word_data", &fixed<8>}},
     .outputs = {byte_out("frame4", When::kAnswered),
                 {"list", &fixed<kList6b>, When::kAnswered},
                 int_out("tag_count", When::kAnswered)},
     .call = [](Call &c) {
       return InventoryMultiple_6B(c.a(), c.p(0), c.p(1), c.p(2), c.i(0), c.o(0), c.o(1),
                                   c.oi(2), c.handle);
     },
     .setup = nothing,  // condition "equal" under an empty byte mask: every tag
     .clean = 0x00},
    {.name = "ReadData_6B",
     .collector = Collector::kSingle,
     .address = When::kAnswered,
     .inputs = {{"id", &fixed<8>}},
     .outputs = {{"data", &counted_bytes, When::kOnSuccess}, kErrorCode},
     .call = [](Call &c) {
       return ReadData_6B(c.a(), c.i(0), c.p(0), c.scalars.byte_count, c.o(0), c.oi(1),
                          c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_6b_tag(s, r);
       s.scalars.p[0] = 8;
       s.scalars.byte_count = 12;
     },
     .clean = 0x00},
    {.name = "WriteData_6B",
     .collector = Collector::kSingle,
     .address = When::kAnswered,
     .inputs = {{"id", &fixed<8>}, {"data", &counted_bytes}},
     .outputs = {byte_out("written", When::kOnSuccess), kErrorCode},
     .call = [](Call &c) {
       return WriteData_6B(c.a(), c.i(0), c.p(0), c.i(1), c.scalars.byte_count, c.o(0),
                           c.oi(1), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_6b_tag(s, r);
       s.scalars.p[0] = 16;
       s.scalars.byte_count = 4;
       s.inputs.push_back({9, 8, 7, 6});
     },
     .clean = 0x00},
    {.name = "Lock_6B",
     .collector = Collector::kSingle,
     .address = When::kAnswered,
     .inputs = {{"id", &fixed<8>}},
     .outputs = {kErrorCode},
     .call = [](Call &c) { return Lock_6B(c.a(), c.i(0), c.p(0), c.oi(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_6b_tag(s, r);
       s.scalars.p[0] = 20;
     },
     .clean = 0x00},
    {.name = "CheckLock_6B",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = {{"id", &fixed<8>}},
     .outputs = {byte_out("lock_state", When::kOnSuccess), kErrorCode},
     .call = [](Call &c) {
       return CheckLock_6B(c.a(), c.i(0), c.p(0), c.o(0), c.oi(1), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &r) {
       first_6b_tag(s, r);
       s.scalars.p[0] = 2;
     },
     .clean = 0x00},

    // ---- region and channels -----------------------------------------------
    setting("SetRegion", When::kAnswered,
            [](Call &c) { return SetRegion(c.a(), c.p(0), c.p(1), c.handle); },
            [](CallSetup &s, emu::Reader &r) {
              s.scalars.p[0] = r.settings.region_high;
              s.scalars.p[1] = r.settings.region_low;
            }),
    setting("SetRegionAndChannel", When::kAnswered,
            [](Call &c) { return SetRegionAndChannel(c.a(), c.p32(0), c.p(4), c.p(5), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p = {2, 0, 0, 0, 3, 9}; }),
    setting("SetRegionWithDefaultChannel", When::kAnswered,
            [](Call &c) { return SetRegionWithDefaultChannel(c.a(), c.p32(0), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 2; }),

    // ---- RF power, calibration and self-test ----------------------------------
    setting("SetRfPower", When::kOnSuccess,
            [](Call &c) { return SetRfPower(c.a(), c.p(0), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 20; }),
    setting("SetDAC", When::kAnswered, [](Call &c) { return SetDAC(c.a(), c.p(0), c.handle); }),
    reading("GetDAC", When::kOnSuccess, When::kOnSuccess, single_bytes({"dac"}),
            [](Call &c) { return GetDAC(c.a(), c.o(0), c.handle); }),
    reading("CheckPowerParameter", When::kOnSuccess, When::kOnSuccess, single_bytes({"result"}),
            [](Call &c) { return CheckPowerParameter(c.a(), c.o(0), c.handle); }),
    {.name = "SolidifyDACandPowerlist",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = {{"list31", &fixed<31>}},
     .outputs = {byte_out("result", When::kOnSuccess)},
     .call = [](Call &c) { return SolidifyDACandPowerlist(c.a(), c.i(0), c.o(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.inputs = {Bytes(31, 20)}; },
     .clean = 0x00},
    reading("GetStartInformation", When::kOnSuccess, When::kOnSuccess,
            single_bytes({"info0", "info1", "info2", "info3", "info4", "info5", "info6", "info7",
                          "info8"}),
            [](Call &c) {
              return GetStartInformation(c.a(), c.o(0), c.o(1), c.o(2), c.o(3), c.o(4), c.o(5),
                                         c.o(6), c.o(7), c.o(8), c.handle);
            }),
    setting("RfOutput", When::kOnSuccess,
            [](Call &c) { return RfOutput(c.a(), c.p(0), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 1; }),
    reading("DeleteRfOutput", When::kOnSuccess, When::kOnSuccess, single_bytes({"result"}),
            [](Call &c) { return DeleteRfOutput(c.a(), c.o(0), c.handle); }),
    setting("InSelfTestMode", When::kAnswered,
            [](Call &c) { return InSelfTestMode(c.a(), c.p32(0), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 1; }),
    {.name = "EnableTestFreq",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = {{"freq4", &fixed<4>}},
     .call = [](Call &c) { return EnableTestFreq(c.a(), c.i(0), c.p(0), c.handle); },
     // 915000 kHz, least significant byte first.
     .setup = [](CallSetup &s, emu::Reader &) { s.inputs = {{0x38, 0xF6, 0x0D, 0x00}}; },
     .clean = 0x00},
    reading("GetADValue", When::kOnSuccess, When::kOnSuccess, {{"value2", &fixed<2>}},
            [](Call &c) { return GetADValue(c.a(), c.p(0), c.o(0), c.handle); }),
    {.name = "SetAValue",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = {{"first4", &fixed<4>}, {"second4", &fixed<4>}},
     .call = [](Call &c) { return SetAValue(c.a(), c.p(0), c.i(0), c.i(1), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.inputs = {{1, 2, 3, 4}, {5, 6, 7, 8}}; },
     .clean = 0x00},
    reading("GetAdjustPara", When::kOnSuccess, When::kOnSuccess, {{"block148", &fixed<148>}},
            [](Call &c) { return GetAdjustPara(c.a(), c.o(0), c.handle); }),
    setting("SetCheckAnt", When::kOnSuccess,
            [](Call &c) { return SetCheckAnt(c.a(), c.p(0), c.handle); }),
    reading("GetCheckPWR", When::kOnSuccess, When::kOnSuccess,
            {{"first2", &fixed<2>}, {"second2", &fixed<2>}},
            [](Call &c) { return GetCheckPWR(c.a(), c.o(0), c.o(1), c.handle); }),
    setting("SetQS", When::kOnSuccess,
            [](Call &c) { return SetQS(c.a(), c.p(0), c.p(1), c.handle); }),
    reading("GetQS", When::kOnSuccess, When::kOnSuccess, single_bytes({"qs1", "qs2"}),
            [](Call &c) { return GetQS(c.a(), c.o(0), c.o(1), c.handle); }),
    {.name = "SetDCOffset",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .inputs = {{"offset2", &fixed<2>}},
     .call = [](Call &c) { return SetDCOffset(c.a(), c.i(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    setting("SetFlashRom", When::kNever, [](Call &c) { return SetFlashRom(c.a(), c.handle); }),

    // ---- work mode and automatic inventory --------------------------------------
    setting("SetInventoryScanTime", When::kAnswered,
            [](Call &c) { return SetInventoryScanTime(c.a(), c.p(0), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 10; }),
    setting("SetWorkMode", When::kNever,
            [](Call &c) { return SetWorkMode(c.a(), c.p(0), c.handle); }),
    reading("GetSystemParameter", When::kNever, When::kOnSuccess,
            {{"p2", &fixed<1>}, {"p3", &fixed<1>}, {"p4", &fixed<1>}, {"p5", &fixed<1>},
             {"p6", &fixed<1>}, {"p7", &fixed<1>}, {"p8", &fixed<1>}, {"p9_two", &fixed<2>},
             {"p10", &fixed<1>}, {"p11_mask32", &fixed<32>}, {"p12", &fixed<1>},
             {"p13", &fixed<1>}, {"p14", &fixed<1>}},
            [](Call &c) {
              return GetSystemParameter(c.a(), c.o(0), c.o(1), c.o(2), c.o(3), c.o(4), c.o(5),
                                        c.o(6), c.o(7), c.o(8), c.o(9), c.o(10), c.o(11),
                                        c.o(12), c.handle);
            }),
    setting("SetEASSensitivity", When::kNever,
            [](Call &c) { return SetEASSensitivity(c.a(), c.p(0), c.handle); }),
    setting("SetTriggerTime", When::kNever,
            [](Call &c) { return SetTriggerTime(c.a(), c.p(0), c.handle); }),
    {.name = "SetMask",
     .collector = Collector::kSingle,
     .inputs = {{"mask_addr", &fixed<2>},
                {"mask_data", [](const Scalars &s) { return mask_bytes(s.mask_len); }}},
     .call = [](Call &c) {
       return SetMask(c.a(), c.p(0), c.i(0), c.scalars.mask_len, c.i(1), c.handle);
     },
     .setup = [](CallSetup &s, emu::Reader &) {
       s.scalars.p[0] = emu::kEpcBank;
       s.scalars.mask_len = 12;
       s.inputs = {{0x00, 0x20}, {0x30, 0x10}};
     },
     .clean = 0x00},
    setting("SetResponsePamametersofAuto_runningMode", When::kNever, [](Call &c) {
      return SetResponsePamametersofAuto_runningMode(c.a(), c.p(0), c.p(1), c.handle);
    }),
    setting("SetInventoryInterval", When::kNever,
            [](Call &c) { return SetInventoryInterval(c.a(), c.p(0), c.handle); }),
    setting("SelectTagType", When::kNever,
            [](Call &c) { return SelectTagType(c.a(), c.p(0), c.handle); }),
    setting("SetAntennaMultiplexing", When::kNever,
            [](Call &c) { return SetAntennaMultiplexing(c.a(), c.p(0), c.handle); },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 3; }),
    setting("SetBeepNotification", When::kNever,
            [](Call &c) { return SetBeepNotification(c.a(), c.p(0), c.handle); }),
    setting("ClearTagBuffer", When::kNever,
            [](Call &c) { return ClearTagBuffer(c.a(), c.handle); }),
    setting("SetTIDParameter", When::kOnSuccess,
            [](Call &c) { return SetTIDParameter(c.a(), c.p(0), c.p(1), c.handle); }),
    {.name = "SetTagCustomFunction",
     .collector = Collector::kSingle,
     .address = When::kOnSuccess,
     .outputs = {byte_out("function", When::kOnSuccess)},
     .call = [](Call &c) { return SetTagCustomFunction(c.a(), c.o(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.preset = {{0, 0x02}}; },
     .clean = 0x00},
    setting("SetWorkTime", When::kOnSuccess,
            [](Call &c) { return SetWorkTime(c.a(), c.p(0), c.p(1), c.handle); }),
    reading("GetWorkTime", When::kOnSuccess, When::kOnSuccess, single_bytes({"first", "second"}),
            [](Call &c) { return GetWorkTime(c.a(), c.o(0), c.o(1), c.handle); }),

    // ---- indicators, clock and I/O lines ---------------------------------------
    setting("BuzzerAndLEDControl", When::kNever, [](Call &c) {
      return BuzzerAndLEDControl(c.a(), c.p(0), c.p(1), c.p(2), c.handle);
    }),
    {.name = "SetReal_timeClock",
     .collector = Collector::kSingle,
     .inputs = {{"clock6", &fixed<6>}},
     .call = [](Call &c) { return SetReal_timeClock(c.a(), c.i(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.inputs = {{0x24, 0x01, 0x15, 0x10, 0x30, 0x00}}; },
     .clean = 0x00},
    reading("GetTime", When::kNever, When::kOnSuccess, {{"clock6", &fixed<6>}},
            [](Call &c) { return GetTime(c.a(), c.o(0), c.handle); }),
    setting("SetRelay", When::kNever, [](Call &c) { return SetRelay(c.a(), c.p(0), c.handle); }),
    reading("GetRevDelay", When::kNever, When::kOnSuccess, single_bytes({"delay"}),
            [](Call &c) { return GetRevDelay(c.a(), c.o(0), c.handle); }),
    setting("SetRevDelay", When::kNever,
            [](Call &c) { return SetRevDelay(c.a(), c.p(0), c.handle); }),
    setting("SetGPIO", When::kNever, [](Call &c) { return SetGPIO(c.a(), c.p(0), c.handle); }),
    reading("GetGPIOStatus", When::kNever, When::kOnSuccess, single_bytes({"status"}),
            [](Call &c) { return GetGPIOStatus(c.a(), c.o(0), c.handle); }),
    setting("SetNotificationPulseOutput", When::kNever,
            [](Call &c) { return SetNotificationPulseOutput(c.a(), c.p(0), c.handle); }),

    // ---- keyboard output (no echo test) ------------------------------------------
    {.name = "ChangeToHID",
     .collector = Collector::kControl,
     .call = [](Call &c) { return ChangeToHID(c.a(), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    setting("SetHidBeepEn", When::kNever,
            [](Call &c) { return SetHidBeepEn(c.a(), c.p(0), c.handle); }, nothing, false),
    reading("GetHidBeepEn", When::kNever, When::kAnswered, single_bytes({"beep"}),
            [](Call &c) { return GetHidBeepEn(c.a(), c.o(0), c.handle); }, false),
    setting("SetHidWorkPara", When::kNever,
            [](Call &c) {
              return SetHidWorkPara(c.a(), c.p(0), c.p(1), c.p(2), c.p(3), c.p(4), c.p(5),
                                    c.handle);
            },
            [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 1; }, false),
    reading("GetHidWorkPara", When::kNever, When::kAnswered,
            single_bytes({"p1", "p2", "p3", "p4", "p5", "p6"}),
            [](Call &c) {
              return GetHidWorkPara(c.a(), c.o(0), c.o(1), c.o(2), c.o(3), c.o(4), c.o(5),
                                    c.handle);
            },
            false),

    // ---- reader-side tag buffer ------------------------------------------
    {.name = "InventoryBuffer_G2",
     .collector = Collector::kLength,
     .inputs = {{"mask_addr", &inventory_mask_addr}, {"mask_data", &inventory_mask_data}},
     .outputs = {int_out("first", When::kAnswered), int_out("second", When::kAnswered)},
     .call = [](Call &c) {
       return InventoryBuffer_G2(c.a(), c.p(0), c.p(1), c.p(2), c.i(0), c.scalars.mask_len,
                                 c.i(1), c.p(3), c.p(4), c.p(5), c.p(6), c.p(7), c.p(8),
                                 c.p(9), c.p(10), c.oi(0), c.oi(1), c.handle);
     },
     .setup = inventory_request,
     .clean = 0x00},
    {.name = "ReadBuffer_G2",
     .collector = Collector::kBuffer,
     .begin = true,
     .crc = false,
     .echo = false,
     .success = 0x01,
     .outputs = {int_out("total_len", When::kAnswered), int_out("tag_count", When::kAnswered),
                 {"list", &fixed<kList>, When::kAnswered}},
     .call = [](Call &c) {
       return ReadBuffer_G2(c.a(), c.oi(0), c.oi(1), c.o(2), c.handle);
     },
     .setup = [](CallSetup &, emu::Reader &r) {
       for (const emu::Gen2Tag &tag : r.tags.gen2) r.buffer.add(tag.epc());
     },
     .clean = 0x01},
    {.name = "GetBufferCnt_G2",
     .collector = Collector::kSingle,
     .outputs = {int_out("count", When::kAnswered)},
     .call = [](Call &c) { return GetBufferCnt_G2(c.a(), c.oi(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "ClearBuffer_G2",
     .collector = Collector::kSingle,
     .call = [](Call &c) { return ClearBuffer_G2(c.a(), c.handle); },
     .setup = nothing,
     .clean = 0x00},
    {.name = "SetSaveLen",
     .collector = Collector::kSingle,
     .call = [](Call &c) { return SetSaveLen(c.a(), c.p(0), c.handle); },
     .setup = [](CallSetup &s, emu::Reader &) { s.scalars.p[0] = 12; },
     .clean = 0x00},
    {.name = "GetSaveLen",
     .collector = Collector::kSingle,
     .outputs = {byte_out("save_len", When::kAnswered)},
     .call = [](Call &c) { return GetSaveLen(c.a(), c.o(0), c.handle); },
     .setup = nothing,
     .clean = 0x00},
};

const std::vector<NotACommand> kNotCommands = {
    {"GetCRC", "crc_test.cpp"},
    {"CheckCRC", "crc_test.cpp"},
    {"SendDataToPort", "report_test.cpp"},
    {"GetDataFromPort", "collectors_test.cpp and every single-reply row"},
    {"GetInventoryDataFromPort1", "collectors_test.cpp and the inventory rows"},
    {"GetBufferDataFromPort", "collectors_test.cpp and ReadBuffer_G2's row"},
    {"GetDataFromPort_buff", "collectors_test.cpp and InventoryBuffer_G2's row"},
    {"ATGetDataFromPort", "identity_test.cpp (inert)"},
    {"CVelkor::CVelkor", "identity_test.cpp (no behaviour)"},
    {"CVelkor::operator=", "identity_test.cpp (no behaviour)"},
    {"GetChannelList", "channel_list_test.cpp (texts only, no device)"},
    {"FreeChannelList", "channel_list_test.cpp (texts only, no device)"},
    {"GetDeviceList", "discovery_test.cpp and the device-list fuzzer"},
    {"CloseUSBPort", "discovery_test.cpp"},
    {"GetReturnCodeText", "return_code_text_test.cpp (texts only, no device)"},
    {"GetTagErrorText", "return_code_text_test.cpp (texts only, no device)"},
};

}  // namespace

const std::vector<CommandRow> &command_rows() { return kRows; }
const std::vector<NotACommand> &not_commands() { return kNotCommands; }

Call make_call(const CommandRow &row, const CallSetup &setup, std::uint8_t fill,
               std::size_t guard) {
  Call call;
  call.scalars = setup.scalars;
  call.address = GuardedBlock(1, setup.scalars.address, guard);
  for (std::size_t k = 0; k < row.inputs.size(); ++k) {
    GuardedBlock block(row.inputs[k].size(setup.scalars), 0x00, guard);
    if (k < setup.inputs.size()) {
      const Bytes &content = setup.inputs[k];
      std::copy_n(content.begin(), std::min(content.size(), block.size()), block.data());
    }
    call.in.push_back(std::move(block));
  }
  call.fills.assign(row.outputs.size(), fill);
  for (const auto &[k, value] : setup.preset) call.fills.at(k) = value;
  for (std::size_t k = 0; k < row.outputs.size(); ++k)
    call.out.emplace_back(row.outputs[k].size(setup.scalars), call.fills[k], guard);
  return call;
}

}  // namespace velkor::test
