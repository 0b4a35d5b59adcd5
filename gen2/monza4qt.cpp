// The Monza 4QT work parameter.  The tag is named as for the privacy
// commands; the parameter travels as 0x00 then the parameter byte, and comes
// back as reply byte 5.
#include "gen2/tag_addressing.h"

using namespace velkor;

int VELKOR_CALL GetMonza4QTWorkParamter_G2(unsigned char *address, unsigned char *epc,
                                           unsigned char enum_words, unsigned char *password,
                                           unsigned char mask_mem, unsigned char *mask_addr,
                                           unsigned char mask_len, unsigned char *mask_data,
                                           unsigned char *work_param, int *error_code,
                                           VelkorHandle handle) {
  Frame frame(address, 0x11);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      password_field(password), handle,
                      tag_rules(kOutputsOnSuccess, error_code),
                      [&](const Reply &r) { *work_param = r.data(1); });
}

int VELKOR_CALL SetMonza4QTWorkParamter_G2(unsigned char *address, unsigned char *epc,
                                           unsigned char enum_words, unsigned char work_param,
                                           unsigned char *password, unsigned char mask_mem,
                                           unsigned char *mask_addr, unsigned char mask_len,
                                           unsigned char *mask_data, int *error_code,
                                           VelkorHandle handle) {
  Frame frame(address, 0x12);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      [&](Frame &f) { put_password(f.u8(0x00).u8(work_param), password); },
                      handle, tag_rules(kOutputsOnSuccess, error_code));
}
