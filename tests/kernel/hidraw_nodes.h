// What the guest's /dev and this process's descriptors say about hidraw
// nodes.
#ifndef VELKOR_TESTS_KERNEL_HIDRAW_NODES_H
#define VELKOR_TESTS_KERNEL_HIDRAW_NODES_H

#include <string>
#include <vector>

namespace velkor::kernel {

/// The node an open descriptor refers to ("/dev/hidraw1"), or "".
std::string node_of(int fd);

/// The hidraw nodes this process holds open, in descriptor order.
std::vector<std::string> open_hidraw_nodes();

/// The hidraw nodes present in /dev, by number.
std::vector<std::string> present_hidraw_nodes();

/// Nodes ordered by their number, as discovery walks them.
std::vector<std::string> by_number(std::vector<std::string> nodes);

}  // namespace velkor::kernel

#endif  // VELKOR_TESTS_KERNEL_HIDRAW_NODES_H
