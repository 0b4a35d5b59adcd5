// The one error type of the core: what kind of failure, the reader's status
// when it gave one, the words for people and the operation that failed.
// Every front-end turns it into its own outcome in one place: the tool into
// an exit status, the server into an HTTP status, the C API into an int.
#ifndef VELKOR_APP_BASE_ERROR_H
#define VELKOR_APP_BASE_ERROR_H

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace velkor::app {

enum class ErrorKind {
  kReader,       ///< the reader refused: status holds its code
  kLink,         ///< no reply, or the reader is gone (STATUS_COMM_ERROR, ...)
  kNoTag,        ///< no tag answered (status 0xFB, or none in the field)
  kSeveralTags,  ///< the one-tag rule: several tags and none named
  kBadInput,     ///< an argument, a plan or a file's content cannot be used
  kFile,         ///< a file could not be read or written
  kBusy,         ///< another program holds the reader, state file or journal
  kStopped,      ///< the job's stop token asked it to stop
  kNotFound,     ///< no such reader
  kConflict,     ///< a tag's state contradicts what the journal says of it
};

/// "reader", "link", "no-tag", ... (the C API and the documents use these).
const char *kind_name(ErrorKind kind);

struct Error {
  ErrorKind kind = ErrorKind::kBadInput;
  int status = 0;      ///< the library's status; 0 when the failure is not one
  int tag_error = -1;  ///< the tag's error code with status 0xFC, else -1
  std::string words;   ///< GetReturnCodeText's words, or the core's own sentence
  std::string operation;  ///< what failed: "write", "inventory", ...
  int tags = 0;        ///< kSeveralTags: how many tags answered

  /// The failure a library call returned: kind from the status (kNoTag for
  /// 0xFB, kLink for the link codes, else kReader), the words from
  /// GetReturnCodeText (and GetTagErrorText for 0xFC).
  static Error from_status(int status, std::string operation, int tag_error = -1);
  /// A failure in the core's own words.
  static Error because(ErrorKind kind, std::string operation, std::string words);

  /// "0xFB (no tag in the field)" for a status, else the words.
  std::string detail() const;
  /// "write failed: 0xFB (no tag in the field)", or "write: <words>".
  std::string message() const;
};

/// A value, or the error that kept it from being made.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T &value() { return std::get<0>(v_); }
  const T &value() const { return std::get<0>(v_); }
  T &operator*() { return value(); }
  const T &operator*() const { return value(); }
  T *operator->() { return &value(); }
  const T *operator->() const { return &value(); }
  const Error &error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

/// Done, or the error.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)) {}

  bool ok() const { return !error_; }
  explicit operator bool() const { return ok(); }
  const Error &error() const { return *error_; }

 private:
  std::optional<Error> error_;
};

using Status = Result<void>;

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_ERROR_H
