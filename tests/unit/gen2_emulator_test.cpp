// Gen2 tag operations through the library against the emulated reader:
// inventories find the population, and what one command changes the next
// one sees.
#include <gtest/gtest.h>

#include "emulator/gen2_request.h"
#include "tests/support/emulated_device.h"
#include "tests/support/scripted_device.h"

namespace velkor::test {
namespace {

using Password = std::array<unsigned char, 4>;
constexpr Password kNoPassword{};
constexpr Password kAccess{0x12, 0x34, 0x56, 0x78};
constexpr Password kKill{0x0B, 0xAD, 0xBE, 0xEF};

struct Inventory {
  int result = -1;
  Bytes list = Bytes(6000, 0xEE);
  unsigned char frame4 = 0xEE;
  int total = -7;
  int count = -7;

  /// The list walked as velkor.h describes it: records of one length byte,
  /// then that many bytes (a tag's EPC, and with the TID group its TID).
  std::vector<Bytes> records() const {
    std::vector<Bytes> out;
    for (std::size_t at = 0; at < static_cast<std::size_t>(total);) {
      const std::size_t n = list[at];
      out.emplace_back(list.begin() + static_cast<std::ptrdiff_t>(at + 1),
                       list.begin() + static_cast<std::ptrdiff_t>(at + 1 + n));
      at += 1 + n;
    }
    return out;
  }
};

class Gen2Emulator : public EmulatorTest {
 protected:
  std::vector<Bytes> population_epcs(bool answering_only = true) {
    std::vector<Bytes> out;
    for (const auto &t : reader().tags.gen2)
      if (!answering_only || emu::answers(t)) out.push_back(t.epc());
    return out;
  }
  Bytes epc(std::size_t i) { return reader().tags.gen2[i].epc(); }

  Inventory inventory(const Bytes &mask = {}, unsigned char bits = 0,
                      unsigned char bit_address = 0x20) {
    Inventory inv;
    unsigned char mask_addr[2] = {0x00, bit_address};
    Bytes m = mask;
    m.resize(32);
    inv.result = Inventory_G2(&address, 0x04, 0x00, 0x01, mask_addr, bits, m.data(),
                              mask.empty() ? 0 : 1, 0, 0, 0, 0, 0, 0, 0, inv.list.data(),
                              &inv.frame4, &inv.total, &inv.count, handle);
    return inv;
  }

  // Tag named by its EPC (identifier form) unless the EPC is empty (E = 0).
  int read(const Bytes &id, unsigned char bank, unsigned char ptr, unsigned char count,
           Bytes &out, const Password &pw = kNoPassword) {
    out.assign(2u * count, 0xEE);
    Bytes e = id;
    Password p = pw;
    return ReadData_G2(&address, e.data(), static_cast<unsigned char>(id.size() / 2), bank, ptr,
                       count, p.data(), 0, nullptr, 0, nullptr, out.data(), &error, handle);
  }
  int write(const Bytes &id, unsigned char bank, unsigned char ptr, Bytes data,
            const Password &pw = kNoPassword) {
    Bytes e = id;
    Password p = pw;
    return WriteData_G2(&address, e.data(), static_cast<unsigned char>(data.size() / 2),
                        static_cast<unsigned char>(id.size() / 2), bank, ptr, data.data(),
                        p.data(), 0, nullptr, 0, nullptr, &error, handle);
  }
  int lock(const Bytes &id, unsigned char field, unsigned char action, const Password &pw) {
    Bytes e = id;
    Password p = pw;
    return Lock_G2(&address, e.data(), static_cast<unsigned char>(id.size() / 2), field, action,
                   p.data(), 0, nullptr, 0, nullptr, &error, handle);
  }
  // Gives tag i an access password (reserved words 2 and 3).
  void set_access_password(std::size_t i, const Password &pw) {
    ASSERT_EQ(write(epc(i), 0, 2, Bytes(pw.begin(), pw.end())), STATUS_OK);
    ASSERT_EQ(reader().tags.gen2[i].access_password(), 0x12345678u);
  }

