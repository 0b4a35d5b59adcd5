#include "tools/output/status_text.h"

#include <cstdio>

#include "velkor.h"

namespace velkor::tool {

std::string status_text(int status) {
  switch (status) {
    case STATUS_OK: return "success";
    case 0x01: return "inventory complete";
    case 0x02: return "inventory stopped at its scan time";
    case 0x03: return "more frames follow";
    case 0x04: return "the reader's tag memory is full";
    case STATUS_COMM_ERROR: return "no complete reply in time";
    case STATUS_CRC_ERROR: return "the reply failed its CRC check";
    case STATUS_INVALID_HANDLE: return "invalid device handle";
    case STATUS_COMMAND_MISMATCH: return "the reply answered another command";
    case 0xFA: return "tags answered but could not be read";
    case 0xFB: return "no tag in the field";
    case 0xFC: return "tag error";
    case 0xFD: return "the reader rejected the command's length";
    case 0xFE: return "the reader does not know this command";
    case STATUS_PARAMETER_ERROR: return "parameter out of range";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "reader status 0x%02X", status & 0xFF);
      return text;
    }
  }
}

std::string tag_error_text(int code) {
  switch (code) {
    case 0x00: return "other error";
    case 0x03: return "memory overrun";
    case 0x04: return "memory locked";
    case 0x0B: return "insufficient power";
    case 0x0F: return "non-specific error";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "code 0x%02X", code & 0xFF);
      return text;
    }
  }
}

std::string describe(int status, int tag_error) {
  char head[16];
  std::snprintf(head, sizeof head, "0x%02X (", status & 0xFF);
  std::string text = head + status_text(status);
  if (status == 0xFC && tag_error >= 0) text += ": " + tag_error_text(tag_error);
  return text + ")";
}

}  // namespace velkor::tool
