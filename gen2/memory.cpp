// Gen2 memory access: read, write, block write, erase and the EPC rewrite.
#include <algorithm>

#include "gen2/tag_addressing.h"

using namespace velkor;

namespace {

// The most identifier words WriteEPC_G2 takes (a length byte of at most 59).
constexpr unsigned kMaxNewEpcWords = 25;

// Where a command reads or writes: the bank, then a word pointer of one byte
// or (the extended commands) two bytes in memory order.
struct Area {
  std::uint8_t bank;
  const std::uint8_t *pointer;
  std::size_t pointer_size;
};

Frame &put_area(Frame &frame, const Area &area) {
  return frame.u8(area.bank).bytes(area.pointer, area.pointer_size);
}

// Copies the words read, but never more than the caller asked for: the
// caller's buffer is sized for word_count words, whatever the reader sends.
auto words_out(std::uint8_t *data, std::uint8_t word_count) {
  return [=](const Reply &r) {
    const std::size_t sent = r.length() >= 5 ? r.length() - 5u : 0u;
    r.copy_data(0, data, std::min<std::size_t>(sent, 2u * word_count));
  };
}

// The fields of the read and erase requests: area, word count, password.
auto counted_area(const Area &area, std::uint8_t word_count, const std::uint8_t *password) {
  return [=](Frame &f) { put_password(put_area(f, area).u8(word_count), password); };
}

int read_words(std::uint8_t *address, std::uint8_t command, const TagAddress &tag,
               const Area &area, std::uint8_t word_count, const std::uint8_t *password,
               std::uint8_t *data, int *error_code, VelkorHandle handle) {
  Frame frame(address, command);
  return tag_exchange(frame, tag, counted_area(area, word_count, password), handle,
                      tag_rules(kOutputsOnSuccess, error_code), words_out(data, word_count));
}

// The write functions put the word count ahead of E.
int write_words(std::uint8_t *address, std::uint8_t command, const TagAddress &tag,
                const Area &area, std::uint8_t word_count, const std::uint8_t *data,
                const std::uint8_t *password, int *error_code, VelkorHandle handle) {
  Frame frame(address, command);
  frame.u8(word_count);
  return tag_exchange(
      frame, tag,
      [&](Frame &f) { put_password(put_area(f, area).bytes(data, 2u * word_count), password); },
      handle, tag_rules(kOutputsOnSuccess, error_code));
}

}  // namespace

int VELKOR_CALL ReadData_G2(unsigned char *address, unsigned char *epc,
                            unsigned char enum_words, unsigned char mem,
                            unsigned char word_ptr, unsigned char word_count,
                            unsigned char *password, unsigned char mask_mem,
                            unsigned char *mask_addr, unsigned char mask_len,
                            unsigned char *mask_data, unsigned char *data,
                            int *error_code, VelkorHandle handle) {
  return read_words(address, 0x02, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                    {mem, &word_ptr, 1}, word_count, password, data, error_code, handle);
}

int VELKOR_CALL ExtReadData_G2(unsigned char *address, unsigned char *epc,
                               unsigned char enum_words, unsigned char mem,
                               unsigned char *word_ptr, unsigned char word_count,
                               unsigned char *password, unsigned char mask_mem,
                               unsigned char *mask_addr, unsigned char mask_len,
                               unsigned char *mask_data, unsigned char *data,
                               int *error_code, VelkorHandle handle) {
  return read_words(address, 0x15, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                    {mem, word_ptr, 2}, word_count, password, data, error_code, handle);
}

int VELKOR_CALL WriteData_G2(unsigned char *address, unsigned char *epc,
                             unsigned char word_count, unsigned char enum_words,
                             unsigned char mem, unsigned char word_ptr,
                             unsigned char *data, unsigned char *password,
                             unsigned char mask_mem, unsigned char *mask_addr,
                             unsigned char mask_len, unsigned char *mask_data,
                             int *error_code, VelkorHandle handle) {
  return write_words(address, 0x03, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                     {mem, &word_ptr, 1}, word_count, data, password, error_code, handle);
}

int VELKOR_CALL BlockWrite_G2(unsigned char *address, unsigned char *epc,
                              unsigned char word_count, unsigned char enum_words,
                              unsigned char mem, unsigned char word_ptr,
                              unsigned char *data, unsigned char *password,
                              unsigned char mask_mem, unsigned char *mask_addr,
                              unsigned char mask_len, unsigned char *mask_data,
                              int *error_code, VelkorHandle handle) {
  return write_words(address, 0x10, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                     {mem, &word_ptr, 1}, word_count, data, password, error_code, handle);
}

int VELKOR_CALL ExtWriteData_G2(unsigned char *address, unsigned char *epc,
                                unsigned char word_count, unsigned char enum_words,
                                unsigned char mem, unsigned char *word_ptr,
                                unsigned char *data, unsigned char *password,
                                unsigned char mask_mem, unsigned char *mask_addr,
                                unsigned char mask_len, unsigned char *mask_data,
                                int *error_code, VelkorHandle handle) {
  return write_words(address, 0x16, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                     {mem, word_ptr, 2}, word_count, data, password, error_code, handle);
}

int VELKOR_CALL BlockErase_G2(unsigned char *address, unsigned char *epc,
                              unsigned char enum_words, unsigned char mem,
                              unsigned char word_ptr, unsigned char word_count,
                              unsigned char *password, unsigned char mask_mem,
                              unsigned char *mask_addr, unsigned char mask_len,
                              unsigned char *mask_data, int *error_code,
                              VelkorHandle handle) {
  Frame frame(address, 0x07);
  return tag_exchange(frame, {epc, enum_words, {mask_mem, mask_addr, mask_len, mask_data}},
                      counted_area({mem, &word_ptr, 1}, word_count, password), handle,
                      tag_rules(kNoAddress, error_code));
}

int VELKOR_CALL WriteEPC_G2(unsigned char *address, unsigned char *password,
                            unsigned char *new_epc, unsigned char enum_words,
                            int *error_code, VelkorHandle handle) {
  // Here E counts the words of the identifier written, not tag addressing:
  // there is no mask form, and the password comes first.
  if (enum_words > kMaxNewEpcWords) return STATUS_PARAMETER_ERROR;
  Frame frame(address, 0x04);
  put_password(frame.u8(enum_words), password).bytes(new_epc, 2u * enum_words);
  return exchange(frame, handle, tag_rules(kNoAddress, error_code));
}
