// Gen2 tag commands (memory, kill and lock, privacy and EAS, Monza 4QT):
// exact frames in the identifier and mask forms, the refusals made before
// sending, and what each status writes.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/link_fixture.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

constexpr std::uint8_t kReplyAddress = 0x09;

// Every argument a tag command may take, with recognisable contents.
struct Args {
  unsigned char epc[62];
  unsigned char password[4] = {0x11, 0x22, 0x33, 0x44};
  unsigned char mask_mem = 0x01;
  unsigned char mask_addr[2] = {0x20, 0x00};
  unsigned char mask_len = 16;
  unsigned char mask_data[32];
  unsigned char word_ptr2[2] = {0x01, 0x02};
  unsigned char write_data[62];
  unsigned char out[64];
  unsigned char state = 0xEE;
  int error_code = 12345;

  Args() {
    for (int i = 0; i < 62; ++i) epc[i] = static_cast<unsigned char>(0xE0 + i);
    for (int i = 0; i < 32; ++i) mask_data[i] = static_cast<unsigned char>(0xA0 + i);
    for (int i = 0; i < 62; ++i) write_data[i] = static_cast<unsigned char>(0xD0 + i);
    std::fill(std::begin(out), std::end(out), 0xEE);
  }
};

using Call = std::function<int(unsigned char *, Args &, unsigned char e, VelkorHandle)>;

struct TagCase {
  const char *name;
  std::uint8_t command;
  Call call;
  Bytes lead;    // request bytes ahead of E
  Bytes fields;  // the command's own fields, between identifier and mask group
  int id_base;   // length byte = id_base + 2E (identifier form)
  int mask_base; // length byte = mask_base + n (mask form)
  unsigned max_e;  // largest E whose frame fits one report
  bool writes_address;
  Bytes outputs;   // expected output bytes on status 0 (reply data is 0x80 0x01 0x02 ...)
};

Bytes reply_data() {
  Bytes d;
  for (int i = 0; i < 8; ++i) d.push_back(static_cast<std::uint8_t>(i == 0 ? 0x80 : i));
  return d;
}

Bytes expected_frame(const TagCase &c, const Args &a, unsigned e) {
  Bytes f = {0x00, 0x00, c.command};
  f.insert(f.end(), c.lead.begin(), c.lead.end());
  f.push_back(static_cast<std::uint8_t>(e));
  if (e != 0xFF) f.insert(f.end(), a.epc, a.epc + 2 * e);
  f.insert(f.end(), c.fields.begin(), c.fields.end());
  if (e == 0xFF) {
    const std::size_t n = a.mask_len / 8u + (a.mask_len % 8u ? 1u : 0u);
    f.insert(f.end(), {a.mask_mem, a.mask_addr[0], a.mask_addr[1], a.mask_len});
    f.insert(f.end(), a.mask_data, a.mask_data + n);
  }
  f[0] = static_cast<std::uint8_t>(f.size() + 1);
  return with_crc(f);
}

class TagCommand : public LinkTest, public ::testing::WithParamInterface<TagCase> {
 protected:
  int call(Args &a, unsigned e, std::uint8_t status = 0x00, std::uint8_t echo = 0) {
    device.push_stream(reply_frame(kReplyAddress, echo ? echo : GetParam().command, status,
                                   reply_data()));
    unsigned char address = 0x00;
    const int result = GetParam().call(&address, a, static_cast<unsigned char>(e), handle);
    address_after = address;
    return result;
  }
  unsigned char address_after = 0;
};

TEST_P(TagCommand, IdentifierFormCarriesEAndTheIdentifier) {
  for (unsigned e : {0u, 2u, 6u}) {
    device.written.clear();
    Args a;
    call(a, e);
    ASSERT_EQ(frames().size(), 1u) << "E = " << e;
    EXPECT_EQ(frames()[0], expected_frame(GetParam(), a, e)) << "E = " << e;
    EXPECT_EQ(frames()[0][0], GetParam().id_base + 2 * static_cast<int>(e)) << "E = " << e;
  }
}