  int error = 12345;
};

// ------------------------------------------------------------ inventories

TEST_F(Gen2Emulator, InventoryFindsThePopulationOverSeveralFrames) {
  reader().gen2.tags_per_frame = 2;
  const Inventory inv = inventory();
  EXPECT_EQ(inv.result, 0x01);
  EXPECT_EQ(inv.count, 5);
  EXPECT_EQ(inv.total, 5 * 13);
  EXPECT_EQ(inv.frame4, reader().settings.antenna);
  EXPECT_EQ(inv.records(), population_epcs());
}

TEST_F(Gen2Emulator, FastInventoryFindsThePopulationToo) {
  Inventory inv;
  inv.frame4 = 0x00;
  inv.result = Fast_EPC_Inventory_G2(&address, 0x04, 0x00, 0x01, 0x00, &inv.frame4,
                                     inv.list.data(), &inv.total, &inv.count, handle);
  EXPECT_EQ(inv.result, 0x01);
  EXPECT_EQ(inv.count, 5);
  EXPECT_EQ(inv.records(), population_epcs());
  EXPECT_EQ(inv.frame4, reader().settings.antenna);
}

TEST_F(Gen2Emulator, WithTheTidGroupEachTagGivesItsEpcRecordThenItsTidRecord) {
  constexpr unsigned char kTidWords = 6;
  Inventory inv;
  unsigned char mask_addr[2] = {}, mask[1] = {};
  inv.result = Inventory_G2(&address, 0x04, 0x00, 0x01, mask_addr, 0, mask, 0, 0, kTidWords, 1,
                            0, 0, 0, 0, inv.list.data(), &inv.frame4, &inv.total, &inv.count,
                            handle);
  std::vector<Bytes> expected;
  for (const auto &t : reader().tags.gen2) {
    if (!emu::answers(t)) continue;
    expected.push_back(t.epc());
    Bytes tid;
    for (unsigned w = 0; w < kTidWords; ++w) {
      tid.push_back(static_cast<unsigned char>(t.banks[emu::kTidBank][w] >> 8));
      tid.push_back(static_cast<unsigned char>(t.banks[emu::kTidBank][w]));
    }
    expected.push_back(tid);
  }
  EXPECT_EQ(inv.result, 0x01);
  EXPECT_EQ(inv.records(), expected);
  EXPECT_EQ(2u * static_cast<unsigned>(inv.count), expected.size()) << "tag_count counts tags";
}

TEST_F(Gen2Emulator, ALargePopulationArrivesWhateverTheReportSplit) {
  emu::Rng rng(99);
  for (int i = 0; i < 60; ++i) reader().tags.gen2.push_back(emu::make_gen2_tag(rng));
  reader().gen2.tags_per_frame = 100;  // frames then stop at 255 bytes
  for (std::size_t piece : {62u, 13u, 5u}) {
    emulator().inject_next({.split = {piece}});
    const Inventory inv = inventory();
    EXPECT_EQ(inv.result, 0x01) << piece;
    EXPECT_EQ(inv.count, 65) << piece;
    EXPECT_EQ(inv.total, 65 * 13) << piece;
    EXPECT_EQ(inv.records(), population_epcs()) << piece;
  }
}

TEST_F(Gen2Emulator, AMaskLetsOnlyMatchingTagsAnswer) {
  const Bytes target = epc(3);
  // The first 24 EPC bits, from bit 0x20 of the EPC bank on.
  Inventory inv = inventory({target[0], target[1], target[2]}, 24);
  EXPECT_EQ(inv.result, 0x01);
  ASSERT_EQ(inv.count, 1);
  EXPECT_EQ(inv.records(), std::vector<Bytes>{target});

  // A mask that runs past the bank matches nothing.
  inv = inventory({0xFF}, 8, 0xF8);
  EXPECT_EQ(inv.result, 0xFB);
  EXPECT_EQ(inv.count, 0);
}

TEST_F(Gen2Emulator, NoTagGivesALoneNoTagFrame) {
  for (auto &t : reader().tags.gen2) t.killed = true;
  const Inventory inv = inventory();
  EXPECT_EQ(inv.result, 0xFB);
  EXPECT_EQ(inv.count, 0);
  EXPECT_EQ(inv.total, 0);
  EXPECT_EQ(inv.frame4, 0xEE);

  unsigned char data[32];
  int frame4 = -7;
  EXPECT_EQ(SingleTagInventory_G2(&address, data, nullptr, &frame4, handle), 0xFB);
  EXPECT_EQ(frame4, -7);
}

TEST_F(Gen2Emulator, SingleTagInventoryReportsTheFirstTag) {
  Bytes data(32, 0xEE);
  int frame4 = -7;
  EXPECT_EQ(SingleTagInventory_G2(&address, data.data(), nullptr, &frame4, handle), 0x01);
  EXPECT_EQ(frame4, reader().settings.antenna);
  EXPECT_EQ(data[0], 12);
  EXPECT_EQ(Bytes(data.begin() + 1, data.begin() + 13), epc(0));
}

// ---------------------------------------------------------- memory access

TEST_F(Gen2Emulator, WriteThenReadReturnsWhatWasWritten) {
  const Bytes words = {0xCA, 0xFE, 0xBA, 0xBE, 0x00, 0x01};
  EXPECT_EQ(write(epc(1), 3, 4, words), STATUS_OK);
  EXPECT_EQ(error, -1);
  Bytes back;
  EXPECT_EQ(read(epc(1), 3, 4, 3, back), STATUS_OK);
  EXPECT_EQ(back, words);
  EXPECT_EQ(read(epc(2), 3, 4, 3, back), STATUS_OK);
  EXPECT_EQ(back, Bytes(6, 0x00)) << "another tag's memory is untouched";
}

TEST_F(Gen2Emulator, ExtendedAndBlockCommandsReachTheSameMemory) {
  Bytes id = epc(0);
  Password pw = kNoPassword;
  unsigned char pointer[2] = {0x00, 0x1E};
  unsigned char words[4] = {0x01, 0x02, 0x03, 0x04};
  EXPECT_EQ(ExtWriteData_G2(&address, id.data(), 2, 6, 3, pointer, words, pw.data(), 0, nullptr,
                            0, nullptr, &error, handle),
            STATUS_OK);
  Bytes back;
  EXPECT_EQ(read(id, 3, 30, 2, back), STATUS_OK);
  EXPECT_EQ(back, Bytes(words, words + 4));

  EXPECT_EQ(BlockWrite_G2(&address, id.data(), 2, 6, 3, 0, words, pw.data(), 0, nullptr, 0,
                          nullptr, &error, handle),
            STATUS_OK);
  unsigned char out[4] = {};
  pointer[1] = 0x00;
  EXPECT_EQ(ExtReadData_G2(&address, id.data(), 6, 3, pointer, 2, pw.data(), 0, nullptr, 0,
                           nullptr, out, &error, handle),
            STATUS_OK);
  EXPECT_EQ(Bytes(out, out + 4), Bytes(words, words + 4));

  EXPECT_EQ(BlockErase_G2(&address, id.data(), 6, 3, 0, 2, pw.data(), 0, nullptr, 0, nullptr,
                          &error, handle),
            STATUS_OK);
  EXPECT_EQ(read(id, 3, 0, 2, back), STATUS_OK);
  EXPECT_EQ(back, Bytes(4, 0x00));
}

TEST_F(Gen2Emulator, MaskFormNamesTheTagByItsMemory) {
  Bytes target = epc(4);
  Password pw = kNoPassword;
  unsigned char mask_addr[2] = {0x00, 0x20};
  unsigned char words[2] = {0x77, 0x88};
  EXPECT_EQ(WriteData_G2(&address, nullptr, 1, 0xFF, 3, 9, words, pw.data(), 1, mask_addr, 96,
                         target.data(), &error, handle),
            STATUS_OK);
  EXPECT_EQ(reader().tags.gen2[4].banks[emu::kUserBank][9], 0x7788);
  EXPECT_EQ(reader().tags.gen2[3].banks[emu::kUserBank][9], 0x0000);
}

TEST_F(Gen2Emulator, AccessBeyondTheBankIsAMemoryOverrun) {
  Bytes back;
  EXPECT_EQ(read(epc(0), 3, 30, 4, back), 0xFC);
  EXPECT_EQ(error, 0x03);
  error = 0;
  EXPECT_EQ(write(epc(0), 2, 5, {0x00, 0x01, 0x00, 0x02}), 0xFC);
  EXPECT_EQ(error, 0x03);
}

TEST_F(Gen2Emulator, AnUnknownTagIsNoTag) {
  Bytes back;
  error = 12345;
  EXPECT_EQ(read({0x01, 0x02, 0x03, 0x04}, 3, 0, 1, back), 0xFB);
  EXPECT_EQ(error, 12345) << "no tag error code for a reader status";
}

TEST_F(Gen2Emulator, WriteEpcRenamesTheTagInTheField) {
  Password pw = kNoPassword;
  unsigned char fresh[4] = {0x30, 0x00, 0xAB, 0xCD};
  EXPECT_EQ(WriteEPC_G2(&address, pw.data(), fresh, 2, &error, handle), STATUS_OK);
  const Inventory inv = inventory();
  ASSERT_EQ(inv.count, 5);
  EXPECT_EQ(inv.records()[0], Bytes(fresh, fresh + 4));
  Bytes back;
  EXPECT_EQ(read(Bytes(fresh, fresh + 4), 1, 2, 2, back), STATUS_OK)
      << "the new EPC names the tag";
}

TEST_F(Gen2Emulator, ForcedTagErrorsReachTheCaller) {
  for (std::uint8_t code : {emu::kTagErrorInsufficientPower, emu::kTagErrorNonSpecific}) {
    reader().gen2.tag_error = code;
    Bytes back;
    EXPECT_EQ(read(epc(0), 3, 0, 1, back), 0xFC);
    EXPECT_EQ(error, code);
    EXPECT_EQ(back, Bytes(2, 0xEE));
  }
  reader().gen2.tag_error.reset();
  Bytes back;
  EXPECT_EQ(read(epc(0), 3, 0, 1, back), STATUS_OK);
}

// --------------------------------------------------------------- locking

TEST_F(Gen2Emulator, ALockedBankRefusesAWriteWithoutTheAccessPassword) {
  set_access_password(0, kAccess);
  EXPECT_EQ(lock(epc(0), 4, 2, kNoPassword), 0xFC) << "locking needs the password";
  EXPECT_EQ(error, 0x04);
  EXPECT_EQ(lock(epc(0), 4, 2, kAccess), STATUS_OK);

  EXPECT_EQ(write(epc(0), 3, 0, {0x12, 0x34}), 0xFC);
  EXPECT_EQ(error, 0x04) << "memory locked";
  EXPECT_EQ(write(epc(0), 3, 0, {0x12, 0x34}, kAccess), STATUS_OK);
  EXPECT_EQ(error, -1);
  Bytes back;
  EXPECT_EQ(read(epc(0), 3, 0, 1, back), STATUS_OK) << "a locked bank stays readable";
  EXPECT_EQ(back, (Bytes{0x12, 0x34}));

  // A locked password field hides even its contents.
  EXPECT_EQ(lock(epc(0), 1, 2, kAccess), STATUS_OK);
  EXPECT_EQ(read(epc(0), 0, 2, 2, back), 0xFC);
  EXPECT_EQ(read(epc(0), 0, 2, 2, back, kAccess), STATUS_OK);
  EXPECT_EQ(back, Bytes(kAccess.begin(), kAccess.end()));
}

TEST_F(Gen2Emulator, PermalockIsForever) {
  set_access_password(1, kAccess);
  EXPECT_EQ(lock(epc(1), 4, 3, kAccess), STATUS_OK);
  EXPECT_EQ(write(epc(1), 3, 0, {0x12, 0x34}, kAccess), 0xFC);
  EXPECT_EQ(error, 0x04);
  EXPECT_EQ(lock(epc(1), 4, 0, kAccess), 0xFC) << "a permanent state cannot change";
  EXPECT_EQ(lock(epc(1), 5, 0, kAccess), 0xFF) << "no such field";
  EXPECT_EQ(lock(epc(1), 4, 4, kAccess), 0xFF) << "no such action";
}

TEST_F(Gen2Emulator, BlockLockPermalocksOneUserBlock) {
  Bytes id = epc(2);
  Password pw = kNoPassword;
  EXPECT_EQ(BlockLock_G2(&address, id.data(), 6, pw.data(), 1, 0, nullptr, 0, nullptr, &error,
                         handle),
            STATUS_OK);
  EXPECT_EQ(write(id, 3, 8, {0x00, 0x01}), 0xFC);
  EXPECT_EQ(error, 0x04);
  EXPECT_EQ(write(id, 3, 7, {0x00, 0x01}), STATUS_OK) << "the block before is free";
  EXPECT_EQ(write(id, 3, 16, {0x00, 0x01}), STATUS_OK) << "so is the block after";
  EXPECT_EQ(BlockLock_G2(&address, id.data(), 6, pw.data(), 4, 0, nullptr, 0, nullptr, &error,
                         handle),
            0xFC);
  EXPECT_EQ(error, 0x03) << "no fifth block";
}

TEST_F(Gen2Emulator, AKilledTagDisappears) {
  Bytes id = epc(3);
  Password kill_pw = kKill;
  EXPECT_EQ(KillTag_G2(&address, id.data(), 6, kill_pw.data(), 0, nullptr, 0, nullptr, &error,
                       handle),
            0xFC) << "a zero kill password refuses the kill";
  ASSERT_EQ(write(id, 0, 0, Bytes(kKill.begin(), kKill.end())), STATUS_OK);
  Password wrong = kAccess;
  EXPECT_EQ(KillTag_G2(&address, id.data(), 6, wrong.data(), 0, nullptr, 0, nullptr, &error,
                       handle),
            0xFC);
  EXPECT_EQ(KillTag_G2(&address, id.data(), 6, kill_pw.data(), 0, nullptr, 0, nullptr, &error,
                       handle),
            STATUS_OK);
  EXPECT_EQ(error, -1);

  const Inventory inv = inventory();
  EXPECT_EQ(inv.count, 4);
  const std::vector<Bytes> seen = inv.records();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0);
  Bytes back;
  EXPECT_EQ(read(id, 3, 0, 1, back), 0xFB);
}

// ------------------------------------------------------- privacy and EAS

TEST_F(Gen2Emulator, PrivacyHidesATagUntilReset) {
  Bytes id = epc(2);
  Password pw = kNoPassword;
  unsigned char state = 0xEE;
  EXPECT_EQ(CheckPrivacy_G2(&address, &state, &error, handle), STATUS_OK);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(SetPrivacyByEPC_G2(&address, id.data(), 6, pw.data(), 0, nullptr, 0, nullptr, &error,
                               handle),
            STATUS_OK);
  Inventory inv = inventory();
  EXPECT_EQ(inv.count, 4);
  const std::vector<Bytes> seen = inv.records();
  EXPECT_EQ(std::count(seen.begin(), seen.end(), id), 0);
  EXPECT_EQ(CheckPrivacy_G2(&address, &state, &error, handle), STATUS_OK);
  EXPECT_EQ(state, 1);

  EXPECT_EQ(SetPrivacyWithoutEPC_G2(&address, pw.data(), &error, handle), STATUS_OK);
  EXPECT_EQ(inventory().count, 3) << "the first tag that answered";

  EXPECT_EQ(ResetPrivacy_G2(&address, pw.data(), &error, handle), STATUS_OK);
  inv = inventory();
  EXPECT_EQ(inv.count, 5);
  EXPECT_EQ(inv.records(), population_epcs(false));
  EXPECT_EQ(CheckPrivacy_G2(&address, &state, &error, handle), STATUS_OK);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(ResetPrivacy_G2(&address, pw.data(), &error, handle), 0xFB) << "none left";
}

TEST_F(Gen2Emulator, PrivacyNeedsTheAccessPassword) {
  set_access_password(0, kAccess);
  Bytes id = epc(0);
  Password wrong = kKill, right = kAccess;
  EXPECT_EQ(SetPrivacyByEPC_G2(&address, id.data(), 6, wrong.data(), 0, nullptr, 0, nullptr,
                               &error, handle),
            0xFC);
  EXPECT_EQ(error, 0x04);
  EXPECT_EQ(SetPrivacyByEPC_G2(&address, id.data(), 6, right.data(), 0, nullptr, 0, nullptr,
                               &error, handle),
            STATUS_OK);
  EXPECT_EQ(ResetPrivacy_G2(&address, wrong.data(), &error, handle), 0xFC);
  EXPECT_EQ(inventory().count, 4);
  EXPECT_EQ(ResetPrivacy_G2(&address, right.data(), &error, handle), STATUS_OK);
  EXPECT_EQ(inventory().count, 5);
}

TEST_F(Gen2Emulator, EasAlarmFollowsTheEasBit) {
  Bytes id = epc(1);
  Password pw = kNoPassword;
  auto configure = [&](unsigned char eas) {
    return EASConfigure_G2(&address, id.data(), 6, pw.data(), eas, 0, nullptr, 0, nullptr,
                           &error, handle);
  };
  EXPECT_EQ(EASAlarm_G2(&address, &error, handle), 0xFB);
  EXPECT_EQ(configure(1), STATUS_OK);
  EXPECT_TRUE(reader().tags.gen2[1].eas);
  error = 12345;
  EXPECT_EQ(EASAlarm_G2(&address, &error, handle), STATUS_OK);
  EXPECT_EQ(error, -1);
  EXPECT_EQ(configure(0), STATUS_OK);
  EXPECT_EQ(EASAlarm_G2(&address, &error, handle), 0xFB);
}

TEST_F(Gen2Emulator, MonzaParameterRoundTrips) {
  Bytes id = epc(4);
  Password pw = kNoPassword;
  EXPECT_EQ(SetMonza4QTWorkParamter_G2(&address, id.data(), 6, 0x03, pw.data(), 0, nullptr, 0,
                                       nullptr, &error, handle),
            STATUS_OK);
  unsigned char param = 0xEE;
  EXPECT_EQ(GetMonza4QTWorkParamter_G2(&address, id.data(), 6, pw.data(), 0, nullptr, 0, nullptr,
                                       &param, &error, handle),
            STATUS_OK);
  EXPECT_EQ(param, 0x03);
  EXPECT_EQ(reader().tags.gen2[4].monza_qt, 0x03);
}

// ------------------------------------------------------ request decoding

TEST(Gen2EmulatorRequests, TagRequestsComeApartOrAreRefused) {
  const emu::FieldSize four = [](const Bytes &) { return std::size_t{4}; };
  emu::TagRequest r = emu::parse_tag_request({0x01, 0xAA, 0xBB, 1, 2, 3, 4}, 0, four);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.selection.epc, (Bytes{0xAA, 0xBB}));
  EXPECT_EQ(r.fields, (Bytes{1, 2, 3, 4}));

