#include "tests/tool/run_tool.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace velkor::test {

namespace {
std::string slurp(const std::string &path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}
}  // namespace

ToolRun run_tool(const std::string &args) {
  char dir[] = "/tmp/velkor-tool-XXXXXX";
  if (!mkdtemp(dir)) return {};
  const std::string out = std::string(dir) + "/out", err = std::string(dir) + "/err";
  const std::string command = std::string(VELKOR_TOOL_PATH) + " " + args + " >" + out +
                              " 2>" + err + " </dev/null";
  const int status = std::system(command.c_str());
  ToolRun run;
  run.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = slurp(out);
  run.err = slurp(err);
  std::remove(out.c_str());
  std::remove(err.c_str());
  rmdir(dir);
  return run;
}

}  // namespace velkor::test
