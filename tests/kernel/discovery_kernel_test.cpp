// Discovery on the kernel's hidraw nodes: which nodes are readers, in which
// order, with gaps in the numbering, and what is left open.
#include <fcntl.h>

#include "tests/kernel/child_process.h"
#include "tests/kernel/hidraw_nodes.h"
#include "tests/kernel/kernel_bench.h"
#include "velkor.h"

namespace velkor::kernel {
namespace {

using Discovery = KernelBench;

std::vector<std::string> nodes_of(const std::vector<VelkorHandle> &handles) {
  std::vector<std::string> nodes;
  for (VelkorHandle h : handles) nodes.push_back(node_of(h));
  return nodes;
}

TEST_F(Discovery, FindsBothReadersNotTheKeyboardAndClosesThem) {
  BridgedReader &first = add_reader();
  UhidDevice &keyboard = add_keyboard();
  BridgedReader &second = add_reader();
  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(nodes_of(found), by_number({first.node(), second.node()}));
  // The keyboard was opened to read its identifiers, and closed again.
  EXPECT_EQ(open_hidraw_nodes(), nodes_of(found)) << "keyboard at " << keyboard.wait_for_node(0);
  // Each reader was greeted once: CTRL_BEGIN, 64 bytes with its report ID.
  for (BridgedReader *reader : {&first, &second}) {
    // The kernel hands the greeting to the bridge a moment after the write.
    wait_until([&] { return !reader->outputs().empty() && reader->opens() > 0; }, 2000);
    const std::vector<Crossing> out = reader->outputs();
    ASSERT_EQ(out.size(), 1u) << reader->node();
    EXPECT_EQ(out[0].bytes, report({0x03, 0x0F}));
    EXPECT_EQ(out[0].rtype, UHID_OUTPUT_REPORT);
    EXPECT_EQ(reader->opens(), 1) << "the kernel saw the node opened";
  }

  for (VelkorHandle h : found) EXPECT_EQ(close(h), STATUS_OK);
  EXPECT_EQ(open_hidraw_nodes(), std::vector<std::string>{});
  for (VelkorHandle h : found) EXPECT_EQ(::fcntl(h, F_GETFD), -1) << "handle " << h;
  // The kernel tells each device that its last opener has gone.
  wait_until([&] { return first.closes() >= 1 && second.closes() >= 1; }, 2000);
  EXPECT_EQ(first.closes(), 1);
  EXPECT_EQ(second.closes(), 1);
  EXPECT_EQ(CloseUSBPort(VELKOR_INVALID_HANDLE), STATUS_COMM_ERROR);
}

TEST_F(Discovery, KeyboardsAloneAreNoReaders) {
  add_keyboard();
  add_keyboard(true);
  std::vector<VelkorHandle> handles(VELKOR_MAX_DEVICES, VELKOR_INVALID_HANDLE);
  int count = 77;
  EXPECT_EQ(GetDeviceList(handles.data(), &count), STATUS_COMM_ERROR);
  EXPECT_EQ(count, 77) << "the count is written on success only";
  EXPECT_EQ(open_hidraw_nodes(), std::vector<std::string>{});
}

// Nodes made in order, some destroyed again before discovery: R a reader,
// K a keyboard of the reader's vendor, F a foreign keyboard, lower case one
// destroyed.
struct Layout {
  const char *name;
  const char *devices;
  std::vector<std::string> expected_nodes;  // the readers' nodes, in order
};

// Failures name the case, not its bytes.
void PrintTo(const Layout &c, std::ostream *os) { *os << c.name; }

class Numbering : public KernelBench, public ::testing::WithParamInterface<Layout> {};

TEST_P(Numbering, ReadersAreFoundWhereverTheKernelNumberedThem) {
  const Layout &layout = GetParam();
  std::vector<UhidDevice *> gone;
  for (const char *d = layout.devices; *d; ++d) {
    switch (*d) {
      case 'R': add_reader(); break;
      case 'K': add_keyboard(); break;
      case 'F': add_keyboard(true); break;
      case 'f': gone.push_back(&add_keyboard(true)); break;
    }
  }
  for (UhidDevice *device : gone) device->destroy();
  std::vector<std::string> readers_at;
  for (const auto &r : readers) readers_at.push_back(r->node());
  ASSERT_EQ(readers_at, layout.expected_nodes) << "the kernel numbered the nodes otherwise";

  std::vector<VelkorHandle> found;
  ASSERT_EQ(discover(found), STATUS_OK);
  EXPECT_EQ(nodes_of(found), layout.expected_nodes);
  EXPECT_EQ(open_hidraw_nodes(), layout.expected_nodes);
  for (VelkorHandle h : found) close(h);

  // The tool lists the same readers at the same nodes.
  const ToolRun list = run_tool({"list"});
  EXPECT_EQ(list.status, 0) << list.err;
  for (const std::string &node : layout.expected_nodes)
    EXPECT_NE(list.out.find(node), std::string::npos) << list.out;
}

INSTANTIATE_TEST_SUITE_P(
    Kernel, Numbering,
    ::testing::Values(Layout{"GapsBelowTheReader", "ffR", {"/dev/hidraw2"}},
                      Layout{"MoreNodesThanReaders", "KRFKRF", {"/dev/hidraw1", "/dev/hidraw4"}},
                      Layout{"GapBetweenReaders", "RfR", {"/dev/hidraw0", "/dev/hidraw2"}}),
    [](const auto &info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velkor::kernel
