// Gen2 tag commands: read, write, erase, write-epc, lock, kill, privacy, eas.
// Each names its tag by --epc or a mask (tag_target.h); one that changes a
// tag acts on an unnamed one only when it is the only tag in the field.
#include <cstdio>
#include <vector>

#include "app/events/reader_documents.h"
#include "app/tags/tag_operations.h"
#include "tools/cli/cli.h"
#include "tools/cli/commands/confirm.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/output/json_output.h"
#include "tools/cli/output/tag_output.h"
#include "tools/cli/password_options.h"

namespace velkor::tool {

namespace {

const Names kLockFields = {{"kill", 0}, {"access", 1}, {"epc", 2}, {"tid", 3}, {"user", 4}};
const Names kLockActions = {{"unlock", 0}, {"permaunlock", 1}, {"lock", 2}, {"permalock", 3}};

struct MemoryOptions {
  TargetOptions target;
  int bank = 0;
  int pointer = 0;
  int words = 1;
  Bytes data;
  bool json = false;
};

struct TagOptions {
  TargetOptions target;
  bool yes = false;
};

struct LockOptions {
  TargetOptions target;
  int field = 0;
  int action = 0;
  bool yes = false;
};

// The lock actions that cannot be undone.
bool permanent(int action) { return action == 1 || action == 3; }

struct WriteEpcOptions {
  TargetOptions target;
  Bytes epc;
};

using Check = std::function<void(const MemoryOptions &)>;

// --bank, --addr and the target, shared by read, write and erase.
void add_memory_options(Command<MemoryOptions> c, int highest_pointer) {
  MemoryOptions &o = *c.options;
  add_named(c.app, "--bank", o.bank, "bank", kBanks, 0, 3,
            "memory bank: reserved, epc, tid, user (or 0-3)")
      ->required();
  add_number(c.app, "--addr", o.pointer, 0, highest_pointer, "first word")->required();
  o.target.add_to(c.app);
}

int read_memory(Session &s, MemoryOptions &o) {
  const Result<Bytes> data = app::read_memory(s, o.target.target(), o.bank, o.pointer, o.words);
  if (!data) return report(data.error());
  if (o.json) {
    print_json(events::memory_document(o.bank, o.pointer, o.words, *data));
    return kExitOk;
  }
  for (int i = 0; i < o.words; ++i)
    std::printf("%s%s", i ? " " : "", to_hex(&(*data)[2u * unsigned(i)], 2).c_str());
  std::printf("\n");
  return kExitOk;
}

int write_memory(Session &s, MemoryOptions &o) {
  const Result<Target> tag = app::write_memory(s, o.target.target(), o.bank, o.pointer, o.data);
  if (!tag) return report(tag.error());
  std::printf("wrote %s to tag %s\n", counted(o.data.size() / 2, "word").c_str(),
              tag->text().c_str());
  return kExitOk;
}

int erase_memory(Session &s, MemoryOptions &o) {
  const Result<Target> tag = app::erase_memory(s, o.target.target(), o.bank, o.pointer, o.words);
  if (!tag) return report(tag.error());
  std::printf("erased %s of tag %s\n", counted(std::size_t(o.words), "word").c_str(),
              tag->text().c_str());
  return kExitOk;
}

void add_memory_commands(Cli &cli) {
  const Check check_target = TargetOptions::check<MemoryOptions>;
  auto read = add_command<MemoryOptions>(cli, &cli.app, "read",
                                         "read words of a tag's memory bank", read_memory,
                                         check_target);
  add_memory_options(read, 0xFFFF);
  add_number(read.app, "--words", read.options->words, 1, app::kMostReadWords,
             "how many words (default 1)");
  add_json_flag(read.app, read.options->json);

  auto write = add_command<MemoryOptions>(cli, &cli.app, "write",
                                          "write words into a tag's memory bank", write_memory,
                                          check_target);
  add_memory_options(write, 0xFFFF);
  add_hex(write.app, "--data", write.options->data, 2, 64,
          "the words to write (hex, whole words)", true)
      ->required();

  auto erase = add_command<MemoryOptions>(cli, &cli.app, "erase",
                                          "erase (zero) words of a tag's memory bank",
                                          erase_memory, check_target);
  add_memory_options(erase, app::kShortPointer);
  add_number(erase.app, "--words", erase.options->words, 1, 255, "how many words (default 1)");
}

int write_epc(Session &s, WriteEpcOptions &o) {
  const Result<Target> old = app::write_epc(s, o.target.target(), o.epc);
  if (!old) return report(old.error());
  std::printf("EPC of tag %s is now %s\n", old->text().c_str(), to_hex(o.epc).c_str());
  return kExitOk;
}

int lock_tag(Session &s, LockOptions &o) {
  const Result<Target> tag = settle_target(s, o.target.target(), "lock");
  if (!tag) return report(tag.error());
  const std::string action = std::string(kLockActions[std::size_t(o.action)].name) + " " +
                             kLockFields[std::size_t(o.field)].name;
  if (permanent(o.action) && !confirmed(action, tag->text(), o.yes)) return kExitUsage;
  const Result<Target> locked = app::lock_tag(s, *tag, o.field, o.action);
  if (!locked) return report(locked.error());
  std::printf("%s: %s on tag %s\n", kLockFields[std::size_t(o.field)].name,
              kLockActions[std::size_t(o.action)].name, tag->text().c_str());
  return kExitOk;
}

int kill_tag(Session &s, TagOptions &o) {
  const Result<Target> tag = settle_target(s, o.target.target(), "kill");
  if (!tag) return report(tag.error());
  if (!confirmed("kill", tag->text(), o.yes)) return kExitUsage;
  const Result<Target> killed = app::kill_tag(s, *tag);
  if (!killed) return report(killed.error());
  std::printf("tag %s killed\n", tag->text().c_str());
  return kExitOk;
}

void add_epc_lock_kill_commands(Cli &cli) {
  auto epc = add_command<WriteEpcOptions>(
      cli, &cli.app, "write-epc",
      "give a tag a new EPC (the one named by --epc or --mask, else the only one in the field)",
      write_epc, TargetOptions::check<WriteEpcOptions>);
  add_hex(epc.app, "epc", epc.options->epc, 2, 50, "the new EPC (hex, whole words)", true)
      ->required();
  epc.options->target.add_to(epc.app);

  auto lock = add_command<LockOptions>(cli, &cli.app, "lock",
                                       "lock or unlock a memory bank or a password of a tag",
                                       lock_tag, TargetOptions::check<LockOptions>);
  add_named(lock.app, "--field", lock.options->field, "lock field", kLockFields, 0, 4,
            "what to lock: kill, access (the passwords), epc, tid, user")
      ->required();
  add_named(lock.app, "--action", lock.options->action, "lock action", kLockActions, 0, 3,
            "unlock, permaunlock, lock (writable with the access password only), permalock")
      ->required();
  lock.options->target.add_to(lock.app);
  lock.app->add_flag("--yes", lock.options->yes,
                     "permalock or permaunlock without asking (for scripts)");

  auto kill = add_command<TagOptions>(
      cli, &cli.app, "kill", "kill a tag for good (it never answers again)", kill_tag,
      [](const TagOptions &o) {
        TargetOptions::check(o);
        if (!o.target.password.given)
          throw CLI::ValidationError("--password",
                                     std::string("the kill password is needed: give "
                                                 "--password-file FILE or $") +
                                         kTagPasswordVariable + " (or --password HEX)");
      });
  kill.options->target.add_to(kill.app, "the tag's kill password, 8 hex digits");
  kill.app->add_flag("--yes", kill.options->yes, "kill without asking (for scripts)");
}

int set_privacy(Session &s, TagOptions &o) {
  const Result<Target> tag = app::set_privacy(s, o.target.target());
  if (!tag) return report(tag.error());
  std::printf("tag %s in privacy\n", tag->text().c_str());
  return kExitOk;
}

int reset_privacy(Session &s, PasswordOption &o) {
  if (const Status done = app::reset_privacy(s, o.bytes); !done) return report(done.error());
  std::printf("privacy reset\n");
  return kExitOk;
}

int check_privacy(Session &s, int &) {
  const Result<bool> hidden = app::check_privacy(s);
  if (!hidden) return report(hidden.error());
  std::printf("privacy state %d: %s\n", *hidden ? 1 : 0,
              *hidden ? "a tag is in privacy" : "no tag is in privacy");
  return kExitOk;
}

int configure_eas(Session &s, TagOptions &o, bool on) {
  const Result<Target> tag = app::set_eas(s, o.target.target(), on);
  if (!tag) return report(tag.error());
  std::printf("EAS bit %s on tag %s\n", on ? "set" : "cleared", tag->text().c_str());
  return kExitOk;
}

int eas_alarm(Session &s, int &) {
  const Result<bool> alarm = app::eas_alarm(s);
  if (!alarm) return report(alarm.error());
  std::printf(*alarm ? "EAS alarm\n" : "no EAS alarm\n");
  return *alarm ? kExitOk : kExitNothing;
}

void add_privacy_eas_commands(Cli &cli) {
  CLI::App *privacy =
      cli.app.add_subcommand("privacy", "hide tags from inventories, or show them again");
  privacy->require_subcommand(1);
  auto set = add_command<TagOptions>(
      cli, privacy, "set", "put a tag into privacy (the named one, else the only one in the field)",
      set_privacy, TargetOptions::check<TagOptions>);
  set.options->target.add_to(set.app);
  auto reset = add_command<PasswordOption>(
      cli, privacy, "reset", "take the tags the password opens out of privacy", reset_privacy);
  reset.options->add_to(reset.app);
  add_command<int>(cli, privacy, "check", "say whether a tag in the field is in privacy",
                   check_privacy);

  CLI::App *eas = cli.app.add_subcommand("eas", "the tags' EAS bit and the EAS alarm");
  eas->require_subcommand(1);
  for (const Name &mode : kOnOff) {
    const bool on = mode.value != 0;
    auto c = add_command<TagOptions>(
        cli, eas, mode.name,
        on ? "set a tag's EAS bit (it raises the alarm)" : "clear a tag's EAS bit",
        [on](Session &s, TagOptions &o) { return configure_eas(s, o, on); },
        TargetOptions::check<TagOptions>);
    c.options->target.add_to(c.app);
  }
  add_command<int>(cli, eas, "alarm", "say whether a tag with its EAS bit set is in the field",
                   eas_alarm);
}

}  // namespace

void add_gen2_commands(Cli &cli) {
  add_memory_commands(cli);
  add_epc_lock_kill_commands(cli);
  add_privacy_eas_commands(cli);
}

}  // namespace velkor::tool
