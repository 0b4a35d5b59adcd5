#include "tools/cli/output/json_output.h"

#include <cstdio>

namespace velkor::tool {

CLI::Option *add_json_flag(CLI::App *app, bool &wanted) {
  return app->add_flag("--json", wanted, "print the result as JSON, one document per line");
}

void print_json(const Json &doc) {
  std::printf("%s\n", doc.dump().c_str());
  std::fflush(stdout);
}

}  // namespace velkor::tool
