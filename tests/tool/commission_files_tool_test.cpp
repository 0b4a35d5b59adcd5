// The files `commission` reads and writes as users get them wrong: another
// file given as --log (refused and left as it was), links, FIFOs and
// endless lines, a log another run holds, and --from files whose bad
// fields hold terminal escapes or megabytes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "tests/tool/run_tool.h"
#include "tests/tool/scratch.h"

namespace velkor::test {
namespace {

using namespace std::chrono_literals;

constexpr long kMostMemoryKb = 150 * 1024;
const std::string kOneTag =
    "--emulate-feed 1 commission --gtin 80614141123458 --prefix-length 7 --serial-from 1 "
    "--count 1 --timeout 0 ";

TEST(ToolCommissionFiles, AFileThatIsNoLogIsRefusedAndLeftAsItWas) {
  struct Case {
    const char *what;
    std::string text;
  };
  // A gzip member: magic, method, flags, time, then deflate bytes with a
  // newline among them.
  const std::string gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x03\x4b\x4c\x0a\x4a\xe4\x02\x00",
                         17);
  for (const Case &c : {
           Case{"the identities, without a last newline",
                "uri\nurn:epc:tag:sgtin-96:3.0614141.812345.1\nurn:epc:tag:sgtin-96:3.0614141.812345.2"},
           Case{"one line without a newline", "do not lose me"},
           Case{"a gzip file", gzip},
           Case{"a log's header, cut, after other text", "notes\ntime,serial,ep"},
       }) {
    SCOPED_TRACE(c.what);
    Scratch s;
    write_file(s.path("given.csv"), c.text);
    const ToolRun r = run_tool(kOneTag + "--log " + s.path("given.csv"));
    EXPECT_EQ(r.exit_code, 2) << r.out << r.err;
    EXPECT_NE(r.err.find("is not a commissioning log"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(s.path("given.csv")), c.text) << "the file was changed";
  }
}

TEST(ToolCommissionFiles, LinksFifosAndEndlessLinesAreRefusedAtOnce) {
  struct Case {
    const char *what;
    std::string option;  // the option, and its file in the scratch directory
    void (*plant)(const Scratch &);
    const char *says;
  };
  for (const Case &c : {
           Case{"a log that is a link", "--log log.csv",
                [](const Scratch &s) { ::symlink(s.path("precious").c_str(), s.path("log.csv").c_str()); },
                "is a symbolic link"},
           Case{"a log that is a FIFO", "--log log.csv",
                [](const Scratch &s) { ::mkfifo(s.path("log.csv").c_str(), 0600); },
                "is a FIFO, not a regular file"},
           Case{"a log line of 300 MB", "--log log.csv",
                [](const Scratch &s) {
                  write_file(s.path("log.csv"), "time,serial,epc,uri,tid,result\n");
                  std::filesystem::resize_file(s.path("log.csv"), 300u << 20);
                },
                "line 2 is longer than"},
           Case{"identities from a device without end", "--from /dev/zero",
                [](const Scratch &) {}, "line 1 is longer than"},
       }) {
    SCOPED_TRACE(c.what);
    Scratch s;
    write_file(s.path("precious"), "precious\n");
    c.plant(s);
    std::string option = c.option;
    if (option.find(" /") == std::string::npos)
      option.insert(option.find(' ') + 1, s.dir() + "/");
    const bool from = option.rfind("--from", 0) == 0;
    RunningTool tool(from ? "--emulate-feed 1 commission --timeout 0 " + option
                          : kOneTag + option);
    const ToolRun r = tool.finish(20s);
    EXPECT_EQ(r.exit_code, 2) << r.out << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err.substr(0, 300);
    EXPECT_LT(r.peak_memory_kb, kMostMemoryKb);
    EXPECT_EQ(slurp(s.path("precious")), "precious\n");
  }
}

TEST(ToolCommissionFiles, ALogAnotherRunHoldsIsRefusedWithoutPointingAtWait) {
  Scratch s;
  write_file(s.path("log.csv"), "time,serial,epc,uri,tid,result\n");
  const int held = ::open(s.path("log.csv").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  for (const std::string global : {"", "--wait "}) {
    const ToolRun r = run_tool(global + kOneTag + "--log " + s.path("log.csv"));
    EXPECT_EQ(r.exit_code, 2) << r.out;
    EXPECT_NE(r.err.find("'" + s.path("log.csv") + "' is in use by another program"),
              std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("--wait"), std::string::npos) << r.err;
  }
  ::close(held);
}

TEST(ToolCommissionFiles, BadFieldsOfAnIdentitiesFileAreShownEscapedAndCut) {
  for (const std::string &field :
       {std::string("\x1b]0;pwned\x07\x1b[2J"), std::string(2000, 'Z'), std::string(1 << 20, 'Z'),
        std::string("caf\xc3\xa9\r\x9b")}) {
    Scratch s;
    write_file(s.path("plan.csv"), "300000000000000000000042\n" + field + ",x\n");
    const ToolRun r = run_tool("--emulate-feed 1 commission --timeout 0 --from " + s.path("plan.csv"));
    EXPECT_EQ(r.exit_code, 2) << r.out;
    EXPECT_NE(r.err.find("line 2"), std::string::npos) << r.err.substr(0, 300);
    EXPECT_LT(r.err.size(), 400u);
    for (const char ch : r.err) {
      const auto byte = static_cast<unsigned char>(ch);
      EXPECT_TRUE(ch == '\n' || (byte >= 0x20 && byte != 0x7f && byte != 0x9b))
          << "a raw control byte " << int(byte);
    }
  }
}

}  // namespace
}  // namespace velkor::test
