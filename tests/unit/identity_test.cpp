// Reader identity and link settings: frames on the wire and write-back rules.
#include <gtest/gtest.h>

#include <functional>

#include "tests/support/link_fixture.h"
#include "velkor_link.hpp"

namespace velkor::test {
namespace {

struct Outputs {
  unsigned char b[16] = {};
  Outputs() { std::fill(std::begin(b), std::end(b), 0xEE); }
};

struct IdentityCase {
  const char *name;
  std::function<int(unsigned char *, Outputs &, VelkorHandle)> call;
  Bytes frame;          // sent to reader address 0x00
  std::uint8_t command;
  Bytes reply_data;
  bool writes_address_on_success;
  bool writes_address_on_failure;
  Bytes outputs_on_success;  // expected leading output bytes after status 0
};

class Identity : public LinkTest,
                 public ::testing::WithParamInterface<IdentityCase> {
 protected:
  int call(std::uint8_t status, unsigned char &address, Outputs &out) {
    device.push_stream(reply_frame(0x09, GetParam().command, status, GetParam().reply_data));
    return GetParam().call(&address, out, handle);
  }
};

TEST_P(Identity, SendsItsFrame) {
  unsigned char address = 0x00;
  Outputs out;
  call(0, address, out);
  ASSERT_EQ(frames().size(), 1u);
  EXPECT_EQ(frames()[0], GetParam().frame);
}

TEST_P(Identity, StatusZeroWritesItsOutputs) {
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(call(0, address, out), STATUS_OK);
  EXPECT_EQ(address, GetParam().writes_address_on_success ? 0x09 : 0x00);
  const Bytes &expected = GetParam().outputs_on_success;
  EXPECT_EQ(Bytes(out.b, out.b + expected.size()), expected);
  EXPECT_EQ(out.b[expected.size()], 0xEE) << "nothing past the outputs";
}

TEST_P(Identity, ReaderErrorWritesOnlyWhatTheVariantAllows) {
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(call(0xFB, address, out), 0xFB);
  EXPECT_EQ(address, GetParam().writes_address_on_failure ? 0x09 : 0x00);
  EXPECT_EQ(out.b[0], 0xEE);
}

TEST_P(Identity, WrongEchoWritesNothing) {
  device.push_stream(reply_frame(0x09, GetParam().command ^ 0x80, 0, GetParam().reply_data));
  unsigned char address = 0x00;
  Outputs out;
  EXPECT_EQ(GetParam().call(&address, out, handle), STATUS_COMMAND_MISMATCH);
  EXPECT_EQ(address, 0x00);
  EXPECT_EQ(out.b[0], 0xEE);
}

Bytes info_data() {
  Bytes d;
  for (int i = 0; i < 12; ++i) d.push_back(static_cast<std::uint8_t>(0x10 + i));
  return d;
}

INSTANTIATE_TEST_SUITE_P(
    Commands, Identity,
    ::testing::Values(
        IdentityCase{"GetReaderInformation",
                     [](unsigned char *a, Outputs &o, VelkorHandle h) {
                       unsigned char *b = o.b;
                       return GetReaderInformation(a, b, b + 2, b + 3, b + 4, b + 5, b + 6,
                                                   b + 7, b + 8, b + 9, b + 10, b + 11, h);
                     },
                     {0x04, 0x00, 0x21, 0xD9, 0x6A}, 0x21, info_data(), true, false,
                     info_data()},
        IdentityCase{"SetAddress",
                     [](unsigned char *a, Outputs &, VelkorHandle h) {
                       return SetAddress(a, 0x05, h);
                     },
                     with_crc({0x05, 0x00, 0x24, 0x05}), 0x24, {}, true, true, {}},
        IdentityCase{"SetCommType",
                     [](unsigned char *a, Outputs &, VelkorHandle h) {
                       return SetCommType(a, 0x02, h);
                     },
                     with_crc({0x05, 0x00, 0x6A, 0x02}), 0x6A, {}, true, false, {}},
        IdentityCase{"SetSeriaNo",
                     [](unsigned char *a, Outputs &, VelkorHandle h) {
                       unsigned char serial[4] = {1, 2, 3, 4};
                       return SetSeriaNo(a, serial, h);
                     },
                     with_crc({0x0A, 0x00, 0x4B, 0x4E, 0x37, 1, 2, 3, 4}), 0x4B, {}, true,
                     false, {}},
        IdentityCase{"GetSeriaNo",
                     [](unsigned char *a, Outputs &o, VelkorHandle h) {
                       return GetSeriaNo(a, o.b, h);
                     },
                     with_crc({0x04, 0x00, 0x4C}), 0x4C, {0xDE, 0xAD, 0xBE, 0xEF, 0x99},
                     true, false, {0xDE, 0xAD, 0xBE, 0xEF}},
        IdentityCase{"GetModuleVersion",
                     [](unsigned char *a, Outputs &o, VelkorHandle h) {
                       return GetModuleVersion(a, o.b, h);
                     },
                     with_crc({0x04, 0x00, 0x83}), 0x83, {0x02, 0x17}, false, false,
                     {0x02, 0x17}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(LinkTest, ReaderInformationOfAShortReplyReadsZeros) {
  device.push_stream(reply_frame(0x00, 0x21, 0x00, {0x01, 0x02, 0x03}));
  unsigned char a = 0, b[12];
  std::fill(std::begin(b), std::end(b), 0xEE);
  EXPECT_EQ(GetReaderInformation(&a, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7, b + 8,
                                 b + 9, b + 10, b + 11, handle),
            STATUS_OK);
  EXPECT_EQ(b[2], 0x03);
  EXPECT_EQ(b[11], 0x00);
}

TEST_F(LinkTest, InertLinkSettingsSendNothing) {
  unsigned char a = 0;
  int count = 5;
  unsigned char buf[4];
  EXPECT_EQ(SetBaudRate(&a, 3, handle), STATUS_OK);
  EXPECT_EQ(ChangeATMode(nullptr, 1, VELKOR_INVALID_HANDLE), STATUS_OK);
  EXPECT_EQ(TransparentCMD(&a, 0x21, handle), STATUS_OK);
  EXPECT_EQ(ATGetDataFromPort(buf, &count, handle), STATUS_OK);
  EXPECT_EQ(count, 5);
  EXPECT_TRUE(device.written.empty());
  EXPECT_EQ(device.reads, 0u);
}

TEST(SdkVersion, IsOneThreeZero) {
  unsigned char v[4] = {9, 9, 9, 9};
  EXPECT_EQ(GetSDKVersion(v), STATUS_OK);
  EXPECT_EQ(Bytes(v, v + 4), (Bytes{1, 3, 0, 9}));
}

TEST(CVelkorClass, HasNoBehaviour) {
  CVelkor a, b;
  EXPECT_EQ(&(a = b), &a);
  EXPECT_EQ(&(a = std::move(b)), &a);
}

}  // namespace
}  // namespace velkor::test
