#include "tools/cli/output/help_examples.h"

#include <map>
#include <string>
#include <vector>

namespace velkor::tool {

namespace {

// By the subcommand's path, command lines a user can copy.
const std::map<std::string, std::vector<const char *>> kExamples = {
    {"list", {"velkor list", "velkor list --json"}},
    {"info", {"velkor info", "velkor --device 1 info --json"}},
    {"inventory",
     {"velkor inventory > epcs.txt", "velkor inventory --tid --decode",
      "velkor inventory --duration 10 --interval 500 --unique --output seen.txt",
      "velkor inventory --watch --sort reads --columns epc,reads,last,antenna",
      "velkor inventory --watch --json | jq .epc"}},
    {"read",
     {"velkor read --bank epc --addr 2 --words 6", "velkor read --bank tid --addr 0 --words 6 "
                                                   "--epc 300833B2DDD9014000000001 --json"}},
    {"write", {"velkor write --bank user --addr 0 --data 12345678"}},
    {"erase", {"velkor erase --bank user --addr 0 --words 4 --epc 300833B2DDD9014000000001"}},
    {"write-epc", {"velkor write-epc 300833B2DDD9014000000001"}},
    {"lock",
     {"velkor lock --field user --action lock --password 11223344",
      "velkor lock --field epc --action permalock --epc 300833B2DDD9014000000001 --yes"}},
    {"kill", {"velkor kill --password 11223344 --epc 300833B2DDD9014000000001 --yes"}},
    {"privacy", {"velkor privacy check"}},
    {"privacy set", {"velkor privacy set --password 11223344"}},
    {"privacy reset", {"velkor privacy reset --password 11223344"}},
    {"privacy check", {"velkor privacy check"}},
    {"eas", {"velkor eas alarm"}},
    {"eas on", {"velkor eas on --password 11223344"}},
    {"eas off", {"velkor eas off --password 11223344"}},
    {"eas alarm", {"velkor eas alarm && echo 'alarm'"}},
    {"6b", {"velkor 6b inventory"}},
    {"6b inventory",
     {"velkor 6b inventory", "velkor 6b inventory --single",
      "velkor 6b inventory --condition eq --byte-mask 0xFF --data E000000000000001"}},
    {"6b read", {"velkor 6b read --id E000000000000001 --addr 8 --bytes 4 --json"}},
    {"6b write", {"velkor 6b write --id E000000000000001 --addr 20 --data A1B2C3"}},
    {"6b lock", {"velkor 6b lock --id E000000000000001 --addr 20"}},
    {"6b check-lock", {"velkor 6b check-lock --id E000000000000001 --addr 20"}},
    {"buffer", {"velkor buffer inventory", "velkor buffer read"}},
    {"buffer inventory", {"velkor buffer inventory --json"}},
    {"buffer count", {"velkor buffer count"}},
    {"buffer read", {"velkor buffer read --json"}},
    {"buffer clear", {"velkor buffer clear"}},
    {"buffer save-len", {"velkor buffer save-len", "velkor buffer save-len --set 12"}},
    {"region", {"velkor region", "velkor region --raw --json"}},
    {"region set", {"velkor region set 5", "velkor region set 1 --lowest 2 --highest 5"}},
    {"region channels", {"velkor region channels 4"}},
    {"power", {"velkor power", "velkor power --set 20"}},
    {"config", {"velkor config", "velkor config --json"}},
    {"config set", {"velkor config set --mode auto --interval 5", "velkor config set --tid 0 6"}},
    {"clock", {"velkor clock", "velkor clock --set now"}},
    {"gpio", {"velkor gpio", "velkor gpio --set 0x03"}},
    {"beep", {"velkor beep", "velkor beep --set off"}},
    {"commission",
     {"velkor commission --gtin 80614141123458 --prefix-length 7 --serial-from 1 --count 1 "
      "--timeout 0",
      "velkor commission --gtin 80614141123458 --prefix-length 7 --serial-from 1000 --count 20 "
      "--log tags.csv --access-password 11223344 --lock epc",
      "velkor commission --from identities.csv --log tags.csv --json"}},
    {"epc", {"velkor epc decode 3034257BF7194E4000001A85"}},
    {"epc decode",
     {"velkor epc decode 3034257BF7194E4000001A85 --json", "velkor inventory | velkor epc decode"}},
    {"epc encode",
     {"velkor epc encode urn:epc:tag:sgtin-96:1.0614141.812345.6789",
      "velkor epc encode --gtin 80614141123458 --serial 6789 --prefix-length 7"}},
    {"serve",
     {"velkor --emulate serve", "velkor serve --listen 0.0.0.0:8443 --tls-cert cert.pem "
                                "--tls-key key.pem --token-file token.txt"}},
    {"script", {"printf 'power --set 20\\npower\\n' | velkor script", "velkor script < steps.txt"}},
};

void add_to(CLI::App *app, const std::string &path) {
  const auto found = kExamples.find(path);
  if (found != kExamples.end()) {
    std::string footer = "Examples:";
    for (const char *line : found->second) footer += std::string("\n  ") + line;
    app->footer(footer);
  }
  for (CLI::App *sub : app->get_subcommands({}))
    add_to(sub, path.empty() ? sub->get_name() : path + " " + sub->get_name());
}

}  // namespace

void add_examples(CLI::App &app) { add_to(&app, ""); }

}  // namespace velkor::tool
