// --json: what a command found, as one JSON document per result on a line of
// its own, for scripts and jq.
#ifndef VELKOR_TOOLS_JSON_OUTPUT_H
#define VELKOR_TOOLS_JSON_OUTPUT_H

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

namespace velkor::tool {

/// A JSON document whose keys keep the order they were written in.
using Json = nlohmann::ordered_json;

/// Adds the --json flag to app; `wanted` is set when it is given.
CLI::Option *add_json_flag(CLI::App *app, bool &wanted);

/// Writes doc on one line of standard output and flushes it, so that a
/// pipe gets each result as it comes.
void print_json(const Json &doc);

}  // namespace velkor::tool

#endif  // VELKOR_TOOLS_JSON_OUTPUT_H