  r = emu::parse_tag_request({0xFF, 1, 2, 3, 4, 0x01, 0x00, 0x20, 0x09, 0xF0, 0x80}, 0, four);
  ASSERT_EQ(r.status, 0);
  ASSERT_TRUE(r.selection.mask);
  EXPECT_EQ(r.selection.mask->bit_address, 0x20) << "high byte first";
  EXPECT_EQ(r.selection.mask->bits, 9);
  EXPECT_EQ(r.selection.mask->bytes, (Bytes{0xF0, 0x80}));

  EXPECT_EQ(emu::parse_tag_request({0x20, 1, 2, 3, 4}, 0, four).status, 0xFF);
  EXPECT_EQ(emu::parse_tag_request({0x01, 0xAA, 1, 2, 3, 4}, 0, four).status, 0xFD);
  EXPECT_EQ(emu::parse_tag_request({0xFF, 1, 2, 3, 4, 0x01, 0x00, 0x20, 0x09, 0xF0}, 0, four)
                .status,
            0xFD);
}

TEST(Gen2EmulatorRequests, InventoryGroupsAreToldApartByLength) {
  EXPECT_FALSE(emu::parse_inventory_request({0, 0}).mask);
  EXPECT_FALSE(emu::parse_inventory_request({0, 0, 2, 6}).mask);
  EXPECT_FALSE(emu::parse_inventory_request({0, 0, 7, 8, 9}).mask);
  EXPECT_EQ(emu::parse_inventory_request({0, 0, 7}).status, 0xFD);
  EXPECT_FALSE(emu::parse_inventory_request({0, 0, 0x00, 0x00, 0x20, 8, 0xAB}).mask)
      << "the reserved bank takes no mask: TID and trailing groups";
  EXPECT_TRUE(emu::parse_inventory_request({0, 0, 0x01, 0x00, 0x20, 8, 0xAB}).mask);
  const auto masked = emu::parse_inventory_request({0, 0, 1, 0x00, 0x20, 12, 0xAB, 0xC0, 2, 6});
  ASSERT_TRUE(masked.mask);
  EXPECT_EQ(masked.mask->bytes, (Bytes{0xAB, 0xC0}));
}

}  // namespace
}  // namespace velkor::test
