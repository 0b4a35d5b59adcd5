// Decoding and encoding vectors: the standard's worked examples, then one
// or two vectors for every scheme and partition, each checked hex -> fields
// -> tag URI, pure-identity URI and GS1 element string, and back to the same
// hex from each of the three.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/epc/epc_test_support.h"
#include "velkor_epc.h"
#include "velkor_epc.hpp"

namespace velkor::epc::test {
namespace {

struct Vector {
  const char *tag_uri;
  const char *hex;
  const char *gs1;  // "" where the scheme has none (GID)
};

const Vector kVectors[] = {
    // Worked examples of the GS1 EPC Tag Data Standard.
    {"urn:epc:tag:sgtin-96:3.0614141.812345.6789", "3074257BF7194E4000001A85",
     "(01)80614141123458(21)6789"},
    {"urn:epc:tag:sscc-96:3.0614141.1234567890", "3174257BF4499602D2000000",
     "(00)106141412345678908"},
    // Every scheme, every partition; values at the edges of their fields.
    {"urn:epc:tag:sgtin-96:0.061414112345.8.1000",
     "3000393243F16600000003E8", "(01)80614141123458(21)1000"},
    {"urn:epc:tag:sgtin-198:0.061414112345.8.A1",
     "3600393243F16620B10000000000000000000000000000000000", "(01)80614141123458(21)A1"},
    {"urn:epc:tag:sgtin-96:1.06141411234.81.1001",
     "30242DC1CFF45440000003E9", "(01)80614141123410(21)1001"},
    {"urn:epc:tag:sgtin-198:1.06141411234.81.a.b",
     "36242DC1CFF45470AEC400000000000000000000000000000000", "(01)80614141123410(21)a.b"},
    {"urn:epc:tag:sgtin-96:2.0614141123.812.1002",
     "3048249B0CC3CB00000003EA", "(01)80614141123120(21)1002"},
    {"urn:epc:tag:sgtin-198:2.0614141123.812.x%2Fy%25z",
     "3648249B0CC3CB3C2FF297D00000000000000000000000000000", "(01)80614141123120(21)x/y%z"},
    {"urn:epc:tag:sgtin-96:3.061414112.8123.1003",
     "306C3A91AE07EEC0000003EB", "(01)80614141121232(21)1003"},
    {"urn:epc:tag:sgtin-198:3.061414112.8123.0123",
     "366C3A91AE07EED83164CC000000000000000000000000000000", "(01)80614141121232(21)0123"},
    {"urn:epc:tag:sgtin-96:4.06141411.81234.1004",
     "30902EDAF1CF5480000003EC", "(01)80614141112346(21)1004"},
    {"urn:epc:tag:sgtin-198:4.06141411.81234.!%22%25%26'()*+,-.%2F:;%3C=%3E%3F_",
     "36902EDAF1CF5490A24A993A852A95AC5AB97BA76F1EBE7F7C00", "(01)80614141112346(21)!\"%&'()*+,-./:;<=>?_"},
    {"urn:epc:tag:sgtin-96:5.0614141.812345.1005",
     "30B4257BF7194E40000003ED", "(01)80614141123458(21)1005"},
    {"urn:epc:tag:sgtin-198:5.0614141.812345.Zz9",
     "36B4257BF7194E6D7A7200000000000000000000000000000000", "(01)80614141123458(21)Zz9"},
    {"urn:epc:tag:sgtin-96:6.061414.8123456.274877906943",
     "30D83BF99EFD103FFFFFFFFF", "(01)80614141234567(21)274877906943"},
    {"urn:epc:tag:sgtin-198:6.061414.8123456.12345678901234567890",
     "36D83BF99EFD1018B266D1AB66EE1CB062C99B46AD9BB872C000", "(01)80614141234567(21)12345678901234567890"},
    {"urn:epc:tag:sscc-96:1.061414112345.38123",
     "3120393243F16494EB000000", "(00)306141411234581231"},
    {"urn:epc:tag:gsrn-96:1.061414112345.38123",
     "2D20393243F16494EB000000", "(8018)061414112345381239"},
    {"urn:epc:tag:sscc-96:2.06141411234.381234",
     "31442DC1CFF445D132000000", "(00)306141411234812342"},
    {"urn:epc:tag:gsrn-96:2.06141411234.381234",
     "2D442DC1CFF445D132000000", "(8018)061414112343812346"},
    {"urn:epc:tag:sscc-96:3.0614141123.3812345",
     "3168249B0CC33A2BF9000000", "(00)306141411238123451"},
    {"urn:epc:tag:gsrn-96:3.0614141123.3812345",
     "2D68249B0CC33A2BF9000000", "(8018)061414112338123457"},
    {"urn:epc:tag:sscc-96:4.061414112.38123456",
     "318C3A91AE0245B7C0000000", "(00)306141411281234562"},
    {"urn:epc:tag:gsrn-96:4.061414112.38123456",
     "2D8C3A91AE0245B7C0000000", "(8018)061414112381234568"},
    {"urn:epc:tag:sscc-96:5.06141411.381234567",
     "31B02EDAF196B92D87000000", "(00)306141411812345675"},
    {"urn:epc:tag:gsrn-96:5.06141411.381234567",
     "2DB02EDAF196B92D87000000", "(8018)061414113812345679"},
    {"urn:epc:tag:sscc-96:6.0614141.3812345678",
     "31D4257BF4E33BC74E000000", "(00)306141418123456786"},
    {"urn:epc:tag:gsrn-96:6.0614141.3812345678",
     "2DD4257BF4E33BC74E000000", "(8018)061414138123456784"},
    {"urn:epc:tag:sscc-96:7.061414.38123456789",
     "31F83BF988E055C915000000", "(00)306141481234567894"},
    {"urn:epc:tag:gsrn-96:7.061414.38123456789",
     "2DF83BF988E055C915000000", "(8018)061414381234567898"},
    {"urn:epc:tag:sgln-96:2.061414112345..0",
     "3240393243F1640000000000", "(414)0614141123452"},
    {"urn:epc:tag:sgln-195:2.061414112345..0",
     "3940393243F164C0000000000000000000000000000000000000", "(414)0614141123452"},
    {"urn:epc:tag:gdti-96:2.061414112345..0",
     "2C40393243F1640000000000", "(253)06141411234520"},
    {"urn:epc:tag:sgln-96:3.06141411234.8.1",
     "32642DC1CFF4500000000001", "(414)0614141123483(254)1"},
    {"urn:epc:tag:sgln-195:3.06141411234.8.A-1",
     "39642DC1CFF451056B1000000000000000000000000000000000", "(414)0614141123483(254)A-1"},
    {"urn:epc:tag:gdti-96:3.06141411234.8.5",
     "2C642DC1CFF4500000000005", "(253)06141411234835"},
    {"urn:epc:tag:sgln-96:4.0614141123.81.12345",
     "3288249B0CC3A20000003039", "(414)0614141123810(254)12345"},
    {"urn:epc:tag:sgln-195:4.0614141123.81.0001",
     "3988249B0CC3A2C1830620000000000000000000000000000000", "(414)0614141123810(254)0001"},
    {"urn:epc:tag:gdti-96:4.0614141123.81.123",
     "2C88249B0CC3A2000000007B", "(253)0614141123810123"},
    {"urn:epc:tag:sgln-96:5.061414112.812.2199023255551",
     "32AC3A91AE0659FFFFFFFFFF", "(414)0614141128129(254)2199023255551"},
    {"urn:epc:tag:sgln-195:5.061414112.812.%25x",
     "39AC3A91AE065897C00000000000000000000000000000000000", "(414)0614141128129(254)%x"},
    {"urn:epc:tag:gdti-96:5.061414112.812.2199023255551",
     "2CAC3A91AE0659FFFFFFFFFF", "(253)06141411281292199023255551"},
    {"urn:epc:tag:sgln-96:6.06141411.8123.7",
     "32D02EDAF1BF760000000007", "(414)0614141181230(254)7"},
    {"urn:epc:tag:sgln-195:6.06141411.8123.12345678901234567890",
     "39D02EDAF1BF76C593368D5B3770E583164CDA356CDDC3960000", "(414)0614141181230(254)12345678901234567890"},
    {"urn:epc:tag:gdti-96:6.06141411.8123.42",
     "2CD02EDAF1BF76000000002A", "(253)061414118123042"},
    {"urn:epc:tag:sgln-96:7.0614141.81234.400",
     "32F4257BF67AA40000000190", "(414)0614141812349(254)400"},
    {"urn:epc:tag:sgln-195:7.0614141.81234.B",
     "39F4257BF67AA508000000000000000000000000000000000000", "(414)0614141812349(254)B"},
    {"urn:epc:tag:gdti-96:7.0614141.81234.7",
     "2CF4257BF67AA40000000007", "(253)06141418123497"},
    {"urn:epc:tag:sgln-96:0.061414.812345.99",
     "32183BF998CA720000000063", "(414)0614148123455(254)99"},
    {"urn:epc:tag:sgln-195:0.061414.812345.q%3F",
     "39183BF998CA73C5F80000000000000000000000000000000000", "(414)0614148123455(254)q?"},
    {"urn:epc:tag:gdti-96:0.061414.812345.100",
     "2C183BF998CA720000000064", "(253)0614148123455100"},
    {"urn:epc:tag:grai-96:3.061414112345..1",
     "3360393243F1640000000001", "(8003)006141411234521"},
    {"urn:epc:tag:grai-170:3.061414112345..1",
     "3760393243F164188000000000000000000000000000", "(8003)006141411234521"},
    {"urn:epc:tag:grai-96:4.06141411234.8.274877906943",
     "33842DC1CFF4423FFFFFFFFF", "(8003)00614141123483274877906943"},
    {"urn:epc:tag:grai-170:4.06141411234.8.0",
     "37842DC1CFF442180000000000000000000000000000", "(8003)006141411234830"},
    {"urn:epc:tag:grai-96:5.0614141123.81.0",
     "33A8249B0CC3144000000000", "(8003)006141411238100"},
    {"urn:epc:tag:grai-170:5.0614141123.81.ABCDEFGHIJKLMNOP",
     "37A8249B0CC31460C287122C68F224CA97326CE9F400", "(8003)00614141123810ABCDEFGHIJKLMNOP"},
    {"urn:epc:tag:grai-96:6.061414112.812.55",
     "33CC3A91AE00CB0000000037", "(8003)0061414112812955"},
    {"urn:epc:tag:grai-170:6.061414112.812.x%26y",
     "37CC3A91AE00CB3C26F2000000000000000000000000", "(8003)00614141128129x&y"},
    {"urn:epc:tag:grai-96:7.06141411.8123.123456",
     "33F02EDAF187EEC00001E240", "(8003)00614141181230123456"},
    {"urn:epc:tag:grai-170:7.06141411.8123.-",
     "37F02EDAF187EED68000000000000000000000000000", "(8003)00614141181230-"},
    {"urn:epc:tag:grai-96:0.0614141.81234.9",
     "3314257BF44F548000000009", "(8003)006141418123499"},
    {"urn:epc:tag:grai-170:0.0614141.81234.00",
     "3714257BF44F54983000000000000000000000000000", "(8003)0061414181234900"},
    {"urn:epc:tag:grai-96:1.061414.812345.10",
     "33383BF983194E400000000A", "(8003)0061414812345510"},
    {"urn:epc:tag:grai-170:1.061414.812345.Z%2F9",
     "37383BF983194E6D2F72000000000000000000000000", "(8003)00614148123455Z/9"},
    {"urn:epc:tag:giai-96:4.061414112345.4398046511103",
     "3480393243F167FFFFFFFFFF", "(8004)0614141123454398046511103"},
    {"urn:epc:tag:giai-202:4.061414112345.0",
     "3880393243F16580000000000000000000000000000000000000", "(8004)0614141123450"},
    {"urn:epc:tag:giai-96:5.06141411234.1",
     "34A42DC1CFF4400000000001", "(8004)061414112341"},
    {"urn:epc:tag:giai-202:5.06141411234.ABCDEFGHIJKLMNOPQR",
     "38A42DC1CFF45061438916347912654B993674FA146900000000", "(8004)06141411234ABCDEFGHIJKLMNOPQR"},
    {"urn:epc:tag:giai-96:6.0614141123.0",
     "34C8249B0CC3000000000000", "(8004)06141411230"},
    {"urn:epc:tag:giai-202:6.0614141123.a%2Fb",
     "38C8249B0CC3C2BF100000000000000000000000000000000000", "(8004)0614141123a/b"},
    {"urn:epc:tag:giai-96:7.061414112.98765",
     "34EC3A91AE000000000181CD", "(8004)06141411298765"},
    {"urn:epc:tag:giai-202:7.061414112.01",
     "38EC3A91AE060C40000000000000000000000000000000000000", "(8004)06141411201"},
    {"urn:epc:tag:giai-96:0.06141411.123456789012345",
     "34102EDAF1807048860DDF79", "(8004)06141411123456789012345"},
    {"urn:epc:tag:giai-202:0.06141411.x",
     "38102EDAF1F80000000000000000000000000000000000000000", "(8004)06141411x"},
    {"urn:epc:tag:giai-96:1.0614141.7",
     "3434257BF400000000000007", "(8004)06141417"},
    {"urn:epc:tag:giai-202:1.0614141.%25%25",
     "3834257BF52A5000000000000000000000000000000000000000", "(8004)0614141%%"},
    {"urn:epc:tag:giai-96:2.061414.4611686018427387903",
     "34583BF9BFFFFFFFFFFFFFFF", "(8004)0614144611686018427387903"},
    {"urn:epc:tag:giai-202:2.061414.ABCDEFGHIJKLMNOPQRSTUVWX",
     "38583BF9A0C287122C68F224CA97326CE9F428D2A752AD6AF600", "(8004)061414ABCDEFGHIJKLMNOPQRSTUVWX"},
    {"urn:epc:tag:gid-96:31415.271828.1414",
     "350007AB70425D4000000586", ""},
    {"urn:epc:tag:gid-96:0.0.0",
     "350000000000000000000000", ""},
    {"urn:epc:tag:gid-96:268435455.16777215.68719476735",
     "35FFFFFFFFFFFFFFFFFFFFFF", ""},
};

// "urn:epc:tag:sgtin-96:3.rest" -> "urn:epc:id:sgtin:rest" (GID has no filter).
std::string id_uri_of(const std::string &tag_uri) {
  const std::size_t dash = tag_uri.find('-'), colon = tag_uri.find(':', dash);
  const std::string family = tag_uri.substr(12, dash - 12);
  const std::size_t rest = family == "gid" ? colon + 1 : colon + 3;
  return "urn:epc:id:" + family + ":" + tag_uri.substr(rest);
}

// The key and serial of an element string, as velkor_epc_encode_gs1 takes them.
struct Gs1Key {
  velkor_epc_key key;
  std::string digits;
  std::string serial;
  bool has_serial;
};

Gs1Key key_of(const std::string &text) {
  struct Ai { const char *prefix; velkor_epc_key key; std::size_t digits; const char *between; };
  static const Ai kAis[] = {{"(01)", VELKOR_EPC_KEY_GTIN, 14, "(21)"},
                            {"(00)", VELKOR_EPC_KEY_SSCC, 18, nullptr},
                            {"(414)", VELKOR_EPC_KEY_GLN, 13, "(254)"},
                            {"(8003)", VELKOR_EPC_KEY_GRAI, 14, ""},
                            {"(8004)", VELKOR_EPC_KEY_GIAI, 0, nullptr},
                            {"(8018)", VELKOR_EPC_KEY_GSRN, 18, nullptr},
                            {"(253)", VELKOR_EPC_KEY_GDTI, 13, ""}};
  for (const Ai &ai : kAis) {
    const std::size_t start = std::strlen(ai.prefix);
    if (text.compare(0, start, ai.prefix) != 0) continue;
    if (ai.digits == 0) return {ai.key, text.substr(start), "", false};
    const std::string rest = text.substr(start + ai.digits);
    const bool has_serial = ai.between != nullptr && rest.size() > 0;
    return {ai.key, text.substr(start, ai.digits),
            has_serial ? rest.substr(std::strlen(ai.between)) : "", has_serial};
  }
  ADD_FAILURE() << "no key in " << text;
  return {};
}

// Runs an encoder into a fresh buffer: the hex, or the error's message.
template <typename Encode>
std::string encoded(Encode encode) {
  std::uint8_t out[VELKOR_EPC_BYTES_MAX];
  std::size_t length = 0;
  velkor_epc_error error{};
  if (encode(out, &length, &error) != VELKOR_EPC_OK) return error.message;
  return hex_of(out, length);
}

class EpcVectors : public ::testing::TestWithParam<Vector> {};

TEST_P(EpcVectors, DecodeGivesTheThreeForms) {
  const Vector &v = GetParam();
  const auto bytes = bytes_of(v.hex);
  velkor_epc_fields fields{};
  velkor_epc_error error{};
  ASSERT_EQ(velkor_epc_decode(bytes.data(), bytes.size(), &fields, &error), VELKOR_EPC_OK)
      << error.message;
  char text[VELKOR_EPC_URI_MAX];
  ASSERT_EQ(velkor_epc_tag_uri(&fields, text, sizeof text, &error), VELKOR_EPC_OK);
  EXPECT_STREQ(text, v.tag_uri);
  ASSERT_EQ(velkor_epc_id_uri(&fields, text, sizeof text, &error), VELKOR_EPC_OK);
  EXPECT_EQ(text, id_uri_of(v.tag_uri));
  if (*v.gs1 == '\0') {
    EXPECT_EQ(velkor_epc_gs1_string(&fields, text, sizeof text, &error), VELKOR_EPC_NO_GS1_FORM);
  } else {
    ASSERT_EQ(velkor_epc_gs1_string(&fields, text, sizeof text, &error), VELKOR_EPC_OK);
    EXPECT_STREQ(text, v.gs1);
  }
  // A scheme whose bits end inside a word decodes from whole bytes as well.
  const std::size_t byte_length = (velkor_epc_scheme_bits(fields.scheme) + 7) / 8;
  if (byte_length < bytes.size()) {
    velkor_epc_fields short_fields{};
    ASSERT_EQ(velkor_epc_decode(bytes.data(), byte_length, &short_fields, &error), VELKOR_EPC_OK);
    EXPECT_EQ(std::memcmp(&short_fields, &fields, sizeof fields), 0);
  }
}

TEST_P(EpcVectors, EveryFormEncodesBackToTheHex) {
  const Vector &v = GetParam();
  const auto bytes = bytes_of(v.hex);
  velkor_epc_fields fields{};
  velkor_epc_error error{};
  ASSERT_EQ(velkor_epc_decode(bytes.data(), bytes.size(), &fields, &error), VELKOR_EPC_OK);
  const unsigned bits = velkor_epc_scheme_bits(fields.scheme);
  const std::size_t room = VELKOR_EPC_BYTES_MAX;
  const std::string id_uri = id_uri_of(v.tag_uri);

  EXPECT_EQ(encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *e) {
              return velkor_epc_encode(&fields, out, room, length, e);
            }), v.hex);
  EXPECT_EQ(encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *e) {
              return velkor_epc_encode_tag_uri(v.tag_uri, out, room, length, e);
            }), v.hex);
  EXPECT_EQ(encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *e) {
              return velkor_epc_encode_id_uri(id_uri.c_str(), fields.filter, bits, out, room,
                                              length, e);
            }), v.hex);
  if (*v.gs1 == '\0') return;
  const Gs1Key key = key_of(v.gs1);
  const unsigned prefix = static_cast<unsigned>(std::strlen(fields.company_prefix));
  EXPECT_EQ(encoded([&](std::uint8_t *out, std::size_t *length, velkor_epc_error *e) {
              return velkor_epc_encode_gs1(key.key, key.digits.c_str(),
                                           key.has_serial ? key.serial.c_str() : nullptr,
                                           prefix, fields.filter, bits, out, room, length, e);
            }), v.hex);
}

