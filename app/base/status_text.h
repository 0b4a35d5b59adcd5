// Status codes in words, for people reading the tool's output.
#ifndef VELKOR_APP_BASE_STATUS_TEXT_H
#define VELKOR_APP_BASE_STATUS_TEXT_H

#include <string>

namespace velkor::app {

/// What a command's result means ("no tag in the field", ...).
std::string status_text(int status);
/// What a Gen2 tag error code means ("memory locked", ...).
std::string tag_error_text(int code);
/// "0xFB (no tag in the field)"; with the tag error code for 0xFC.
std::string describe(int status, int tag_error = -1);

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_STATUS_TEXT_H
