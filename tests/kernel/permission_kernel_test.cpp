// A reader whose node this user may not open: discovery passes it by, and
// the tool says which rule to install.
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <iostream>

#include "tests/kernel/child_process.h"
#include "tests/kernel/kernel_bench.h"

namespace velkor::kernel {
namespace {

using Permission = KernelBench;

constexpr char kRuleFile[] = "70-velkor.rules";

// GetDeviceList's status in a child that has dropped to the unprivileged
// user.
int discovery_status_unprivileged() {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivileged) != 0 ||
        ::setuid(kUnprivileged) != 0)
      ::_exit(125);
    std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
    int count = 0;
    ::_exit(GetDeviceList(handles.data(), &count));
  }
  int raw = 0;
  ::waitpid(child, &raw, 0);
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST_F(Permission, TheToolNamesTheUdevRuleForAReaderItMayNotOpen) {
  UhidDevice &keyboard = add_keyboard();
  BridgedReader &reader = add_reader();
  struct stat st{};
  ASSERT_EQ(::stat(reader.node().c_str(), &st), 0);
  ASSERT_EQ(st.st_mode & 0006, 0u) << "the kernel's node is open to everyone";

  EXPECT_EQ(discovery_status_unprivileged(), STATUS_COMM_ERROR);
  for (const char *command : {"list", "inventory"}) {
    const ToolRun run = run_tool({command}, kUnprivileged);
    EXPECT_NE(run.status, 0) << command;
    EXPECT_NE(run.err.find(kRuleFile), std::string::npos) << command << ": " << run.err;
    EXPECT_NE(run.err.find(reader.node()), std::string::npos) << command << ": " << run.err;
    EXPECT_EQ(run.err.find(keyboard.wait_for_node(0)), std::string::npos)
        << "the keyboard is no reader: " << run.err;
    std::cout << "velkor " << command << " as user " << kUnprivileged << " said: " << run.err;
  }
  EXPECT_EQ(reader.outputs().size(), 0u) << "nothing reached the reader";

  // What the rule grants: with access to the node the same user finds it.
  ASSERT_EQ(::chmod(reader.node().c_str(), 0666), 0);
  EXPECT_EQ(discovery_status_unprivileged(), STATUS_OK);
  const ToolRun list = run_tool({"list"}, kUnprivileged);
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find(reader.node()), std::string::npos) << list.out;
}

}  // namespace
}  // namespace velkor::kernel