TEST_P(TagCommand, MaskFormClosesWithTheMaskGroup) {
  for (unsigned char bits : {0, 16, 255}) {
    device.written.clear();
    Args a;
    a.mask_len = bits;
    call(a, 0xFF);
    const int n = bits / 8 + (bits % 8 ? 1 : 0);
    ASSERT_EQ(frames().size(), 1u) << int{bits} << " bits";
    EXPECT_EQ(frames()[0], expected_frame(GetParam(), a, 0xFF)) << int{bits} << " bits";
    EXPECT_EQ(frames()[0][0], GetParam().mask_base + n) << int{bits} << " bits";
  }
}

TEST_P(TagCommand, EOutsideTheFormsIsRefusedBeforeSending) {
  for (unsigned e : {32u, 40u, 254u}) {
    Args a;
    EXPECT_EQ(call(a, e), STATUS_PARAMETER_ERROR) << "E = " << e;
    EXPECT_EQ(a.error_code, 12345);
    EXPECT_EQ(a.out[0], 0xEE);
  }
  EXPECT_TRUE(device.written.empty());
}

TEST_P(TagCommand, AnIdentifierTooLongForOneReportIsRefusedBeforeSending) {
  Args a;
  call(a, GetParam().max_e);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_LE(frames()[0].size(), 62u);
  device.written.clear();
  for (unsigned e = GetParam().max_e + 1; e <= 31; ++e) {
    EXPECT_EQ(call(a, e), STATUS_PARAMETER_ERROR) << "E = " << e;
    EXPECT_EQ(a.error_code, -1) << "left from the call that was sent";
  }
  EXPECT_TRUE(device.written.empty());
}

TEST_P(TagCommand, StatusZeroWritesTheOutputsAndMinusOne) {
  Args a;
  EXPECT_EQ(call(a, 2), STATUS_OK);
  EXPECT_EQ(a.error_code, -1);
  EXPECT_EQ(address_after, GetParam().writes_address ? kReplyAddress : 0x00);
  const Bytes &out = GetParam().outputs;
  EXPECT_EQ(Bytes(a.out, a.out + out.size()), out);
  EXPECT_EQ(a.out[out.size()], 0xEE) << "nothing past the outputs";
}

TEST_P(TagCommand, TagErrorWritesOnlyTheErrorCode) {
  Args a;
  EXPECT_EQ(call(a, 0xFF, 0xFC), 0xFC);
  EXPECT_EQ(a.error_code, 0x80);
  EXPECT_EQ(address_after, 0x00);
  EXPECT_EQ(a.out[0], 0xEE);
}

TEST_P(TagCommand, OtherStatusesAndBadRepliesWriteNothing) {
  Args a;
  EXPECT_EQ(call(a, 2, 0xFB), 0xFB);
  EXPECT_EQ(call(a, 2, 0x00, GetParam().command ^ 0x40), STATUS_COMMAND_MISMATCH);
  unsigned char address = 0x00;
  EXPECT_EQ(GetParam().call(&address, a, 2, VELKOR_INVALID_HANDLE), STATUS_INVALID_HANDLE);
  EXPECT_EQ(address, 0x00);
  EXPECT_EQ(a.error_code, 12345);
  EXPECT_EQ(address_after, 0x00);
  EXPECT_EQ(a.out[0], 0xEE);
}

const Bytes kPassword = {0x11, 0x22, 0x33, 0x44};

