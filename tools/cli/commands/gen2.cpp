// Gen2 tag commands: read, write, erase, write-epc, lock, kill, privacy, eas.
// Each names its tag by --epc or a mask (tag_target.h), or takes the first
// tag that answers.
#include <cstdio>
#include <vector>

#include "tools/cli/cli.h"
#include "tools/cli/commands/tag_guard.h"
#include "tools/cli/commands/tag_target.h"
#include "tools/cli/output/json_output.h"
#include "tools/cli/output/tag_output.h"
#include "tools/cli/password_options.h"

namespace velkor::tool {

namespace {

// Word pointers above one byte go through the extended commands.
constexpr int kShortPointer = 0xFF;
// The most words one read reply carries.
constexpr int kMostReadWords = 120;

const Names kLockFields = {{"kill", 0}, {"access", 1}, {"epc", 2}, {"tid", 3}, {"user", 4}};
const Names kLockActions = {{"unlock", 0}, {"permaunlock", 1}, {"lock", 2}, {"permalock", 3}};

struct MemoryOptions {
  TargetOptions target;
  std::string which;  ///< the tag, in words, once settled
  int bank = 0;
  int pointer = 0;
  int words = 1;
  Bytes data;
  bool json = false;

  std::array<unsigned char, 2> long_pointer() const {
    return {static_cast<unsigned char>(pointer >> 8), static_cast<unsigned char>(pointer)};
  }
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
  PasswordOption password;
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
  TargetOptions &t = o.target;
  MaskOptions &m = t.mask;
  std::vector<unsigned char> data(2u * static_cast<unsigned>(o.words));
  int error = -1;
  const auto bank = static_cast<unsigned char>(o.bank);
  const auto words = static_cast<unsigned char>(o.words);
  std::array<unsigned char, 2> pointer = o.long_pointer();
  const int rc =
      o.pointer > kShortPointer
          ? ExtReadData_G2(s.address(), t.epc_data(), t.enum_words(), bank, pointer.data(),
                           words, t.password.data(), m.memory(), m.address(), m.bit_count(),
                           m.data(), data.data(), &error, s.handle())
          : ReadData_G2(s.address(), t.epc_data(), t.enum_words(), bank, pointer[1], words,
                        t.password.data(), m.memory(), m.address(), m.bit_count(), m.data(),
                        data.data(), &error, s.handle());
  if (rc != STATUS_OK) return check("read", rc, error);
  if (o.json) {
    print_json({{"bank", o.bank}, {"addr", o.pointer}, {"words", o.words}, {"data", to_hex(data)}});
    return kExitOk;
  }
  for (int i = 0; i < o.words; ++i)
    std::printf("%s%s", i ? " " : "", to_hex(&data[2u * unsigned(i)], 2).c_str());
  std::printf("\n");
  return kExitOk;
}

int write_memory(Session &s, MemoryOptions &o) {
  TargetOptions &t = o.target;
  if (const int rc = settle_target(s, t, "write", &o.which); rc != kExitOk) return rc;
  MaskOptions &m = t.mask;
  int error = -1;
  const auto words = static_cast<unsigned char>(o.data.size() / 2);
  const auto bank = static_cast<unsigned char>(o.bank);
  std::array<unsigned char, 2> pointer = o.long_pointer();
  const int rc =
      o.pointer > kShortPointer
          ? ExtWriteData_G2(s.address(), t.epc_data(), words, t.enum_words(), bank,
                            pointer.data(), o.data.data(), t.password.data(), m.memory(),
                            m.address(), m.bit_count(), m.data(), &error, s.handle())
          : WriteData_G2(s.address(), t.epc_data(), words, t.enum_words(), bank, pointer[1],
                         o.data.data(), t.password.data(), m.memory(), m.address(),
                         m.bit_count(), m.data(), &error, s.handle());
  if (rc != STATUS_OK) return check("write", rc, error);
  std::printf("wrote %s to tag %s\n", counted(words, "word").c_str(), o.which.c_str());
  return kExitOk;
}

int erase_memory(Session &s, MemoryOptions &o) {
  TargetOptions &t = o.target;
  if (const int rc = settle_target(s, t, "erase", &o.which); rc != kExitOk) return rc;
  MaskOptions &m = t.mask;
  int error = -1;
  const int rc = BlockErase_G2(s.address(), t.epc_data(), t.enum_words(),
                               static_cast<unsigned char>(o.bank),
                               static_cast<unsigned char>(o.pointer),
                               static_cast<unsigned char>(o.words), t.password.data(),
                               m.memory(), m.address(), m.bit_count(), m.data(), &error,
                               s.handle());
  if (rc != STATUS_OK) return check("erase", rc, error);
  std::printf("erased %s of tag %s\n", counted(std::size_t(o.words), "word").c_str(),
              o.which.c_str());
  return kExitOk;
}

void add_memory_commands(Cli &cli) {
  const Check check_target = TargetOptions::check<MemoryOptions>;
  auto read = add_command<MemoryOptions>(cli, &cli.app, "read",
                                         "read words of a tag's memory bank", read_memory,
                                         check_target);
  add_memory_options(read, 0xFFFF);
  add_number(read.app, "--words", read.options->words, 1, kMostReadWords,
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
  add_memory_options(erase, kShortPointer);
  add_number(erase.app, "--words", erase.options->words, 1, 255, "how many words (default 1)");
}

int write_epc(Session &s, WriteEpcOptions &o) {
  // The command names no tag: whichever answers takes the EPC.
  Bytes old;
  if (const int rc = only_tag(s, "write-epc", &old); rc != kExitOk) return rc;
  int error = -1;
  const int rc = WriteEPC_G2(s.address(), o.password.data(), o.epc.data(),
                             static_cast<unsigned char>(o.epc.size() / 2), &error, s.handle());
  if (rc != STATUS_OK) return check("write-epc", rc, error);
  std::printf("EPC of tag %s is now %s\n", to_hex(old).c_str(), to_hex(o.epc).c_str());
  return kExitOk;
}

int lock_tag(Session &s, LockOptions &o) {
  TargetOptions &t = o.target;
  std::string which;
  if (const int rc = settle_target(s, t, "lock", &which); rc != kExitOk) return rc;
  const std::string action = std::string(kLockActions[std::size_t(o.action)].name) + " " +
                             kLockFields[std::size_t(o.field)].name;
  if (permanent(o.action) && !confirmed(action, which, o.yes)) return kExitUsage;
  MaskOptions &m = t.mask;
  int error = -1;
  const int rc = Lock_G2(s.address(), t.epc_data(), t.enum_words(),
                         static_cast<unsigned char>(o.field), static_cast<unsigned char>(o.action),
                         t.password.data(), m.memory(), m.address(), m.bit_count(), m.data(),
                         &error, s.handle());
  if (rc != STATUS_OK) return check("lock", rc, error);
  std::printf("%s: %s on tag %s\n", kLockFields[std::size_t(o.field)].name,
              kLockActions[std::size_t(o.action)].name, which.c_str());
  return kExitOk;
}

int kill_tag(Session &s, TagOptions &o) {
  TargetOptions &t = o.target;
  std::string which;
  if (const int rc = settle_target(s, t, "kill", &which); rc != kExitOk) return rc;
  if (!confirmed("kill", which, o.yes)) return kExitUsage;
  MaskOptions &m = t.mask;
  int error = -1;
  const int rc = KillTag_G2(s.address(), t.epc_data(), t.enum_words(), t.password.data(),
                            m.memory(), m.address(), m.bit_count(), m.data(), &error,
                            s.handle());
  if (rc != STATUS_OK) return check("kill", rc, error);
  std::printf("tag %s killed\n", which.c_str());
  return kExitOk;
}

void add_epc_lock_kill_commands(Cli &cli) {
  auto epc = add_command<WriteEpcOptions>(cli, &cli.app, "write-epc",
                                          "give the tag in the field a new EPC", write_epc);
  add_hex(epc.app, "epc", epc.options->epc, 2, 50, "the new EPC (hex, whole words)", true)
      ->required();
  epc.options->password.add_to(epc.app);

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
  TargetOptions &t = o.target;
  std::string which;
  if (const int rc = settle_target(s, t, "privacy set", &which); rc != kExitOk) return rc;
  MaskOptions &m = t.mask;
  int error = -1;
  const int rc =
      t.named() ? SetPrivacyByEPC_G2(s.address(), t.epc_data(), t.enum_words(),
                                     t.password.data(), m.memory(), m.address(), m.bit_count(),
                                     m.data(), &error, s.handle())
                : SetPrivacyWithoutEPC_G2(s.address(), t.password.data(), &error, s.handle());
  if (rc != STATUS_OK) return check("privacy set", rc, error);
  std::printf("tag %s in privacy\n", which.c_str());
  return kExitOk;
}

int reset_privacy(Session &s, PasswordOption &o) {
  int error = -1;
  const int rc = ResetPrivacy_G2(s.address(), o.data(), &error, s.handle());
  if (rc != STATUS_OK) return check("privacy reset", rc, error);
  std::printf("privacy reset\n");
  return kExitOk;
}

int check_privacy(Session &s, int &) {
  unsigned char state = 0;
  int error = -1;
  const int rc = CheckPrivacy_G2(s.address(), &state, &error, s.handle());
  if (rc != STATUS_OK) return check("privacy check", rc, error);
  std::printf("privacy state %u: %s\n", state,
              state ? "a tag is in privacy" : "no tag is in privacy");
  return kExitOk;
}

int configure_eas(Session &s, TagOptions &o, unsigned char on) {
  TargetOptions &t = o.target;
  std::string which;
  if (const int rc = settle_target(s, t, "eas", &which); rc != kExitOk) return rc;
  MaskOptions &m = t.mask;
  int error = -1;
  const int rc = EASConfigure_G2(s.address(), t.epc_data(), t.enum_words(), t.password.data(),
                                 on, m.memory(), m.address(), m.bit_count(), m.data(), &error,
                                 s.handle());
  if (rc != STATUS_OK) return check("eas", rc, error);
  std::printf("EAS bit %s on tag %s\n", on ? "set" : "cleared", which.c_str());
  return kExitOk;
}

int eas_alarm(Session &s, int &) {
  int error = -1;
  const int rc = EASAlarm_G2(s.address(), &error, s.handle());
  if (rc == 0xFB) {
    // The reader's way of saying that no tag raises the alarm.
    std::printf("no EAS alarm\n");
    return kExitNothing;
  }
  if (rc != STATUS_OK) return check("eas alarm", rc, error);
  std::printf("EAS alarm\n");
  return kExitOk;
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
    const auto on = static_cast<unsigned char>(mode.value);
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
