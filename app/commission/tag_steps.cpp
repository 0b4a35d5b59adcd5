#include "app/commission/tag_steps.h"

#include "app/tags/inventory_round.h"
#include "app/tags/tag_operations.h"

namespace velkor::app {

namespace {

// EPC bank words: the stored CRC, the PC word, then the EPC.
constexpr int kPcWord = 1;
constexpr int kEpcWord = 2;
// Reserved bank: the access password's two words.
constexpr int kAccessPasswordWord = 2;
// PC word: the EPC's length in words in its top five bits.
constexpr unsigned kLengthShift = 11;

// The tag named by its TID, through a mask over the TID bank from bit 0.
Target by_tid(const Bytes &tid, Bytes password = Bytes(4, 0)) {
  Target t;
  t.mask = {VELKOR_BANK_TID, 0, tid, -1};
  t.password = std::move(password);
  return t;
}

// The step's name on a failure.
template <typename T>
Error in_step(const Result<T> &r, const char *step) {
  Error e = r.error();
  e.operation = step;
  return e;
}

unsigned length_of(unsigned pc) { return pc >> kLengthShift; }

}  // namespace

Result<Bytes> read_tid(Session &s, const Bytes &epc) {
  Target t;
  t.epc = epc;
  const Result<Bytes> tid = read_memory(s, t, VELKOR_BANK_TID, 0, kTidWords);
  if (!tid) return in_step(tid, "TID read");
  return tid;
}

Status commission_tag(Session &s, const TagWork &work, const std::function<void()> &after_write) {
  const int words = static_cast<int>(work.epc.size() / 2);
  // What the tag holds now: its PC word and as much EPC as the new one.
  const Result<Bytes> now = read_memory(s, by_tid(work.tid), VELKOR_BANK_EPC, kPcWord, 1 + words);
  if (!now) return in_step(now, "read-back");
  const unsigned pc = (unsigned{(*now)[0]} << 8) | (*now)[1];
  const bool same_length = length_of(pc) == unsigned(words);
  if (!same_length || Bytes(now->begin() + 2, now->end()) != work.epc) {
    Bytes data = work.epc;
    if (!same_length) {
      const unsigned new_pc = (pc & ((1u << kLengthShift) - 1)) | (unsigned(words) << kLengthShift);
      data.insert(data.begin(), {static_cast<unsigned char>(new_pc >> 8),
                                 static_cast<unsigned char>(new_pc)});
    }
    const Result<Target> written = write_memory(s, by_tid(work.tid), VELKOR_BANK_EPC,
                                                same_length ? kEpcWord : kPcWord, data);
    if (!written) return in_step(written, "EPC write");
  }
  after_write();

  const Result<Bytes> back = read_memory(s, by_tid(work.tid), VELKOR_BANK_EPC, kPcWord, 1 + words);
  if (!back) return in_step(back, "read-back");
  const unsigned back_pc = (unsigned{(*back)[0]} << 8) | (*back)[1];
  if (length_of(back_pc) != unsigned(words) || Bytes(back->begin() + 2, back->end()) != work.epc)
    return Error::because(ErrorKind::kConflict, "read-back",
                          "the tag holds " + to_hex(Bytes(back->begin() + 2, back->end())) +
                              " (PC " + to_hex(Bytes(back->begin(), back->begin() + 2)) + ")");

  if (work.access_password.empty()) return {};
  // A tag finished after an interrupted run may hold the password, and have
  // it locked, already: then only the password itself opens the field.
  Result<Target> set = write_memory(s, by_tid(work.tid), VELKOR_BANK_RESERVED,
                                    kAccessPasswordWord, work.access_password);
  if (!set && set.error().kind != ErrorKind::kNoTag)
    set = write_memory(s, by_tid(work.tid, work.access_password), VELKOR_BANK_RESERVED,
                       kAccessPasswordWord, work.access_password);
  if (!set) return in_step(set, "access password");
  for (int field : work.lock) {
    const Result<Target> locked =
        lock_tag(s, by_tid(work.tid, work.access_password), field, VELKOR_LOCK_SECURED);
    if (!locked) return in_step(locked, "lock");
  }
  return {};
}

}  // namespace velkor::app
