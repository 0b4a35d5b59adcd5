#include "app/base/error.h"

#include "app/base/status_text.h"
#include "velkor.h"

namespace velkor::app {

const char *kind_name(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kReader: return "reader";
    case ErrorKind::kLink: return "link";
    case ErrorKind::kNoTag: return "no-tag";
    case ErrorKind::kSeveralTags: return "several-tags";
    case ErrorKind::kBadInput: return "bad-input";
    case ErrorKind::kFile: return "file";
    case ErrorKind::kBusy: return "busy";
    case ErrorKind::kStopped: return "stopped";
    case ErrorKind::kNotFound: return "not-found";
    case ErrorKind::kConflict: return "conflict";
  }
  return "?";
}

Error Error::from_status(int status, std::string operation, int tag_error) {
  Error e;
  e.kind = status == VELKOR_STATUS_NO_TAG ? ErrorKind::kNoTag
           : status == STATUS_COMM_ERROR || status == STATUS_INVALID_HANDLE
               ? ErrorKind::kLink
               : ErrorKind::kReader;
  e.status = status;
  e.tag_error = status == VELKOR_STATUS_TAG_ERROR ? tag_error : -1;
  e.words = status_text(status);
  if (e.tag_error >= 0) e.words += ": " + tag_error_text(e.tag_error);
  e.operation = std::move(operation);
  return e;
}

Error Error::because(ErrorKind kind, std::string operation, std::string words) {
  Error e;
  e.kind = kind;
  e.words = std::move(words);
  e.operation = std::move(operation);
  return e;
}

std::string Error::detail() const { return status != 0 ? describe(status, tag_error) : words; }

std::string Error::message() const {
  if (status != 0) return operation + " failed: " + detail();
  return operation.empty() ? words : operation + ": " + words;
}

}  // namespace velkor::app
