// Tag privacy and EAS (electronic article surveillance).  The privacy
// commands never write the reader address; the EAS commands write it on
// status 0.
#include "gen2/tag_addressing.h"

using namespace velkor;

namespace {

// The privacy commands that name no tag carry the password alone.
int password_only(std::uint8_t *address, std::uint8_t command,
                  const std::uint8_t *password, int *error_code, VelkorHandle handle) {
  Frame frame(address, command);
  put_password(frame, password);
  return exchange(frame, handle, tag_rules(kNoAddress, error_code));
}

}  // namespace

int VELKOR_CALL SetPrivacyByEPC_G2(unsigned char *address, unsigned char *epc,
                                   unsigned char enum_words, unsigned char *password,
                                   unsigned char mask_mem, unsigned char *mask_addr,
                                   unsigned char mask_len, unsigned char *mask_data,
                                   int *error_code, VelkorHandle handle) {
  Frame frame(address, 0x08);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      password_field(password), handle,
                      tag_rules(kNoAddress, error_code));
}

int VELKOR_CALL SetPrivacyWithoutEPC_G2(unsigned char *address, unsigned char *password,
                                        int *error_code, VelkorHandle handle) {
  return password_only(address, 0x09, password, error_code, handle);
}

int VELKOR_CALL ResetPrivacy_G2(unsigned char *address, unsigned char *password,
                                int *error_code, VelkorHandle handle) {
  return password_only(address, 0x0A, password, error_code, handle);
}

int VELKOR_CALL CheckPrivacy_G2(unsigned char *address, unsigned char *state,
                                int *error_code, VelkorHandle handle) {
  Frame frame(address, 0x0B);
  return exchange(frame, handle, tag_rules(kNoAddress, error_code),
                  [&](const Reply &r) { *state = r.data(0); });
}

int VELKOR_CALL EASConfigure_G2(unsigned char *address, unsigned char *epc,
                                unsigned char enum_words, unsigned char *password,
                                unsigned char eas, unsigned char mask_mem,
                                unsigned char *mask_addr, unsigned char mask_len,
                                unsigned char *mask_data, int *error_code,
                                VelkorHandle handle) {
  Frame frame(address, 0x0C);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      [&](Frame &f) { put_password(f, password).u8(eas); }, handle,
                      tag_rules(kOutputsOnSuccess, error_code));
}

int VELKOR_CALL EASAlarm_G2(unsigned char *address, int *error_code, VelkorHandle handle) {
  Frame frame(address, 0x0D);
  return exchange(frame, handle, tag_rules(kOutputsOnSuccess, error_code));
}
