#include "app/c_api/convert.h"

#include <algorithm>
#include <cstring>

namespace velkor::app::c_api {

// The C API's error codes are the kinds' order, from 1.
static_assert(int(ErrorKind::kReader) + 1 == VELKOR_APP_E_READER);
static_assert(int(ErrorKind::kSeveralTags) + 1 == VELKOR_APP_E_SEVERAL_TAGS);
static_assert(int(ErrorKind::kConflict) + 1 == VELKOR_APP_E_CONFLICT);

void copy_text(const std::string &text, char *out, std::size_t room) {
  if (!out || room == 0) return;
  const std::size_t n = std::min(text.size(), room - 1);
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

int fail(const Error &e, velkor_app_error *out) {
  const int code = static_cast<int>(e.kind) + 1;  // ErrorKind's order is the codes'
  if (out) {
    out->kind = code;
    out->status = e.status;
    out->tag_error = e.tag_error;
    out->tags = e.tags;
    copy_text(e.words, out->words, sizeof out->words);
    copy_text(e.operation, out->operation, sizeof out->operation);
  }
  return code;
}

int succeed(velkor_app_error *out) {
  if (out) *out = velkor_app_error{VELKOR_APP_OK, 0, -1, 0, {}, {}};
  return VELKOR_APP_OK;
}

int bad_argument(const char *operation, const char *words, velkor_app_error *out) {
  return fail(Error::because(ErrorKind::kBadInput, operation, words), out);
}

Mask mask_of(const velkor_app_mask *m) {
  Mask mask;
  if (!m || m->length <= 0) return mask;
  mask.bank = m->bank;
  mask.bit_address = m->bit_address;
  mask.bits = m->bits;
  mask.bytes.assign(m->bytes, m->bytes + std::min(m->length, VELKOR_APP_MASK_ROOM));
  return mask;
}

void put_mask(const Mask &mask, velkor_app_mask *out) {
  *out = velkor_app_mask{mask.bank, mask.bit_address, mask.bits, 0, {}};
  out->length = static_cast<int>(std::min<std::size_t>(mask.bytes.size(), VELKOR_APP_MASK_ROOM));
  std::copy_n(mask.bytes.begin(), out->length, out->bytes);
}

Target target_of(const velkor_app_target *t) {
  Target target;
  if (!t) return target;
  const int epc = std::clamp(t->epc_length, 0, int(sizeof t->epc));
  target.epc.assign(t->epc, t->epc + epc);
  target.mask = mask_of(&t->mask);
  target.password.assign(t->password, t->password + 4);
  return target;
}

void put_target(const Target &target, velkor_app_target *out) {
  if (!out) return;
  *out = velkor_app_target{};
  out->epc_length = static_cast<int>(std::min(target.epc.size(), sizeof out->epc));
  std::copy_n(target.epc.begin(), out->epc_length, out->epc);
  put_mask(target.mask, &out->mask);
  std::copy_n(target.password.begin(), std::min<std::size_t>(4, target.password.size()),
              out->password);
}

void put_info(const ReaderInfo &info, velkor_app_info *out) {
  *out = velkor_app_info{};
  std::copy(info.block.begin(), info.block.end(), out->block);
  std::copy(info.serial.begin(), info.serial.end(), out->serial);
  out->firmware_major = info.firmware_major;
  out->firmware_minor = info.firmware_minor;
  out->type = info.type;
  out->gen2 = info.gen2;
  out->iso6b = info.iso6b;
  out->region = {info.region.region, info.region.lowest, info.region.highest};
  out->packed = {info.packed.region, info.packed.lowest, info.packed.highest};
  out->power_dbm = info.power_dbm;
  out->scan_time_ms = info.scan_time_ms;
  out->antenna = info.antenna;
  out->beep = info.beep;
  out->comm_type = info.comm_type;
}

ReaderInfo info_of(const velkor_app_info &c) {
  std::array<unsigned char, kInfoBlockBytes> block{};
  std::copy(c.block, c.block + kInfoBlockBytes, block.begin());
  ReaderInfo info = decode_info(block);
  std::copy(c.serial, c.serial + 4, info.serial.begin());
  return info;
}

}  // namespace velkor::app::c_api
