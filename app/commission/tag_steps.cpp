#include "app/commission/tag_steps.h"

#include "app/base/status_text.h"

namespace velkor::app {

namespace {

// EPC bank words: the stored CRC, the PC word, then the EPC.
constexpr unsigned char kPcWord = 1;
constexpr unsigned char kEpcWord = 2;
// Reserved bank: the access password's two words.
constexpr unsigned char kAccessPasswordWord = 2;
// PC word: the EPC's length in words in its top five bits.
constexpr unsigned kLengthShift = 11;

StepOutcome outcome(const char *step, int status, int tag_error) {
  if (status == STATUS_OK) return {};
  return {status == 0xFB ? kStepNoTag : kStepFailed,
          std::string(step) + ": " + describe(status, tag_error)};
}

// The tag named by its TID, through a mask over the TID bank from bit 0.
class ByTid {
 public:
  explicit ByTid(const Bytes &tid) : tid_(tid) {}
  unsigned char bits() const { return static_cast<unsigned char>(8 * tid_.size()); }
  unsigned char *data() { return tid_.data(); }
  unsigned char *address() { return address_; }

 private:
  Bytes tid_;
  unsigned char address_[2] = {0, 0};
};

StepOutcome read_words(Session &s, const Bytes &tid, unsigned char bank, unsigned char pointer,
                       unsigned char count, Bytes *out) {
  ByTid target(tid);
  Bytes password(4, 0);
  out->assign(2u * count, 0);
  int error = -1;
  const int rc = ReadData_G2(s.address(), nullptr, 0xFF, bank, pointer, count, password.data(),
                             VELKOR_BANK_TID, target.address(), target.bits(), target.data(),
                             out->data(), &error, s.handle());
  return outcome("read-back", rc, error);
}

StepOutcome write_words(Session &s, const char *step, const Bytes &tid, unsigned char bank,
                        unsigned char pointer, Bytes data, Bytes password) {
  ByTid target(tid);
  int error = -1;
  const int rc = WriteData_G2(s.address(), nullptr, static_cast<unsigned char>(data.size() / 2),
                              0xFF, bank, pointer, data.data(), password.data(), VELKOR_BANK_TID,
                              target.address(), target.bits(), target.data(), &error,
                              s.handle());
  return outcome(step, rc, error);
}

unsigned length_of(unsigned pc) { return pc >> kLengthShift; }

}  // namespace

StepOutcome read_tid(Session &s, Bytes epc, Bytes *tid) {
  Bytes password(4, 0);
  tid->assign(2u * kTidWords, 0);
  int error = -1;
  unsigned char none = 0;
  const int rc = ReadData_G2(s.address(), epc.data(), static_cast<unsigned char>(epc.size() / 2),
                             VELKOR_BANK_TID, 0, kTidWords, password.data(), 0, &none, 0, &none,
                             tid->data(), &error, s.handle());
  return outcome("TID read", rc, error);
}

StepOutcome commission_tag(Session &s, const TagWork &work,
                           const std::function<void()> &after_write) {
  const auto words = static_cast<unsigned char>(work.epc.size() / 2);
  // What the tag holds now: its PC word and as much EPC as the new one.
  Bytes now;
  if (StepOutcome o = read_words(s, work.tid, VELKOR_BANK_EPC, kPcWord, 1 + words, &now); !o.ok())
    return o;
  const unsigned pc = (unsigned{now[0]} << 8) | now[1];
  const bool same_length = length_of(pc) == words;
  if (!same_length || Bytes(now.begin() + 2, now.end()) != work.epc) {
    Bytes data = work.epc;
    if (!same_length) {
      const unsigned new_pc = (pc & ((1u << kLengthShift) - 1)) | (unsigned{words} << kLengthShift);
      data.insert(data.begin(), {static_cast<unsigned char>(new_pc >> 8),
                                 static_cast<unsigned char>(new_pc)});
    }
    if (StepOutcome o = write_words(s, "EPC write", work.tid, VELKOR_BANK_EPC,
                                    same_length ? kEpcWord : kPcWord, data, Bytes(4, 0));
        !o.ok())
      return o;
  }
  after_write();

  Bytes back;
  if (StepOutcome o = read_words(s, work.tid, VELKOR_BANK_EPC, kPcWord, 1 + words, &back); !o.ok())
    return o;
  const unsigned back_pc = (unsigned{back[0]} << 8) | back[1];
  if (length_of(back_pc) != words || Bytes(back.begin() + 2, back.end()) != work.epc)
    return {kStepFailed, "read-back: the tag holds " +
                             to_hex(Bytes(back.begin() + 2, back.end())) + " (PC " +
                             to_hex(Bytes(back.begin(), back.begin() + 2)) + ")"};

  if (work.access_password.empty()) return {};
  // A tag finished after an interrupted run may hold the password, and have
  // it locked, already: then only the password itself opens the field.
  StepOutcome set = write_words(s, "access password", work.tid, VELKOR_BANK_RESERVED,
                                kAccessPasswordWord, work.access_password, Bytes(4, 0));
  if (!set.ok() && set.exit_code == kStepFailed)
    set = write_words(s, "access password", work.tid, VELKOR_BANK_RESERVED, kAccessPasswordWord,
                      work.access_password, work.access_password);
  if (!set.ok()) return set;
  for (int field : work.lock) {
    ByTid target(work.tid);
    Bytes password = work.access_password;
    int error = -1;
    const int rc = Lock_G2(s.address(), nullptr, 0xFF, static_cast<unsigned char>(field),
                           VELKOR_LOCK_SECURED, password.data(), VELKOR_BANK_TID,
                           target.address(), target.bits(), target.data(), &error, s.handle());
    if (StepOutcome o = outcome("lock", rc, error); !o.ok()) return o;
  }
  return {};
}

}  // namespace velkor::app