Bytes cat(Bytes a, const Bytes &b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// One row per tag-addressed function: bank 3, word pointer 4, word count 2.
INSTANTIATE_TEST_SUITE_P(
    Functions, TagCommand,
    ::testing::Values(
        TagCase{"ReadData_G2", 0x02,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return ReadData_G2(ad, a.epc, e, 3, 4, 2, a.password, a.mask_mem, a.mask_addr,
                                     a.mask_len, a.mask_data, a.out, &a.error_code, h);
                },
                {}, cat({3, 4, 2}, kPassword), 12, 16, 24, true, {0x80, 0x01, 0x02, 0x03}},
        TagCase{"ExtReadData_G2", 0x15,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return ExtReadData_G2(ad, a.epc, e, 3, a.word_ptr2, 2, a.password, a.mask_mem,
                                        a.mask_addr, a.mask_len, a.mask_data, a.out,
                                        &a.error_code, h);
                },
                {}, cat({3, 0x01, 0x02, 2}, kPassword), 13, 17, 24, true,
                {0x80, 0x01, 0x02, 0x03}},
        TagCase{"WriteData_G2", 0x03,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return WriteData_G2(ad, a.epc, 2, e, 3, 4, a.write_data, a.password,
                                      a.mask_mem, a.mask_addr, a.mask_len, a.mask_data,
                                      &a.error_code, h);
                },
                {2}, cat({3, 4, 0xD0, 0xD1, 0xD2, 0xD3}, kPassword), 16, 20, 22, true, {}},
        TagCase{"BlockWrite_G2", 0x10,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return BlockWrite_G2(ad, a.epc, 2, e, 3, 4, a.write_data, a.password,
                                       a.mask_mem, a.mask_addr, a.mask_len, a.mask_data,
                                       &a.error_code, h);
                },
                {2}, cat({3, 4, 0xD0, 0xD1, 0xD2, 0xD3}, kPassword), 16, 20, 22, true, {}},
        TagCase{"ExtWriteData_G2", 0x16,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return ExtWriteData_G2(ad, a.epc, 2, e, 3, a.word_ptr2, a.write_data,
                                         a.password, a.mask_mem, a.mask_addr, a.mask_len,
                                         a.mask_data, &a.error_code, h);
                },
                {2}, cat({3, 0x01, 0x02, 0xD0, 0xD1, 0xD2, 0xD3}, kPassword), 17, 21, 22, true,
                {}},
        TagCase{"BlockErase_G2", 0x07,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return BlockErase_G2(ad, a.epc, e, 3, 4, 2, a.password, a.mask_mem,
                                       a.mask_addr, a.mask_len, a.mask_data, &a.error_code, h);
                },
                {}, cat({3, 4, 2}, kPassword), 12, 16, 24, false, {}},
        TagCase{"KillTag_G2", 0x05,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return KillTag_G2(ad, a.epc, e, a.password, a.mask_mem, a.mask_addr,
                                    a.mask_len, a.mask_data, &a.error_code, h);
                },
                {}, kPassword, 9, 13, 26, false, {}},
        TagCase{"Lock_G2", 0x06,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return Lock_G2(ad, a.epc, e, 0x04, 0x02, a.password, a.mask_mem, a.mask_addr,
                                 a.mask_len, a.mask_data, &a.error_code, h);
                },
                {}, cat({0x04, 0x02}, kPassword), 11, 15, 25, false, {}},
        TagCase{"BlockLock_G2", 0x0E,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return BlockLock_G2(ad, a.epc, e, a.password, 0x07, a.mask_mem, a.mask_addr,
                                      a.mask_len, a.mask_data, &a.error_code, h);
                },
                {}, cat(kPassword, {0x07}), 10, 14, 25, false, {}},
        TagCase{"SetPrivacyByEPC_G2", 0x08,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return SetPrivacyByEPC_G2(ad, a.epc, e, a.password, a.mask_mem, a.mask_addr,
                                            a.mask_len, a.mask_data, &a.error_code, h);
                },
                {}, kPassword, 9, 13, 26, false, {}},
        TagCase{"EASConfigure_G2", 0x0C,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return EASConfigure_G2(ad, a.epc, e, a.password, 0x01, a.mask_mem,
                                         a.mask_addr, a.mask_len, a.mask_data, &a.error_code,
                                         h);
                },
                {}, cat(kPassword, {0x01}), 10, 14, 25, true, {}},
        TagCase{"GetMonza4QTWorkParamter_G2", 0x11,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return GetMonza4QTWorkParamter_G2(ad, a.epc, e, a.password, a.mask_mem,
                                                    a.mask_addr, a.mask_len, a.mask_data,
                                                    a.out, &a.error_code, h);
                },
                {}, kPassword, 9, 13, 26, true, {0x01}},
        TagCase{"SetMonza4QTWorkParamter_G2", 0x12,
                [](unsigned char *ad, Args &a, unsigned char e, VelkorHandle h) {
                  return SetMonza4QTWorkParamter_G2(ad, a.epc, e, 0x03, a.password, a.mask_mem,
                                                    a.mask_addr, a.mask_len, a.mask_data,
                                                    &a.error_code, h);
                },
                {}, cat({0x00, 0x03}, kPassword), 11, 15, 25, true, {}}),
    [](const auto &info) { return std::string(info.param.name); });

