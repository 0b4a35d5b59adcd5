// Bad input, one table: each row's call must fail with its status, name its
// field and say so in its message, and leave the caller's outputs unwritten
// (an encoder's bytes and length, a decoder's fields) or empty (a text).
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "tests/epc/epc_test_support.h"
#include "velkor_epc.h"

namespace velkor::epc::test {
namespace {

// The outputs every row writes into, preset so that a write shows.
struct Outputs {
  std::uint8_t epc[VELKOR_EPC_BYTES_MAX];
  std::size_t length = 12345;
  velkor_epc_fields fields;
  char text[VELKOR_EPC_URI_MAX];
  Outputs() {
    std::memset(epc, 0xA5, sizeof epc);
    std::memset(&fields, 0xA5, sizeof fields);
    std::memset(text, 'x', sizeof text);
  }
};

using Call = std::function<velkor_epc_status(Outputs &, velkor_epc_error *)>;

Call decode(const char *hex) {
  return [hex](Outputs &o, velkor_epc_error *e) {
    const auto bytes = bytes_of(hex);
    return velkor_epc_decode(bytes.data(), bytes.size(), &o.fields, e);
  };
}
Call tag(const char *uri, std::size_t room = VELKOR_EPC_BYTES_MAX) {
  return [uri, room](Outputs &o, velkor_epc_error *e) {
    return velkor_epc_encode_tag_uri(uri, o.epc, room, &o.length, e);
  };
}
Call id(const char *uri, unsigned filter, unsigned bits) {
  return [=](Outputs &o, velkor_epc_error *e) {
    return velkor_epc_encode_id_uri(uri, filter, bits, o.epc, sizeof o.epc, &o.length, e);
  };
}
Call gs1(velkor_epc_key key, const char *digits, const char *serial, unsigned prefix,
         unsigned filter = 0) {
  return [=](Outputs &o, velkor_epc_error *e) {
    return velkor_epc_encode_gs1(key, digits, serial, prefix, filter, 0, o.epc, sizeof o.epc,
                                 &o.length, e);
  };
}
// A text form of a good EPC into a buffer of the given room.
Call text(velkor_epc_status (*form)(const velkor_epc_fields *, char *, std::size_t,
                                    velkor_epc_error *),
          const char *hex, std::size_t room) {
  return [=](Outputs &o, velkor_epc_error *e) {
    const auto bytes = bytes_of(hex);
    velkor_epc_fields fields{};
    velkor_epc_decode(bytes.data(), bytes.size(), &fields, nullptr);
    return form(&fields, o.text, room, e);
  };
}

struct BadInput {
  const char *what;
  Call call;
  velkor_epc_status status;
  velkor_epc_field field;
  const char *message;  // a part of the expected message
};

const BadInput kBadInputs[] = {
    // EPC bank content
    {"empty EPC", decode(""), VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_EPC, "epc: empty"},
    {"unknown header", decode("FF74257BF7194E4000001A85"), VELKOR_EPC_UNKNOWN_HEADER,
     VELKOR_EPC_FIELD_HEADER, "header: 0xFF"},
    {"partition 7", decode("307C257BF7194E4000001A85"), VELKOR_EPC_BAD_PARTITION,
     VELKOR_EPC_FIELD_PARTITION, "partition: 7"},
    {"96 bits in 13 bytes", decode("3074257BF7194E4000001A8500"), VELKOR_EPC_BAD_LENGTH,
     VELKOR_EPC_FIELD_EPC, "sgtin-96 takes 12 bytes, not 13"},
    {"198 bits in 24 bytes", decode("3600393243F16620B1000000000000000000000000000000"),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_EPC, "takes 25 or 26 bytes, not 24"},
    {"company prefix beyond 12 digits", decode("3003FFFFFFFFFC00000003E8"),
     VELKOR_EPC_TOO_LARGE, VELKOR_EPC_FIELD_COMPANY_PREFIX,
     "company prefix: 1099511627775 has more than"},
    {"item reference beyond 1 digit", decode("3000393243F16680000003E8"), VELKOR_EPC_TOO_LARGE,
     VELKOR_EPC_FIELD_REFERENCE, "item reference: 10 has more"},
    {"location reference of no digits not zero", decode("3240393243F1660000000000"),
     VELKOR_EPC_TOO_LARGE, VELKOR_EPC_FIELD_REFERENCE, "location reference: 1 has more"},
    {"reserved bits of an SSCC", decode("3174257BF4499602D2000100"),
     VELKOR_EPC_NONZERO_PADDING, VELKOR_EPC_FIELD_RESERVED, "reserved"},
    {"padding after 198 bits", decode("3600393243F16620B10000000000000000000000000000000001"),
     VELKOR_EPC_NONZERO_PADDING, VELKOR_EPC_FIELD_RESERVED, "padding"},
    {"serial character outside the set ('#')",
     decode("3600393243F16611800000000000000000000000000000000000"), VELKOR_EPC_BAD_CHARACTER,
     VELKOR_EPC_FIELD_SERIAL, "serial: character 0x23 at position 1"},
    {"serial bits after its end", decode("3600393243F16620B10168000000000000000000000000000000"),
     VELKOR_EPC_NONZERO_PADDING, VELKOR_EPC_FIELD_SERIAL, "after the last character"},
    {"empty serial", decode("3600393243F16600000000000000000000000000000000000000"),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_SERIAL, "serial: empty"},
    {"GIAI-202 asset reference of 19 characters at partition 0",
     decode("3800393243F1660C183060C183060C183060C183060C18200000"), VELKOR_EPC_BAD_LENGTH,
     VELKOR_EPC_FIELD_SERIAL, "more than 18 characters"},
    // Tag URIs
    {"not a tag URI", tag("urn:epc:id:sgtin:0614141.812345.6789"), VELKOR_EPC_BAD_SYNTAX,
     VELKOR_EPC_FIELD_URI, "starts with urn:epc:tag:"},
    {"unknown scheme", tag("urn:epc:tag:sgtin-97:3.0614141.812345.6789"),
     VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_SCHEME, "'sgtin-97'"},
    {"filter 8", tag("urn:epc:tag:sgtin-96:8.0614141.812345.6789"), VELKOR_EPC_BAD_FILTER,
     VELKOR_EPC_FIELD_FILTER, "filter: '8'"},
    {"filter of two digits", tag("urn:epc:tag:sgtin-96:03.0614141.812345.6789"),
     VELKOR_EPC_BAD_FILTER, VELKOR_EPC_FIELD_FILTER, "'03'"},
    {"a component missing", tag("urn:epc:tag:sgtin-96:3.0614141.812345"),
     VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_URI, "3 components"},
    {"a component too many", tag("urn:epc:tag:sscc-96:3.0614141.1234567890.1"),
     VELKOR_EPC_BAD_SYNTAX, VELKOR_EPC_FIELD_URI, "there are more"},
    {"serial beyond 38 bits", tag("urn:epc:tag:sgtin-96:3.0614141.812345.274877906944"),
     VELKOR_EPC_TOO_LARGE, VELKOR_EPC_FIELD_SERIAL, "serial: 274877906944 does not fit in 38"},
    {"serial beyond 64 bits", tag("urn:epc:tag:sgtin-96:3.0614141.812345.99999999999999999999"),
     VELKOR_EPC_TOO_LARGE, VELKOR_EPC_FIELD_SERIAL, "does not fit"},
    {"leading zero in an integer serial", tag("urn:epc:tag:sgtin-96:3.0614141.812345.06789"),
     VELKOR_EPC_LEADING_ZERO, VELKOR_EPC_FIELD_SERIAL, "'06789' has a leading zero"},
    {"leading zero in a GIAI-96 asset reference", tag("urn:epc:tag:giai-96:3.0614141.012"),
     VELKOR_EPC_LEADING_ZERO, VELKOR_EPC_FIELD_SERIAL, "individual asset reference"},
    {"item reference of the wrong length", tag("urn:epc:tag:sgtin-96:3.0614141.81234.6789"),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_REFERENCE, "5 digits where the partition has 6"},
    {"company prefix of 5 digits", tag("urn:epc:tag:sgtin-96:3.06141.81234567.6789"),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_COMPANY_PREFIX, "5 digits"},
    {"company prefix of 13 digits", tag("urn:epc:tag:sgtin-96:3.0614141123456..6789"),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_COMPANY_PREFIX, "13 digits"},
    {"letter in a company prefix", tag("urn:epc:tag:sgtin-96:3.06141A1.812345.6789"),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_COMPANY_PREFIX, "'A' at position 6"},
    {"character outside the set", tag("urn:epc:tag:sgtin-198:3.0614141.812345.A#B"),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_SERIAL, "'#' at position 2 is not allowed"},
    {"unescaped slash", tag("urn:epc:tag:sgtin-198:3.0614141.812345.A/B"),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_SERIAL, "'/' at position 2 must be escaped"},
    {"escape cut short", tag("urn:epc:tag:sgtin-198:3.0614141.812345.AB%2"),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_SERIAL, "does not start an escape"},
    {"escape of a character outside the set", tag("urn:epc:tag:sgtin-198:3.0614141.812345.%23"),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_SERIAL, "'%23' at position 1 escapes"},
    {"serial of 21 characters", tag("urn:epc:tag:sgtin-198:3.0614141.812345.ABCDEFGHIJKLMNOPQRSTU"),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_SERIAL, "21 characters, at most 20"},
    {"empty serial", tag("urn:epc:tag:sgtin-198:3.0614141.812345."), VELKOR_EPC_BAD_LENGTH,
     VELKOR_EPC_FIELD_SERIAL, "serial: empty"},
    {"manager number beyond 28 bits", tag("urn:epc:tag:gid-96:268435456.1.1"),
     VELKOR_EPC_TOO_LARGE, VELKOR_EPC_FIELD_COMPANY_PREFIX, "general manager number"},
    {"room for 11 bytes", tag("urn:epc:tag:sgtin-96:3.0614141.812345.6789", 11),
     VELKOR_EPC_BUFFER_TOO_SMALL, VELKOR_EPC_FIELD_OUTPUT, "12 bytes"},
    // Pure-identity URIs
    {"unknown identity", id("urn:epc:id:xyz:1.2", 0, 0), VELKOR_EPC_BAD_SYNTAX,
     VELKOR_EPC_FIELD_SCHEME, "'xyz'"},
    {"no such size", id("urn:epc:id:sgtin:0614141.812345.6789", 0, 100), VELKOR_EPC_BAD_ARGUMENT,
     VELKOR_EPC_FIELD_SCHEME, "100 bits"},
    {"filter 9", id("urn:epc:id:sgtin:0614141.812345.6789", 9, 96), VELKOR_EPC_BAD_FILTER,
     VELKOR_EPC_FIELD_FILTER, "filter: 9"},
    {"fits no size", id("urn:epc:id:sgtin:0614141.812345.A~", 0, 0), VELKOR_EPC_BAD_CHARACTER,
     VELKOR_EPC_FIELD_SERIAL, "'~'"},
    // GS1 keys
    {"wrong check digit", gs1(VELKOR_EPC_KEY_GTIN, "80614141123459", "6789", 7),
     VELKOR_EPC_BAD_CHECK_DIGIT, VELKOR_EPC_FIELD_KEY, "GTIN: check digit 9, the digits before it give 8"},
    {"GTIN of 11 digits", gs1(VELKOR_EPC_KEY_GTIN, "80614141123", "6789", 7),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_KEY, "11 digits"},
    {"letter in a GTIN", gs1(VELKOR_EPC_KEY_GTIN, "8061414112345X", "6789", 7),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_KEY, "'X' at position 14"},
    {"prefix length 5", gs1(VELKOR_EPC_KEY_GTIN, "80614141123458", "6789", 5),
     VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_PREFIX_LENGTH, "prefix length: 5"},
    {"GTIN without a serial", gs1(VELKOR_EPC_KEY_GTIN, "80614141123458", nullptr, 7),
     VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_SERIAL, "GTIN needs a serial"},
    {"SSCC with a serial", gs1(VELKOR_EPC_KEY_SSCC, "106141412345678908", "1", 7),
     VELKOR_EPC_BAD_ARGUMENT, VELKOR_EPC_FIELD_SERIAL, "SSCC takes no serial"},
    {"GRAI of 14 digits not starting with 0", gs1(VELKOR_EPC_KEY_GRAI, "10614141123452", "1", 7),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_KEY, "starts with 0"},
    {"GIAI with a letter in its company prefix", gs1(VELKOR_EPC_KEY_GIAI, "06141A1XYZ", nullptr, 7),
     VELKOR_EPC_BAD_CHARACTER, VELKOR_EPC_FIELD_KEY, "of the company prefix"},
    {"GIAI of 31 characters", gs1(VELKOR_EPC_KEY_GIAI, "0614141ABCDEFGHIJKLMNOPQRSTUVWX", nullptr, 7),
     VELKOR_EPC_BAD_LENGTH, VELKOR_EPC_FIELD_KEY, "31 characters"},
    {"filter 8 from a key", gs1(VELKOR_EPC_KEY_GTIN, "80614141123458", "6789", 7, 8),
     VELKOR_EPC_BAD_FILTER, VELKOR_EPC_FIELD_FILTER, "filter: 8"},
    // Text forms
    {"URI room too small", text(velkor_epc_tag_uri, "3074257BF7194E4000001A85", 42),
     VELKOR_EPC_BUFFER_TOO_SMALL, VELKOR_EPC_FIELD_OUTPUT, "42 bytes"},
    {"GID has no element string", text(velkor_epc_gs1_string, "350007AB70425D4000000586", 64),
     VELKOR_EPC_NO_GS1_FORM, VELKOR_EPC_FIELD_NONE, "gid-96 has no GS1 element string"},
};

TEST(EpcErrors, BadInputIsNamedAndWritesNothing) {
  for (const BadInput &row : kBadInputs) {
    SCOPED_TRACE(row.what);
    Outputs outputs;
    const Outputs untouched;
    velkor_epc_error error{};
    EXPECT_EQ(row.call(outputs, &error), row.status);
    EXPECT_EQ(error.status, row.status);
    EXPECT_EQ(error.field, row.field);
    EXPECT_NE(std::string(error.message).find(row.message), std::string::npos) << error.message;
    EXPECT_EQ(std::memcmp(outputs.epc, untouched.epc, sizeof outputs.epc), 0);
    EXPECT_EQ(outputs.length, untouched.length);
    EXPECT_EQ(std::memcmp(&outputs.fields, &untouched.fields, sizeof outputs.fields), 0);
    EXPECT_TRUE(outputs.text[0] == '\0' || outputs.text[0] == 'x');
    // Without a report the status is the same.
    Outputs again;
    EXPECT_EQ(row.call(again, nullptr), row.status);
  }
}

}  // namespace
}  // namespace velkor::epc::test
