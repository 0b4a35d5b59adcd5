// The tool names the application core's types and functions as its own.
#ifndef VELKOR_TOOLS_CORE_NAMES_H
#define VELKOR_TOOLS_CORE_NAMES_H

namespace velkor::app::mqtt {}

namespace velkor::tool {
using namespace velkor::app;
namespace publish = velkor::app::mqtt;
}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_CORE_NAMES_H
