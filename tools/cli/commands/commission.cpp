// commission: writes a series of GS1 identities to tags placed on the
// reader one at a time, verifies and optionally locks each, and logs which
// identity went to which tag in a write-ahead journal, so that a run cut
// short by a crash, a power cut or Ctrl-C resumes where it stopped without
// giving an identity twice (app/commission does the work).  --void closes
// out a serial whose tag is lost.
#include <cctype>
#include <cstdlib>
#include <map>

#include "app/commission/commissioning.h"
#include "app/epc_json.h"
#include "tools/cli/cli.h"
#include "tools/cli/interrupt.h"
#include "tools/cli/options.h"
#include "tools/cli/output/commission_progress.h"
#include "tools/cli/password_options.h"

namespace velkor::tool {

namespace {

constexpr double kDefaultTimeout = 60;
constexpr double kMostTimeout = 24 * 60 * 60;
// Numeric serials: twelve digits cover the 38 bits of an SGTIN-96 serial.
constexpr long kMostSerial = 999999999999;

const std::map<std::string, int> kLockFieldNames = {
    {"kill", VELKOR_LOCK_KILL_PASSWORD}, {"access", VELKOR_LOCK_ACCESS_PASSWORD},
    {"epc", VELKOR_LOCK_EPC},            {"tid", VELKOR_LOCK_TID},
    {"user", VELKOR_LOCK_USER}};

struct CommissionArgs {
  std::string gtin;
  int prefix_length = 0;
  std::uint64_t serial_from = 0;
  int count = 0;
  int filter = 0;
  std::string scheme;
  std::string from;
  std::string log;
  Bytes access_password;
  bool access_password_given = false;
  std::vector<int> lock;
  double timeout = kDefaultTimeout;
  std::vector<std::string> voids;
  bool json = false;
};

Result<Plan> plan_of(const CommissionArgs &o) {
  const unsigned bits = o.scheme.empty() ? 0 : scheme_bits(o.scheme);
  if (!o.scheme.empty() && bits == 0)
    return Error::because(ErrorKind::kBadInput, "plan",
                          "--scheme: '" + o.scheme + "' is not a scheme");
  if (o.from.empty())
    return plan_from_keys({o.gtin, static_cast<unsigned>(o.prefix_length), o.serial_from,
                           static_cast<std::uint64_t>(o.count), static_cast<unsigned>(o.filter),
                           bits});
  return plan_from_file(o.from, static_cast<unsigned>(o.filter), bits);
}

// The run's end in one place: its message, its summary, its exit status.
int finish(CommissionProgressPrinter &progress, const CommissionSummary &summary) {
  int status = kExitOk;
  if (summary.error) {
    status = exit_code(*summary.error);
    if (summary.end != CommissionEnd::kStopped) {
      progress.clear();
      complain("commission: %s", summary.error->words.c_str());
    }
  }
  progress.end(summary, status);
  return status;
}

int commission(Session &s, CommissionArgs &o) {
  Result<Plan> plan = plan_of(o);
  if (!plan) {
    complain("commission: %s", plan.error().words.c_str());
    return exit_code(plan.error());
  }
  app::CommissionOptions job;
  job.plan = std::move(*plan);
  job.journal = o.log;
  job.access_password = o.access_password;
  job.lock = o.lock;
  job.timeout_ms = static_cast<std::int64_t>(o.timeout * 1000);
  CommissionProgressPrinter progress(o.json);
  Commissioning run(s, std::move(job), progress);
  if (Status opened = run.open(); !opened) {
    complain("commission: %s", opened.error().words.c_str());
    return exit_code(opened.error());
  }
  for (const std::string &serial : o.voids)
    if (Status voided = run.void_serial(serial); !voided) {
      progress.clear();
      complain("commission: %s", voided.error().words.c_str());
      return exit_code(voided.error());
    }
  StopSource stop;
  InterruptGuard guard(stop);
  return finish(progress, run.run(stop.token()));
}

void check_options(const CommissionArgs &o) {
  if (o.from.empty() == o.gtin.empty())
    throw CLI::ValidationError("commission", "give --gtin with a serial range, or --from FILE");
  if (!app::check_locks(o.lock, o.access_password))
    throw CLI::ValidationError("--lock", std::string("a lock needs a non-zero --access-password "
                                                     "(or --access-password-file, or $") +
                                             kAccessPasswordVariable + ")");
}

}  // namespace

void add_commission_command(Cli &cli) {
  auto c = add_command<CommissionArgs>(
      cli, &cli.app, "commission",
      "write a series of identities (GS1 keys and serials, or a file) to tags placed on the "
      "reader one at a time, verify, lock and log them",
      commission, check_options);
  CommissionArgs &o = *c.options;
  CLI::App *app = c.app;
  CLI::Option *gtin =
      app->add_option("--gtin", o.gtin, "GTIN-14 (or 8, 12, 13 digits) of the items")
          ->type_name("DIGITS");
  add_number(app, "--prefix-length", o.prefix_length, 6, 12,
             "digits of the GTIN's company prefix, 6-12")
      ->needs(gtin);
  app->add_option("--serial-from", o.serial_from, "the first serial of the range")
      ->check(number_in(0, kMostSerial))
      ->type_name("N")
      ->needs(gtin);
  add_number(app, "--count", o.count, 1, 100000, "how many serials the range holds")
      ->needs(gtin);
  for (const char *name : {"--prefix-length", "--serial-from", "--count"})
    gtin->needs(app->get_option(name));
  app->add_option("--from", o.from,
                  "a file with one identity per line: a tag URI, a pure-identity URI or an EPC "
                  "in hex (first CSV field; # comments)")
      ->type_name("FILE")
      ->excludes(gtin);
  add_number(app, "--filter", o.filter, 0, 7,
             "filter value, 0-7 (default 0), for GS1 keys and pure-identity URIs");
  app->add_option("--scheme", o.scheme,
                  "scheme and size (sgtin-96, sgtin-198, ...; default: the smallest that holds "
                  "each identity)")
      ->type_name("NAME");
  app->add_option("--log", o.log,
                  "the log (CSV: time, serial, EPC, URI, TID, result), kept as a journal: "
                  "rerunning the same command resumes after a crash")
      ->type_name("FILE.csv");
  add_password(app, "--access-password", kAccessPasswordVariable,
               "access password to set on each tag, 8 hex digits", &o.access_password,
               &o.access_password_given);
  app->add_option("--lock", o.lock,
                  "lock these with the access password: epc, user, tid, access, kill "
                  "(comma-separated)")
      ->delimiter(',')
      ->transform(CLI::Validator(
          [](std::string &text) -> std::string {
            std::string name = text;
            for (char &c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            const auto it = kLockFieldNames.find(name);
            if (it == kLockFieldNames.end())
              return "'" + text + "' is not a lock field (epc, user, tid, access, kill)";
            text = std::to_string(it->second);
            return {};
          },
          ""))
      ->type_name("FIELD[,FIELD]");
  app->add_option("--timeout", o.timeout,
                  "seconds to wait for each next tag before stopping (default 60; 0: look once)")
      ->check(CLI::Validator(
          [](std::string &text) -> std::string {
            char *end = nullptr;
            const double seconds = std::strtod(text.c_str(), &end);
            if (text.empty() || *end != '\0' || !(seconds >= 0 && seconds <= kMostTimeout))
              return "'" + text + "' is not a number of seconds from 0 to 86400";
            return {};
          },
          ""))
      ->type_name("SECONDS");
  app->add_option("--void", o.voids,
                  "close out these serials (comma-separated) whose tags are lost: logged as "
                  "void, never given to a tag, no longer waited for")
      ->delimiter(',')
      ->type_name("SERIAL[,SERIAL]")
      ->needs(app->get_option("--log"));
  app->add_flag("--json", o.json, "one JSON object per line per event, for a program");
}

}  // namespace velkor::tool
