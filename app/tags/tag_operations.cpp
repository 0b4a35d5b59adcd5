#include "app/tags/tag_operations.h"

namespace velkor::app {

namespace {

// The settled target when the call succeeded, else its status.
Result<Target> changed(int status, int tag_error, const char *operation, Target target) {
  if (status != STATUS_OK) return Error::from_status(status, operation, tag_error);
  return target;
}

}  // namespace

Result<Bytes> read_memory(Session &s, const Target &target, int bank, int pointer, int words) {
  TargetArgs t(target);
  Bytes data(2u * static_cast<unsigned>(words));
  int error = -1;
  unsigned char at[2] = {to_byte(pointer >> 8), to_byte(pointer)};
  const int rc =
      pointer > kShortPointer
          ? ExtReadData_G2(s.address(), t.epc(), t.words(), to_byte(bank), at, to_byte(words),
                           t.password(), t.bank(), t.mask_address(), t.mask_bits(), t.mask(),
                           data.data(), &error, s.handle())
          : ReadData_G2(s.address(), t.epc(), t.words(), to_byte(bank), at[1], to_byte(words),
                        t.password(), t.bank(), t.mask_address(), t.mask_bits(), t.mask(),
                        data.data(), &error, s.handle());
  if (rc != STATUS_OK) return Error::from_status(rc, "read", error);
  return data;
}

Result<Target> write_memory(Session &s, const Target &target, int bank, int pointer,
                            const Bytes &data) {
  const Result<Target> settled = settle_target(s, target, "write");
  if (!settled) return settled;
  TargetArgs t(*settled);
  Bytes words = data;
  int error = -1;
  unsigned char at[2] = {to_byte(pointer >> 8), to_byte(pointer)};
  const auto count = to_byte(static_cast<int>(data.size() / 2));
  const int rc =
      pointer > kShortPointer
          ? ExtWriteData_G2(s.address(), t.epc(), count, t.words(), to_byte(bank), at,
                            words.data(), t.password(), t.bank(), t.mask_address(),
                            t.mask_bits(), t.mask(), &error, s.handle())
          : WriteData_G2(s.address(), t.epc(), count, t.words(), to_byte(bank), at[1], words.data(),
                         t.password(), t.bank(), t.mask_address(), t.mask_bits(), t.mask(),
                         &error, s.handle());
  return changed(rc, error, "write", *settled);
}

Result<Target> erase_memory(Session &s, const Target &target, int bank, int pointer, int words) {
  const Result<Target> settled = settle_target(s, target, "erase");
  if (!settled) return settled;
  TargetArgs t(*settled);
  int error = -1;
  const int rc = BlockErase_G2(s.address(), t.epc(), t.words(), to_byte(bank), to_byte(pointer),
                               to_byte(words), t.password(), t.bank(), t.mask_address(),
                               t.mask_bits(), t.mask(), &error, s.handle());
  return changed(rc, error, "erase", *settled);
}

Result<Target> write_epc(Session &s, const Target &target, const Bytes &new_epc) {
  const Result<Target> settled = settle_target(s, target, "write-epc");
  if (!settled) return settled;
  Bytes epc = new_epc;
  const auto words = to_byte(static_cast<int>(new_epc.size() / 2));
  if (!target.named()) {
    // The only tag in the field: the EPC write command reaches it unnamed.
    TargetArgs t(*settled);
    int error = -1;
    const int rc = WriteEPC_G2(s.address(), t.password(), epc.data(), words, &error, s.handle());
    return changed(rc, error, "write-epc", *settled);
  }
  // A named tag: its PC word (the length in its top five bits) and the EPC
  // after it, written through the EPC bank.
  const Result<Bytes> pc = read_memory(s, *settled, VELKOR_BANK_EPC, 1, 1);
  if (!pc) return pc.error();
  const unsigned old_pc = (unsigned{(*pc)[0]} << 8) | (*pc)[1];
  const unsigned new_pc = (old_pc & 0x07FFu) | (unsigned{words} << 11);
  epc.insert(epc.begin(), {to_byte(static_cast<int>(new_pc >> 8)), to_byte(static_cast<int>(new_pc))});
  const Result<Target> written = write_memory(s, *settled, VELKOR_BANK_EPC, 1, epc);
  if (!written) {
    Error e = written.error();
    e.operation = "write-epc";
    return e;
  }
  return written;
}

Result<Target> lock_tag(Session &s, const Target &target, int field, int action) {
  const Result<Target> settled = settle_target(s, target, "lock");
  if (!settled) return settled;
  TargetArgs t(*settled);
  int error = -1;
  const int rc = Lock_G2(s.address(), t.epc(), t.words(), to_byte(field), to_byte(action),
                         t.password(), t.bank(), t.mask_address(), t.mask_bits(), t.mask(),
                         &error, s.handle());
  return changed(rc, error, "lock", *settled);
}

Result<Target> kill_tag(Session &s, const Target &target) {
  const Result<Target> settled = settle_target(s, target, "kill");
  if (!settled) return settled;
  TargetArgs t(*settled);
  int error = -1;
  const int rc = KillTag_G2(s.address(), t.epc(), t.words(), t.password(), t.bank(),
                            t.mask_address(), t.mask_bits(), t.mask(), &error, s.handle());
  return changed(rc, error, "kill", *settled);
}

Result<Target> set_privacy(Session &s, const Target &target) {
  const Result<Target> settled = settle_target(s, target, "privacy set");
  if (!settled) return settled;
  TargetArgs t(*settled);
  int error = -1;
  const int rc = SetPrivacyByEPC_G2(s.address(), t.epc(), t.words(), t.password(), t.bank(),
                                    t.mask_address(), t.mask_bits(), t.mask(), &error,
                                    s.handle());
  return changed(rc, error, "privacy set", *settled);
}

Result<Target> set_eas(Session &s, const Target &target, bool on) {
  const Result<Target> settled = settle_target(s, target, "eas");
  if (!settled) return settled;
  TargetArgs t(*settled);
  int error = -1;
  const int rc = EASConfigure_G2(s.address(), t.epc(), t.words(), t.password(), on ? 1 : 0,
                                 t.bank(), t.mask_address(), t.mask_bits(), t.mask(), &error,
                                 s.handle());
  return changed(rc, error, "eas", *settled);
}

Result<Target> block_lock(Session &s, const Target &target, int block) {
  const Result<Target> settled = settle_target(s, target, "block lock");
  if (!settled) return settled;
  TargetArgs t(*settled);
  int error = -1;
  const int rc = BlockLock_G2(s.address(), t.epc(), t.words(), t.password(), to_byte(block),
                              t.bank(), t.mask_address(), t.mask_bits(), t.mask(), &error,
                              s.handle());
  return changed(rc, error, "block lock", *settled);
}

Status reset_privacy(Session &s, const Bytes &password) {
  Bytes p = password;
  p.resize(4);
  int error = -1;
  const int rc = ResetPrivacy_G2(s.address(), p.data(), &error, s.handle());
  if (rc != STATUS_OK) return Error::from_status(rc, "privacy reset", error);
  return {};
}

Result<bool> check_privacy(Session &s) {
  unsigned char state = 0;
  int error = -1;
  const int rc = CheckPrivacy_G2(s.address(), &state, &error, s.handle());
  if (rc != STATUS_OK) return Error::from_status(rc, "privacy check", error);
  return state != 0;
}

Result<bool> eas_alarm(Session &s) {
  int error = -1;
  const int rc = EASAlarm_G2(s.address(), &error, s.handle());
  if (rc == VELKOR_STATUS_NO_TAG) return false;  // the reader's way of saying no alarm
  if (rc != STATUS_OK) return Error::from_status(rc, "eas alarm", error);
  return true;
}

}  // namespace velkor::app
