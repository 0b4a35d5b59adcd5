// commission: writes a series of GS1 identities to tags placed on the
// reader one at a time, verifies and optionally locks each, and logs which
// identity went to which tag in a write-ahead journal, so that a run cut
// short by a crash, a power cut or Ctrl-C resumes where it stopped without
// giving an identity twice.
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include "app/base/status_text.h"
#include "app/commission/journal.h"
#include "app/commission/plan.h"
#include "app/commission/tag_steps.h"
#include "app/epc_json.h"
#include "app/tags/inventory_round.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/interrupt_guard.h"
#include "tools/cli/options.h"
#include "tools/cli/output/commission_progress.h"
#include "tools/cli/output/epc_text.h"
#include "tools/cli/password_options.h"

namespace velkor::tool {

namespace {

/// For the tests of resuming, on the emulated reader only:
/// VELKOR_COMMISSION_CRASH=N:STAGE kills the run with SIGKILL at that point
/// of the Nth tag it takes on: before-write (its "writing" line is logged),
/// after-write (the EPC is on the tag), before-outcome (the tag is done,
/// locks and all, but its line is not logged).
constexpr const char *kCrashVariable = "VELKOR_COMMISSION_CRASH";

constexpr auto kPollEvery = std::chrono::milliseconds(100);
constexpr double kDefaultTimeout = 60;
constexpr double kMostTimeout = 24 * 60 * 60;
// Numeric serials: twelve digits cover the 38 bits of an SGTIN-96 serial.
constexpr long kMostSerial = 999999999999;

const std::map<std::string, int> kLockFieldNames = {
    {"kill", VELKOR_LOCK_KILL_PASSWORD}, {"access", VELKOR_LOCK_ACCESS_PASSWORD},
    {"epc", VELKOR_LOCK_EPC},            {"tid", VELKOR_LOCK_TID},
    {"user", VELKOR_LOCK_USER}};

struct CommissionOptions {
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
  bool json = false;
};

class Commissioning {
 public:
  Commissioning(Session &s, const CommissionOptions &o, std::vector<Identity> plan)
      : s_(s), o_(o), plan_(std::move(plan)) {}

  int run();

 private:
  std::optional<Identity> next_free() const;
  bool used(const std::string &epc_hex) const;
  int wait_for_tag(Bytes *epc);
  int take(const Bytes &epc);
  int finish(JournalEntry entry, bool resumed);
  void crash_point(const char *stage) const;
  void restart_clock();
  bool log(const JournalEntry &entry);