// ------------------------------------------------- the commands without E

struct FixedCase {
  const char *name;
  std::uint8_t command;
  Call call;
  Bytes frame;
  bool writes_address;
  bool writes_state;
};

class FixedCommand : public LinkTest, public ::testing::WithParamInterface<FixedCase> {
 protected:
  int call(Args &a, std::uint8_t status, unsigned char &address) {
    device.push_stream(reply_frame(kReplyAddress, GetParam().command, status, {0x80, 0x01}));
    return GetParam().call(&address, a, 0, handle);
  }
};

TEST_P(FixedCommand, SendsItsFrame) {
  Args a;
  unsigned char address = 0x00;
  call(a, 0x00, address);
  EXPECT_EQ(frames(), std::vector<Bytes>{GetParam().frame});
}

TEST_P(FixedCommand, WritesAsItsVariantSays) {
  Args a;
  unsigned char address = 0x00;
  EXPECT_EQ(call(a, 0x00, address), STATUS_OK);
  EXPECT_EQ(a.error_code, -1);
  EXPECT_EQ(address, GetParam().writes_address ? kReplyAddress : 0x00);
  EXPECT_EQ(a.state, GetParam().writes_state ? 0x80 : 0xEE);

  Args b;
  address = 0x00;
  EXPECT_EQ(call(b, 0xFC, address), 0xFC);
  EXPECT_EQ(b.error_code, 0x80);
  EXPECT_EQ(b.state, 0xEE);
  EXPECT_EQ(address, 0x00);

  Args c;
  EXPECT_EQ(call(c, 0xFB, address), 0xFB);
  EXPECT_EQ(c.error_code, 12345);
  EXPECT_EQ(c.state, 0xEE);
}

INSTANTIATE_TEST_SUITE_P(
    Functions, FixedCommand,
    ::testing::Values(
        FixedCase{"SetPrivacyWithoutEPC_G2", 0x09,
                  [](unsigned char *ad, Args &a, unsigned char, VelkorHandle h) {
                    return SetPrivacyWithoutEPC_G2(ad, a.password, &a.error_code, h);
                  },
                  with_crc(cat({0x08, 0x00, 0x09}, kPassword)), false, false},
        FixedCase{"ResetPrivacy_G2", 0x0A,
                  [](unsigned char *ad, Args &a, unsigned char, VelkorHandle h) {
                    return ResetPrivacy_G2(ad, a.password, &a.error_code, h);
                  },
                  with_crc(cat({0x08, 0x00, 0x0A}, kPassword)), false, false},
        FixedCase{"CheckPrivacy_G2", 0x0B,
                  [](unsigned char *ad, Args &a, unsigned char, VelkorHandle h) {
                    return CheckPrivacy_G2(ad, &a.state, &a.error_code, h);
                  },
                  with_crc({0x04, 0x00, 0x0B}), false, true},
        FixedCase{"EASAlarm_G2", 0x0D,
                  [](unsigned char *ad, Args &a, unsigned char, VelkorHandle h) {
                    return EASAlarm_G2(ad, &a.error_code, h);
                  },
                  with_crc({0x04, 0x00, 0x0D}), true, false}),
    [](const auto &info) { return std::string(info.param.name); });

// ------------------------------------------------------- particular cases