INSTANTIATE_TEST_SUITE_P(Schemes, EpcVectors, ::testing::ValuesIn(kVectors));

// Size 0 picks the smallest scheme that holds the identity.
TEST(EpcEncode, SizeZeroPicksTheSmallestSchemeThatHoldsIt) {
  const struct { const char *id_uri; velkor_epc_scheme scheme; } cases[] = {
      {"urn:epc:id:sgtin:0614141.812345.274877906943", VELKOR_EPC_SGTIN_96},
      {"urn:epc:id:sgtin:0614141.812345.274877906944", VELKOR_EPC_SGTIN_198},
      {"urn:epc:id:sgtin:0614141.812345.06789", VELKOR_EPC_SGTIN_198},
      {"urn:epc:id:sgtin:0614141.812345.A%2FB", VELKOR_EPC_SGTIN_198},
      {"urn:epc:id:sgln:0614141.12345.0", VELKOR_EPC_SGLN_96},
      {"urn:epc:id:sgln:0614141.12345.X", VELKOR_EPC_SGLN_195},
      {"urn:epc:id:grai:0614141.12345.00", VELKOR_EPC_GRAI_170},
      {"urn:epc:id:giai:0614141.4611686018427387903", VELKOR_EPC_GIAI_202},
      {"urn:epc:id:giai:0614141.288230376151711743", VELKOR_EPC_GIAI_96},
      {"urn:epc:id:gdti:0614141.12345.7", VELKOR_EPC_GDTI_96},
  };
  for (const auto &c : cases) {
    std::uint8_t out[VELKOR_EPC_BYTES_MAX];
    std::size_t length = 0;
    velkor_epc_fields fields{};
    velkor_epc_error error{};
    ASSERT_EQ(velkor_epc_encode_id_uri(c.id_uri, 1, 0, out, sizeof out, &length, &error),
              VELKOR_EPC_OK) << c.id_uri << ": " << error.message;
    ASSERT_EQ(velkor_epc_decode(out, length, &fields, &error), VELKOR_EPC_OK);
    EXPECT_EQ(fields.scheme, c.scheme) << c.id_uri;
  }
}

