// Statuses and tag error codes in words: one table for the library, the tool
// and the bindings.  Every text is a constant; the generic ones ("reader
// status 0x42") are built at compile time, so a call never allocates.
#include <array>
#include <cstddef>

#include "velkor.h"

namespace {

struct Named {
  int code;
  const char *text;
};

constexpr Named kStatuses[] = {
    {STATUS_OK, "success"},
    {VELKOR_STATUS_INVENTORY_COMPLETE, "inventory complete"},
    {VELKOR_STATUS_INVENTORY_STOPPED, "inventory stopped at its scan time"},
    {VELKOR_STATUS_MORE_FRAMES, "more frames follow"},
    {VELKOR_STATUS_MEMORY_FULL, "the reader's tag memory is full"},
    {STATUS_COMM_ERROR, "no complete reply in time"},
    {STATUS_CRC_ERROR, "the reply failed its CRC check"},
    {STATUS_INVALID_HANDLE, "invalid device handle"},
    {STATUS_COMMAND_MISMATCH, "the reply answered another command"},
    {VELKOR_STATUS_INVENTORY_FAILED, "the reader's inventory failed"},
    {VELKOR_STATUS_INVENTORY_ABORTED, "the reader aborted its inventory"},
    {VELKOR_STATUS_TAG_UNREADABLE, "tags answered but could not be read"},
    {VELKOR_STATUS_NO_TAG, "no tag in the field"},
    {VELKOR_STATUS_TAG_ERROR, "tag error"},
    {VELKOR_STATUS_LENGTH_ERROR, "the reader rejected the command's length"},
    {VELKOR_STATUS_UNKNOWN_COMMAND, "the reader does not know this command"},
    {STATUS_PARAMETER_ERROR, "parameter out of range"},
};

constexpr Named kTagErrors[] = {
    {VELKOR_TAG_ERROR_NONE, "no tag error"},
    {VELKOR_TAG_ERROR_OTHER, "other error"},
    {VELKOR_TAG_ERROR_MEMORY_OVERRUN, "memory overrun"},
    {VELKOR_TAG_ERROR_MEMORY_LOCKED, "memory locked"},
    {VELKOR_TAG_ERROR_INSUFFICIENT_POWER, "insufficient power"},
    {VELKOR_TAG_ERROR_NON_SPECIFIC, "non-specific error"},
};

// "<prefix>0x00" to "<prefix>0xFF", one text per byte value.
template <std::size_t N>
struct ByteTexts {
  static constexpr std::size_t kLength = N - 1 + 5;  // prefix, "0xNN", null
  char text[256][kLength] = {};

  constexpr explicit ByteTexts(const char (&prefix)[N]) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (int value = 0; value < 256; ++value) {
      char *out = text[value];
      for (std::size_t k = 0; k + 1 < N; ++k) *out++ = prefix[k];
      *out++ = '0';
      *out++ = 'x';
      *out++ = kHex[value >> 4];
      *out++ = kHex[value & 0xF];
    }
  }
};

constexpr ByteTexts kReaderStatus("reader status ");
constexpr ByteTexts kTagErrorCode("code ");

template <std::size_t N, std::size_t M>
const char *lookup(const Named (&table)[N], const ByteTexts<M> &generic, int code,
                   const char *outside) {
  for (const Named &entry : table)
    if (entry.code == code) return entry.text;
  return code >= 0 && code <= 0xFF ? generic.text[code] : outside;
}

}  // namespace

const char *VELKOR_CALL GetReturnCodeText(int status) {
  return lookup(kStatuses, kReaderStatus, status, "not a status code");
}

const char *VELKOR_CALL GetTagErrorText(int code) {
  return lookup(kTagErrors, kTagErrorCode, code, "not a tag error code");
}
