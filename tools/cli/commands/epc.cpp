// epc decode HEX... and epc encode (a URI, or GS1 keys): the EPC codec from
// the terminal.  No reader is involved.
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "app/epc_json.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/epc_lines.h"
#include "tools/cli/options.h"
#include "tools/cli/output/json_output.h"
#include "velkor_epc.hpp"

namespace velkor::tool {

namespace {

struct DecodeOptions {
  std::vector<std::string> epcs;
  bool json = false;
};

// The help of each GS1 key's option, in app::kEpcKeys's order.
const char *const kKeyHelp[] = {
    "GTIN-14 (or 8, 12, 13 digits) with --serial",
    "SSCC, 18 digits",
    "GLN, 13 digits, with --extension if it has one",
    "GRAI without its serial (13 digits, or 14 with the 0) with --serial",
    "GIAI: company prefix and asset reference",
    "GSRN, 18 digits",
    "GDTI without its serial, 13 digits, with --serial",
};

struct EncodeOptions {
  app::EpcEncoding request;
  int prefix_length = 0;
  int filter = 0;
  CLI::Option *filter_option = nullptr;
  CLI::Option *prefix_option = nullptr;
  bool json = false;
};

int bad_input(const char *command, const std::string &message) {
  complain("epc %s: %s", command, message.c_str());
  return kExitUsage;
}

// One EPC: its line (the EPC, its tag URI and its pure-identity URI) or
// its JSON document; false, with the reason on stderr, when it is none.
bool decode_one(const std::string &text, bool json) {
  std::string error;
  const std::optional<Bytes> bytes = parse_hex(text, &error);
  velkor_epc_error why{};
  const std::optional<epc::Epc> decoded =
      bytes ? epc::Epc::try_decode(*bytes, &why) : std::nullopt;
  if (!decoded) {
    bad_input("decode", text + ": " + (bytes ? why.message : error));
    return false;
  }
  if (json)
    std::printf("%s\n", app::epc_json(*decoded).dump().c_str());
  else
    std::printf("%s  %s  %s\n", to_hex(*bytes).c_str(), decoded->tag_uri().c_str(),
                decoded->id_uri().c_str());
  // Each as it comes, for a pipe from a running inventory.
  std::fflush(stdout);
  return true;
}

int decode(const DecodeOptions &o) {
  int exit_code = kExitOk;
  for (const std::string &text : o.epcs)
    if (!decode_one(text, o.json)) exit_code = kExitUsage;
  if (!o.epcs.empty()) return exit_code;
  // None given: standard input's, as `velkor inventory` prints them.
  EpcLines lines(stdin);
  for (EpcLines::Line line = lines.next(); line.kind != EpcLines::Line::kEnd;
       line = lines.next()) {
    if (line.kind == EpcLines::Line::kTooLong) {
      exit_code = bad_input("decode", "standard input's line " + std::to_string(line.number) +
                                          " is longer than " +
                                          std::to_string(kLongestEpcLine) + " bytes");
    } else if (!decode_one(line.epc, o.json)) {
      exit_code = kExitUsage;
    }
  }
  return exit_code;
}

int encode(EncodeOptions &o) {
  if (o.prefix_option->count() > 0) o.request.prefix_length = o.prefix_length;
  if (o.filter_option->count() > 0) o.request.filter = o.filter;
  try {
    // The request's fields are the options' names: prefix_length is --prefix-length.
    const epc::Epc result = app::encode_epc(o.request, [](std::string field) {
      for (char &c : field)
        if (c == '_') c = '-';
      return "--" + field;
    });
    if (o.json)
      print_json({{"epc", result.hex()}, {"tag_uri", result.tag_uri()}});
    else
      std::printf("%s\n", result.hex().c_str());
    return kExitOk;
  } catch (const app::EpcRequestError &e) {
    return bad_input("encode", e.what());
  }
}

}  // namespace

void add_epc_commands(Cli &cli) {
  CLI::App *epc = cli.app.add_subcommand(
      "epc", "decode EPCs to their GS1 identity, or encode one (no reader needed)");
  epc->require_subcommand(1);

  auto d = std::make_shared<DecodeOptions>();
  CLI::App *dec = epc->add_subcommand(
      "decode",
      "print each EPC (hex) with its tag URI and pure-identity URI, one line per EPC; with no "
      "HEX, the EPCs on standard input (the first column of each line, as `velkor inventory` "
      "prints them)");
  dec->add_option("HEX", d->epcs, "EPC bank content in hex (default: read from standard input)");
  dec->add_flag("--json", d->json, "one JSON object per EPC with every field");
  dec->callback([&cli, d] {
    // A script's standard input is the script; a terminal's would wait for
    // typing that nobody knows is expected.
    if (d->epcs.empty() && (cli.shared || isatty(STDIN_FILENO)))
      throw CLI::ValidationError("HEX", cli.shared ? "a script names its EPCs"
                                                   : "give EPCs, or pipe them in");
    cli.exit_code = decode(*d);
  });

  auto e = std::make_shared<EncodeOptions>();
  CLI::App *enc = epc->add_subcommand(
      "encode", "print the EPC (hex) of a tag URI, a pure-identity URI or GS1 keys");
  enc->add_option("URI", e->request.uri, "urn:epc:tag:... or urn:epc:id:...");
  for (std::size_t i = 0; i < std::size(app::kEpcKeys); ++i)
    enc->add_option(std::string("--") + app::kEpcKeys[i].name, kKeyHelp[i])
        ->each([e, name = std::string(app::kEpcKeys[i].name)](const std::string &v) {
          e->request.keys[name] = v;
        })
        ->type_name("DIGITS");
  enc->add_option("--serial,--extension", e->request.serial,
                  "serial (GTIN, GRAI, GDTI) or the GLN's extension");
  e->prefix_option = add_number(enc, "--prefix-length", e->prefix_length, 6, 12,
                                "digits of the key's company prefix, 6-12");
  e->filter_option = add_number(enc, "--filter", e->filter, 0, 7, "filter value, 0-7 (default 0)");
  enc->add_option("--scheme", e->request.scheme,
                  "scheme and size (sgtin-96, sgtin-198, ...; default: the smallest that holds "
                  "the identity)");
  add_json_flag(enc, e->json);
  enc->callback([&cli, e] { cli.exit_code = encode(*e); });
}

}  // namespace velkor::tool