// The example through the C++ types, and their error.
TEST(EpcCpp, TypesCarryTheFormsAndTheError) {
  const Epc epc = Epc::from_gs1(Key::gtin, "80614141123458", 7, "6789", 3);
  EXPECT_EQ(epc.hex(), "3074257BF7194E4000001A85");
  EXPECT_EQ(epc.tag_uri(), "urn:epc:tag:sgtin-96:3.0614141.812345.6789");
  EXPECT_EQ(epc.id_uri(), "urn:epc:id:sgtin:0614141.812345.6789");
  EXPECT_EQ(epc.gs1(), "(01)80614141123458(21)6789");
  EXPECT_EQ(Epc::from_id_uri(epc.id_uri(), 3, 96).hex(), epc.hex());
  try {
    Epc::from_tag_uri("urn:epc:tag:sgtin-96:3.0614141.812345.274877906944");
    ADD_FAILURE() << "no error";
  } catch (const Error &e) {
    EXPECT_EQ(e.status(), VELKOR_EPC_TOO_LARGE);
    EXPECT_EQ(e.field(), VELKOR_EPC_FIELD_SERIAL);
  }
  EXPECT_FALSE(Epc::try_decode(bytes_of("3074257BF7194E4000001A")));
}

}  // namespace
}  // namespace velkor::epc::test
