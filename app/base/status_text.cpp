#include "app/base/status_text.h"

#include <cstdio>

#include "velkor.h"

namespace velkor::app {

// The library holds the one table of texts; the tool only formats.
std::string status_text(int status) { return GetReturnCodeText(status); }

std::string tag_error_text(int code) { return GetTagErrorText(code); }

std::string describe(int status, int tag_error) {
  char head[16];
  std::snprintf(head, sizeof head, "0x%02X (", status & 0xFF);
  std::string text = head + status_text(status);
  if (status == VELKOR_STATUS_TAG_ERROR && tag_error >= 0) text += ": " + tag_error_text(tag_error);
  return text + ")";
}

}  // namespace velkor::app
