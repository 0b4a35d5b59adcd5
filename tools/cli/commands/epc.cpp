// epc decode HEX... and epc encode (a URI, or GS1 keys): the EPC codec from
// the terminal.  No reader is involved.
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/cli/cli.h"
#include "tools/cli/options.h"
#include "tools/cli/output/epc_text.h"
#include "tools/cli/output/json_output.h"
#include "velkor_epc.hpp"

namespace velkor::tool {

namespace {

struct DecodeOptions {
  std::vector<std::string> epcs;
  bool json = false;
};

struct KeyOption {
  const char *name;
  epc::Key key;
  const char *family;  // of the schemes the key encodes to
  const char *help;
};

const KeyOption kKeys[] = {
    {"--gtin", epc::Key::gtin, "sgtin", "GTIN-14 (or 8, 12, 13 digits) with --serial"},
    {"--sscc", epc::Key::sscc, "sscc", "SSCC, 18 digits"},
    {"--gln", epc::Key::gln, "sgln", "GLN, 13 digits, with --extension if it has one"},
    {"--grai", epc::Key::grai, "grai", "GRAI without its serial (13 digits, or 14 with the 0) "
                                       "with --serial"},
    {"--giai", epc::Key::giai, "giai", "GIAI: company prefix and asset reference"},
    {"--gsrn", epc::Key::gsrn, "gsrn", "GSRN, 18 digits"},
    {"--gdti", epc::Key::gdti, "gdti", "GDTI without its serial, 13 digits, with --serial"},
};

struct EncodeOptions {
  std::string uri;
  std::map<std::string, std::string> keys;  // option name -> value given
  std::optional<std::string> serial;
  int prefix_length = 0;
  int filter = 0;
  std::string scheme;
  CLI::Option *filter_option = nullptr;
  CLI::Option *prefix_option = nullptr;
  bool json = false;
};

int bad_input(const char *command, const std::string &message) {
  complain("epc %s: %s", command, message.c_str());
  return kExitUsage;
}

int decode(const DecodeOptions &o) {
  int exit_code = kExitOk;
  for (const std::string &text : o.epcs) {
    std::string error;
    const std::optional<Bytes> bytes = parse_hex(text, &error);
    velkor_epc_error why{};
    const std::optional<epc::Epc> decoded =
        bytes ? epc::Epc::try_decode(*bytes, &why) : std::nullopt;
    if (!decoded) {
      exit_code = bad_input("decode", text + ": " + (bytes ? why.message : error));
      continue;
    }
    if (o.json)
      std::printf("%s\n", epc_json(*decoded).dump().c_str());
    else
      std::printf("%s\n%s\n", decoded->tag_uri().c_str(), decoded->id_uri().c_str());
  }
  return exit_code;
}

// The scheme's family, "sgtin" for "sgtin-96".
std::string family_of(const std::string &scheme) { return scheme.substr(0, scheme.find('-')); }

int encode(const EncodeOptions &o) {
  const bool tag_uri = o.uri.rfind("urn:epc:tag:", 0) == 0;
  if (o.uri.empty() == o.keys.empty())
    return bad_input("encode", "give a URI or one GS1 key (--gtin, --sscc, ...)");
  if (o.keys.size() > 1) return bad_input("encode", "give one GS1 key, not " +
                                                        std::to_string(o.keys.size()));
  if (tag_uri && (o.filter_option->count() > 0 || !o.scheme.empty()))
    return bad_input("encode", "a tag URI carries its own filter and scheme");
  if (!o.uri.empty() && (o.prefix_option->count() > 0 || o.serial))
    return bad_input("encode", "--prefix-length and --serial go with a GS1 key");
  if (!o.keys.empty() && o.prefix_option->count() == 0)
    return bad_input("encode", "a GS1 key needs --prefix-length (the digits of its company "
                               "prefix)");
  const unsigned bits = o.scheme.empty() ? 0 : scheme_bits(o.scheme);
  if (!o.scheme.empty() && bits == 0)
    return bad_input("encode", "--scheme: '" + o.scheme + "' is not a scheme");
  try {
    std::optional<epc::Epc> result;
    if (tag_uri) {
      result = epc::Epc::from_tag_uri(o.uri);
    } else if (!o.uri.empty()) {
      result = epc::Epc::from_id_uri(o.uri, static_cast<unsigned>(o.filter), bits);
    } else {
      const auto &[name, digits] = *o.keys.begin();
      for (const KeyOption &key : kKeys)
        if (name == key.name) {
          if (!o.scheme.empty() && family_of(o.scheme) != key.family)
            return bad_input("encode", "--scheme: " + o.scheme + " does not hold a " +
                                           name.substr(2));
          result = epc::Epc::from_gs1(key.key, digits, static_cast<unsigned>(o.prefix_length),
                                      o.serial, static_cast<unsigned>(o.filter), bits);
        }
    }
    if (!o.scheme.empty() && result->scheme_name() != o.scheme)
      return bad_input("encode", "--scheme: " + o.scheme + " does not hold this " +
                                     family_of(std::string(result->scheme_name())));
    if (o.json)
      print_json({{"epc", result->hex()}, {"tag_uri", result->tag_uri()}});
    else
      std::printf("%s\n", result->hex().c_str());
    return kExitOk;
  } catch (const epc::Error &e) {
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
      "decode", "print the tag URI and the pure-identity URI of each EPC (hex)");
  dec->add_option("HEX", d->epcs, "EPC bank content in hex")->required();
  dec->add_flag("--json", d->json, "one JSON object per EPC with every field");
  dec->callback([&cli, d] { cli.exit_code = decode(*d); });

  auto e = std::make_shared<EncodeOptions>();
  CLI::App *enc = epc->add_subcommand(
      "encode", "print the EPC (hex) of a tag URI, a pure-identity URI or GS1 keys");
  enc->add_option("URI", e->uri, "urn:epc:tag:... or urn:epc:id:...");
  for (const KeyOption &key : kKeys)
    enc->add_option(key.name, key.help)
        ->each([e, name = std::string(key.name)](const std::string &v) { e->keys[name] = v; })
        ->type_name("DIGITS");
  enc->add_option("--serial,--extension", e->serial,
                  "serial (GTIN, GRAI, GDTI) or the GLN's extension");
  e->prefix_option = add_number(enc, "--prefix-length", e->prefix_length, 6, 12,
                                "digits of the key's company prefix, 6-12");
  e->filter_option = add_number(enc, "--filter", e->filter, 0, 7, "filter value, 0-7 (default 0)");
  enc->add_option("--scheme", e->scheme,
                  "scheme and size (sgtin-96, sgtin-198, ...; default: the smallest that holds "
                  "the identity)");
  add_json_flag(enc, e->json);
  enc->callback([&cli, e] { cli.exit_code = encode(*e); });
}

}  // namespace velkor::tool