  Session &s_;
  const CommissionOptions &o_;
  std::vector<Identity> plan_;
  Journal journal_;
  std::optional<CommissionProgress> progress_;
  std::set<Bytes> unneeded_;  // tags in the field no identity is left for
  unsigned taken_ = 0;        // tags taken on in this run
  mutable std::size_t cursor_ = 0;  // identities before it are used
  // --timeout counts from the start and from each tag done, so that a tag
  // that keeps leaving mid-write cannot hold the run forever.
  std::chrono::steady_clock::time_point deadline_;
};

bool Commissioning::used(const std::string &epc_hex) const {
  return journal_.last_of(epc_hex) != nullptr;
}

// Identities only ever become used, so the search goes on where it stopped.
std::optional<Identity> Commissioning::next_free() const {
  for (; cursor_ < plan_.size(); ++cursor_)
    if (!used(to_hex(plan_[cursor_].epc))) return plan_[cursor_];
  return std::nullopt;
}

void Commissioning::restart_clock() {
  deadline_ = std::chrono::steady_clock::now() +
              std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                  std::chrono::duration<double>(o_.timeout));
}

void Commissioning::crash_point(const char *stage) const {
  const char *plan = std::getenv(kCrashVariable);
  if (!plan || !s_.emulated()) return;
  if (std::string(plan) == std::to_string(taken_) + ":" + stage) raise(SIGKILL);
}

bool Commissioning::log(const JournalEntry &entry) {
  std::string error;
  if (journal_.append(entry, &error)) return true;
  progress_->clear();
  complain("commission: %s", error.c_str());
  return false;
}

// Waits for the next tag to work on: the tag of an interrupted write if one
// is in the field, else the only tag not commissioned yet.
int Commissioning::wait_for_tag(Bytes *epc) {
  std::size_t several = 0;
  for (MaskOptions everything;;) {
    const InventoryRound round = inventory_round(s_, everything);
    if (!round.answered()) return check("commission: inventory", round.status);
    std::vector<Bytes> candidates;
    for (const Bytes &tag : round.epcs) {
      const JournalEntry *entry = journal_.last_of(to_hex(tag));
      if (entry && entry->result == kWriting) {
        *epc = tag;
        return kExitOk;
      }
      if (!entry && unneeded_.count(tag) == 0) candidates.push_back(tag);
    }
    if (candidates.size() == 1) {
      *epc = candidates.front();
      return kExitOk;
    }
    if (candidates.size() > 1 && candidates.size() != several) progress_->several(candidates.size());
    several = candidates.size();
    if (interrupted()) return kExitInterrupted;
    if (std::chrono::steady_clock::now() >= deadline_) return kExitNothing;
    progress_->waiting();
    std::this_thread::sleep_for(kPollEvery);
  }
}

// Works on the tag whose EPC is epc: finishes its interrupted write, or
// gives it the next free identity.
int Commissioning::take(const Bytes &epc) {
  Bytes tid;
  if (StepOutcome o = read_tid(s_, epc, &tid); !o.ok()) {
    // A tag that left before its TID was read: wait on, within --timeout.
    if (o.exit_code == kExitNothing) {
      std::this_thread::sleep_for(kPollEvery);
      return kExitOk;
    }
    progress_->clear();
    complain("commission: tag %s: %s", to_hex(epc).c_str(), o.reason.c_str());
    return o.exit_code;
  }
  const std::string tid_hex = to_hex(tid);
  for (const JournalEntry &cut : journal_.interrupted())
    if (cut.tid == tid_hex) {
      progress_->resuming(cut);
      ++taken_;
      return finish(cut, true);
    }
  if (const JournalEntry *entry = journal_.last_of(to_hex(epc))) {
    progress_->clear();
    complain("commission: tag %s holds EPC %s, which was being written to tag %s",
             tid_hex.c_str(), entry->epc.c_str(), entry->tid.c_str());
    return kExitFailed;
  }
  const std::optional<Identity> next = next_free();
  if (!next) {
    progress_->unneeded(to_hex(epc));
    unneeded_.insert(epc);
    return kExitOk;
  }
  ++taken_;
  JournalEntry entry{utc_time(WallClock::now()), next->serial, to_hex(next->epc), next->uri,
                     tid_hex, kWriting};
  // On disk before the tag is touched: whatever happens next, a rerun knows
  // this identity is taken, and by which tag.
  if (!log(entry)) return kExitFailed;
  return finish(entry, false);
}

int Commissioning::finish(JournalEntry entry, bool resumed) {
  crash_point("before-write");
  std::string error;
  TagWork work{*parse_hex(entry.tid, nullptr), *parse_hex(entry.epc, nullptr),
               o_.access_password, o_.lock};
  const StepOutcome outcome = commission_tag(s_, work, [&] {
    s_.checkpoint(&error);
    crash_point("after-write");
  });
  if (!s_.checkpoint(&error)) {
    progress_->clear();
    complain("commission: %s", error.c_str());
  }
  if (outcome.exit_code == kExitNothing) {
    // Gone before it was done: the identity stays with it until it is back.
    progress_->left(entry);
    std::this_thread::sleep_for(kPollEvery);
    return kExitOk;
  }
  crash_point("before-outcome");
  entry.time = utc_time(WallClock::now());
  entry.result = outcome.ok() ? kOk : "failed: " + outcome.reason;
  if (!log(entry)) return kExitFailed;
  progress_->finished(entry);
  restart_clock();
  if (!outcome.ok()) {
    progress_->clear();
    complain("commission: serial %s on tag %s: %s%s", entry.serial.c_str(), entry.tid.c_str(),
             outcome.reason.c_str(), resumed ? " (finishing an interrupted write)" : "");
    return outcome.exit_code;
  }
  return kExitOk;
}

int Commissioning::run() {
  std::string error;
  if (!journal_.open(o_.log, &error)) {
    complain("commission: %s", error.c_str());
    return kExitUsage;
  }
  std::size_t done = 0;
  for (const Identity &i : plan_) {
    const JournalEntry *entry = journal_.last_of(to_hex(i.epc));
    done += entry && entry->result == kOk;
  }
  progress_.emplace(o_.json, plan_.size(), done);
  for (const JournalEntry &cut : journal_.interrupted()) progress_->interrupted_earlier(cut);

  InterruptGuard guard;
  restart_clock();
  int status = kExitOk;
  while (status == kExitOk && (next_free() || !journal_.interrupted().empty())) {
    Bytes epc;
    status = wait_for_tag(&epc);
    if (status == kExitOk) status = take(epc);
    if (status == kExitOk && interrupted()) status = kExitInterrupted;
  }
  const char *how = status == kExitOk            ? "complete"
                    : status == kExitNothing     ? "no tag came"
                    : status == kExitInterrupted ? "stopped"
                                                 : "failed";
  if (status == kExitNothing) {
    progress_->clear();
    complain("commission: no tag to commission within %g s", o_.timeout);
  }
  progress_->end(how, journal_.interrupted(), status);
  return status;
}

std::optional<std::vector<Identity>> plan_of(const CommissionOptions &o, std::string *error) {
  const unsigned bits = o.scheme.empty() ? 0 : app::scheme_bits(o.scheme);
  if (!o.scheme.empty() && bits == 0) {
    *error = "--scheme: '" + o.scheme + "' is not a scheme";
    return std::nullopt;
  }
  if (o.from.empty())
    return plan_from_keys({o.gtin, static_cast<unsigned>(o.prefix_length), o.serial_from,
                           static_cast<std::uint64_t>(o.count), static_cast<unsigned>(o.filter),
                           bits},
                          error);
  return plan_from_file(o.from, static_cast<unsigned>(o.filter), bits, error);
}

int commission(Session &s, CommissionOptions &o) {
  std::string error;
  std::optional<std::vector<Identity>> plan = plan_of(o, &error);
  if (!plan) {
    complain("commission: %s", error.c_str());
    return kExitUsage;
  }
  return Commissioning(s, o, std::move(*plan)).run();
}

void check_options(const CommissionOptions &o) {
  if (o.from.empty() == o.gtin.empty())
    throw CLI::ValidationError("commission", "give --gtin with a serial range, or --from FILE");
  if (!o.lock.empty() && (o.access_password.empty() || o.access_password == Bytes(4, 0)))
    throw CLI::ValidationError("--lock", std::string("a lock needs a non-zero --access-password "
                                                     "(or --access-password-file, or $") +
                                             kAccessPasswordVariable + ")");
}

}  // namespace

void add_commission_command(Cli &cli) {
  auto c = add_command<CommissionOptions>(
      cli, &cli.app, "commission",
      "write a series of identities (GS1 keys and serials, or a file) to tags placed on the "
      "reader one at a time, verify, lock and log them",
      commission, check_options);
  CommissionOptions &o = *c.options;
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
  app->add_flag("--json", o.json, "one JSON object per line per event, for a program");
}

}  // namespace velkor::tool
