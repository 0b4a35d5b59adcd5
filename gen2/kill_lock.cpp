// Gen2 kill and lock.  None of them writes the reader address back.
#include "gen2/tag_addressing.h"

using namespace velkor;

int VELKOR_CALL KillTag_G2(unsigned char *address, unsigned char *epc,
                           unsigned char enum_words, unsigned char *kill_password,
                           unsigned char mask_mem, unsigned char *mask_addr,
                           unsigned char mask_len, unsigned char *mask_data,
                           int *error_code, VelkorHandle handle) {
  Frame frame(address, 0x05);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      password_field(kill_password), handle,
                      tag_rules(kNoAddress, error_code));
}

int VELKOR_CALL Lock_G2(unsigned char *address, unsigned char *epc,
                        unsigned char enum_words, unsigned char select,
                        unsigned char set_protect, unsigned char *password,
                        unsigned char mask_mem, unsigned char *mask_addr,
                        unsigned char mask_len, unsigned char *mask_data,
                        int *error_code, VelkorHandle handle) {
  // The two lock bytes travel ahead of the password.
  Frame frame(address, 0x06);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      [&](Frame &f) { put_password(f.u8(select).u8(set_protect), password); },
                      handle, tag_rules(kNoAddress, error_code));
}

int VELKOR_CALL BlockLock_G2(unsigned char *address, unsigned char *epc,
                             unsigned char enum_words, unsigned char *password,
                             unsigned char block_param, unsigned char mask_mem,
                             unsigned char *mask_addr, unsigned char mask_len,
                             unsigned char *mask_data, int *error_code,
                             VelkorHandle handle) {
  // The block-lock byte travels after the password.
  Frame frame(address, 0x0E);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      [&](Frame &f) { put_password(f, password).u8(block_param); }, handle,
                      tag_rules(kNoAddress, error_code));
}
