#include "tools/cli/exit_codes.h"

#include "tools/cli/cli.h"

namespace velkor::tool {

using app::ErrorKind;

int exit_code(const app::Error &e) {
  switch (e.kind) {
    case ErrorKind::kNoTag: return kExitNothing;
    case ErrorKind::kSeveralTags:
    case ErrorKind::kBadInput:
    case ErrorKind::kBusy:
    case ErrorKind::kNotFound: return kExitUsage;
    case ErrorKind::kStopped: return kExitInterrupted;
    case ErrorKind::kReader:
    case ErrorKind::kLink:
    case ErrorKind::kFile:
    case ErrorKind::kConflict: return kExitFailed;
  }
  return kExitFailed;
}

int report(const app::Error &e, const char *what) {
  app::Error said = e;
  if (what) said.operation = what;
  std::string text = said.operation == "open" ? said.words : said.message();
  if (e.kind == ErrorKind::kSeveralTags)
    text += " with --epc or --mask (see `velkor inventory`)";
  else if (e.kind == ErrorKind::kBusy)
    text += "; wait for it with --wait";
  else if (e.kind == ErrorKind::kNotFound && said.words.rfind("no reader found", 0) == 0)
    text += ", or try --emulate to use the built-in emulator";
  else if (e.kind == ErrorKind::kNotFound && said.words.find(" (found ") != std::string::npos)
    text += "; see `velkor list`";
  complain("%s", text.c_str());
  return exit_code(e);
}

}  // namespace velkor::tool