TEST_F(LinkTest, ReadOfTwoWordIdentifierIsTheKnownFrame) {
  device.push_stream(reply_frame(0x00, 0x02, 0x00, Bytes(12, 0x5A)));
  Args a;
  unsigned char address = 0x00;
  EXPECT_EQ(ReadData_G2(&address, a.epc, 2, 1, 2, 6, a.password, 0, nullptr, 0, nullptr, a.out,
                        &a.error_code, handle),
            STATUS_OK);
  EXPECT_EQ(frames()[0], with_crc({0x10, 0x00, 0x02, 0x02, 0xE0, 0xE1, 0xE2, 0xE3, 0x01, 0x02,
                                   0x06, 0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(Bytes(a.out, a.out + 13), cat(Bytes(12, 0x5A), {0xEE}));
}

TEST_F(LinkTest, ReadsCopyNoMoreThanTheWordsAskedFor) {
  Args a;
  unsigned char address = 0x00;
  device.push_stream(reply_frame(0x00, 0x02, 0x00, Bytes(40, 0x5A)));
  EXPECT_EQ(ReadData_G2(&address, a.epc, 0, 3, 0, 2, a.password, 0, nullptr, 0, nullptr, a.out,
                        &a.error_code, handle),
            STATUS_OK);
  EXPECT_EQ(Bytes(a.out, a.out + 5), (Bytes{0x5A, 0x5A, 0x5A, 0x5A, 0xEE}));

  device.push_stream(reply_frame(0x00, 0x15, 0x00, Bytes(40, 0x6B)));
  EXPECT_EQ(ExtReadData_G2(&address, a.epc, 0, 3, a.word_ptr2, 1, a.password, 0, nullptr, 0,
                           nullptr, a.out, &a.error_code, handle),
            STATUS_OK);
  EXPECT_EQ(Bytes(a.out, a.out + 3), (Bytes{0x6B, 0x6B, 0x5A}));
}

// A word count of 0 goes out as it is (some tags read a whole bank then), and
// the words that come back are not copied: the caller sized data for none.
TEST_F(LinkTest, ReadsOfZeroWordsSendTheCountAndCopyNothing) {
  struct Read {
    std::uint8_t command;
    std::size_t count_at;  // the word count's frame byte
  };
  for (const Read read : {Read{0x02, 6}, Read{0x15, 7}}) {
    Args a;
    unsigned char address = 0x00;
    device.push_stream(reply_frame(kReplyAddress, read.command, 0x00, Bytes(16, 0x5A)));
    const int rc = read.command == 0x02
                       ? ReadData_G2(&address, a.epc, 0, 3, 0, 0, a.password, 0, nullptr, 0,
                                     nullptr, a.out, &a.error_code, handle)
                       : ExtReadData_G2(&address, a.epc, 0, 3, a.word_ptr2, 0, a.password, 0,
                                        nullptr, 0, nullptr, a.out, &a.error_code, handle);
    EXPECT_EQ(rc, STATUS_OK);
    EXPECT_EQ(frames().back()[read.count_at], 0x00);
    EXPECT_EQ(frames().back()[read.count_at + 1], 0x11) << "the password follows";
    EXPECT_EQ(a.out[0], 0xEE);
    EXPECT_EQ(a.error_code, -1);
    EXPECT_EQ(address, kReplyAddress);
  }
}

TEST_F(LinkTest, ReadsOfAShortReplyCopyOnlyWhatCame) {
  Args a;
  unsigned char address = 0x00;
  device.push_stream(reply_frame(0x00, 0x02, 0x00, {0x12, 0x34}));
  EXPECT_EQ(ReadData_G2(&address, a.epc, 0, 3, 0, 6, a.password, 0, nullptr, 0, nullptr, a.out,
                        &a.error_code, handle),
            STATUS_OK);
  EXPECT_EQ(Bytes(a.out, a.out + 3), (Bytes{0x12, 0x34, 0xEE}));
  // A reply without data at all copies nothing.
  device.push_stream(reply_frame(0x00, 0x02, 0x00));
  Args b;
  EXPECT_EQ(ReadData_G2(&address, b.epc, 0, 3, 0, 6, b.password, 0, nullptr, 0, nullptr, b.out,
                        &b.error_code, handle),
            STATUS_OK);
  EXPECT_EQ(b.out[0], 0xEE);
}

TEST_F(LinkTest, WritesThatCannotFitOneReportAreRefusedBeforeSending) {
  Args a;
  unsigned char address = 0x00;
  // Identifier form: E + W above 24 does not fit.
  EXPECT_EQ(WriteData_G2(&address, a.epc, 20, 5, 3, 0, a.write_data, a.password, 0, nullptr, 0,
                         nullptr, &a.error_code, handle),
            STATUS_PARAMETER_ERROR);
  // Mask form: 2W + n above 45 (44 for the extended write) does not fit.
  EXPECT_EQ(BlockWrite_G2(&address, a.epc, 7, 0xFF, 3, 0, a.write_data, a.password, 1,
                          a.mask_addr, 255, a.mask_data, &a.error_code, handle),
            STATUS_PARAMETER_ERROR);
  EXPECT_EQ(ExtWriteData_G2(&address, a.epc, 7, 0xFF, 3, a.word_ptr2, a.write_data, a.password,
                            1, a.mask_addr, 248, a.mask_data, &a.error_code, handle),
            STATUS_PARAMETER_ERROR);
  EXPECT_TRUE(device.written.empty());
  EXPECT_EQ(a.error_code, 12345);

  device.push_stream(reply_frame(0x00, 0x03, 0x00));
  EXPECT_EQ(WriteData_G2(&address, a.epc, 7, 0xFF, 3, 0, a.write_data, a.password, 1,
                         a.mask_addr, 248, a.mask_data, &a.error_code, handle),
            STATUS_OK) << "2W + n = 45 just fits";
  EXPECT_EQ(frames().back().size(), 62u);
}

TEST_F(LinkTest, WriteEpcPutsThePasswordAheadOfTheIdentifier) {
  Args a;
  unsigned char address = 0x00;
  device.push_stream(reply_frame(kReplyAddress, 0x04, 0x00));
  EXPECT_EQ(WriteEPC_G2(&address, a.password, a.epc, 2, &a.error_code, handle), STATUS_OK);
  EXPECT_EQ(frames()[0], with_crc({0x0D, 0x00, 0x04, 0x02, 0x11, 0x22, 0x33, 0x44, 0xE0, 0xE1,
                                   0xE2, 0xE3}));
  EXPECT_EQ(address, 0x00) << "no address";
  EXPECT_EQ(a.error_code, -1);

  device.push_stream(reply_frame(kReplyAddress, 0x04, 0x00));
  EXPECT_EQ(WriteEPC_G2(&address, a.password, a.epc, 25, &a.error_code, handle), STATUS_OK);
  EXPECT_EQ(frames().back()[0], 59);
  const std::size_t sent = device.written.size();
  for (unsigned char e : {26, 31, 0xFF}) {
    a.error_code = 7;
    EXPECT_EQ(WriteEPC_G2(&address, a.password, a.epc, e, &a.error_code, handle),
              STATUS_PARAMETER_ERROR);
    EXPECT_EQ(a.error_code, 7);
  }
  EXPECT_EQ(device.written.size(), sent);

  device.push_stream(reply_frame(kReplyAddress, 0x04, 0xFC, {0x0B}));
  EXPECT_EQ(WriteEPC_G2(&address, a.password, a.epc, 0, &a.error_code, handle), 0xFC);
  EXPECT_EQ(frames().back(), with_crc({0x09, 0x00, 0x04, 0x00, 0x11, 0x22, 0x33, 0x44}));
  EXPECT_EQ(a.error_code, 11);
}

TEST_F(LinkTest, MonzaReadReturnsByteFiveNotByteFour) {
  Args a;
  unsigned char address = 0x00, param = 0xEE;
  device.push_stream(reply_frame(kReplyAddress, 0x11, 0x00, {0x80, 0x01}));
  EXPECT_EQ(GetMonza4QTWorkParamter_G2(&address, a.epc, 0, a.password, 0, nullptr, 0, nullptr,
                                       &param, &a.error_code, handle),
            STATUS_OK);
  EXPECT_EQ(param, 0x01);
  EXPECT_EQ(address, kReplyAddress);
}

}  // namespace
}  // namespace velkor::test
