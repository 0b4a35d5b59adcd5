// The one event model: the documents made once for every surface, the
// publisher's envelope in front of them, the error type's words and kinds.
#include <gtest/gtest.h>

#include "app/base/error.h"
#include "app/base/time_text.h"
#include "app/events/presence_events.h"
#include "app/events/read_event.h"
#include "app/events/watch_events.h"
#include "app/mqtt/messages.h"
#include "velkor.h"

namespace velkor::app {
namespace {

const WallClock::time_point kWhen{std::chrono::milliseconds(1'700'000'000'123)};

struct ReadCase {
  const char *name;
  events::ReadEvent event;
  std::string json;
};

class ReadDocument : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadDocument, HasTheFieldsAskedFor) {
  EXPECT_EQ(events::to_json(GetParam().event).dump(), GetParam().json);
}

const TagRead kRead{3, kWhen, {0x30, 0x08}, 1, Bytes{0xE2, 0x80}};
const std::string kBase = R"({"round":3,"time":"2023-11-14T22:13:20.123Z","epc":"3008","antenna":1)";

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadDocument,
    ::testing::Values(
        ReadCase{"plain", {kRead, false, false, {}}, kBase + "}"},
        ReadCase{"tid", {kRead, true, false, {}}, kBase + R"(,"tid":"E280"})"},
        ReadCase{"no_tid_read", {{1, kWhen, {0x30, 0x08}, 1, {}}, true, false, {}},
                 R"({"round":1,"time":"2023-11-14T22:13:20.123Z","epc":"3008","antenna":1,"tid":""})"},
        ReadCase{"uri", {kRead, false, true, "urn:epc:tag:x"},
                 kBase + R"(,"uri":"urn:epc:tag:x"})"},
        ReadCase{"no_scheme", {kRead, false, true, {}}, kBase + R"(,"uri":null})"}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(Documents, ThePublisherPutsItsEnvelopeInFront) {
  EXPECT_EQ(mqtt::message("0A1B2C3D", 7, events::to_json({kRead, false, false, {}})),
            R"({"reader":"0A1B2C3D","seq":7,"round":3,"time":"2023-11-14T22:13:20.123Z",)"
            R"("epc":"3008","antenna":1})");
  EXPECT_EQ(mqtt::message("0A1B2C3D", 0, events::status_event("offline", nullptr).document),
            R"({"reader":"0A1B2C3D","state":"offline"})");
  EXPECT_EQ(events::presence_event("depart", "3008", 2, kWhen).text(),
            R"({"event":"depart","epc":"3008","antenna":2,"time":"2023-11-14T22:13:20.123Z"})");
}

TEST(Documents, TimesAreUtcToTheMillisecond) {
  EXPECT_EQ(utc_time(WallClock::time_point{}), "1970-01-01T00:00:00.000Z");
  EXPECT_EQ(utc_time(WallClock::time_point(std::chrono::milliseconds(-1))),
            "1969-12-31T23:59:59.999Z");
  EXPECT_EQ(utc_time(kWhen), "2023-11-14T22:13:20.123Z");
}

TEST(Documents, StatusesBecomeKindsAndTheLibrarysWords) {
  struct Case {
    int status;
    int tag_error;
    ErrorKind kind;
    const char *message;
  };
  for (const Case &c :
       {Case{VELKOR_STATUS_NO_TAG, -1, ErrorKind::kNoTag, "write failed: 0xFB (no tag in the field)"},
        Case{STATUS_COMM_ERROR, -1, ErrorKind::kLink, "write failed: 0x30 (no complete reply in time)"},
        Case{STATUS_INVALID_HANDLE, -1, ErrorKind::kLink, nullptr},
        Case{VELKOR_STATUS_TAG_ERROR, VELKOR_TAG_ERROR_MEMORY_LOCKED, ErrorKind::kReader,
             "write failed: 0xFC (tag error: memory locked)"},
        Case{STATUS_PARAMETER_ERROR, -1, ErrorKind::kReader,
             "write failed: 0xFF (parameter out of range)"}}) {
    const Error e = Error::from_status(c.status, "write", c.tag_error);
    EXPECT_EQ(e.kind, c.kind) << c.status;
    EXPECT_EQ(e.words.rfind(GetReturnCodeText(c.status), 0), 0u) << e.words;
    if (c.message) {
      EXPECT_EQ(e.message(), c.message);
    }
  }
  const Error own = Error::because(ErrorKind::kSeveralTags, "lock", "2 tags in the field");
  EXPECT_EQ(own.message(), "lock: 2 tags in the field");
  EXPECT_EQ(events::error_json(own).dump(),
            R"({"kind":"several-tags","status":0,"words":"2 tags in the field","operation":"lock"})");
}

}  // namespace
}  // namespace velkor::app
