// What the C API's functions share: the session and stop handles behind
// the opaque types, and the conversions between the C structs and the
// core's types, errors included.
#ifndef VELKOR_APP_C_API_CONVERT_H
#define VELKOR_APP_C_API_CONVERT_H

#include <exception>
#include <memory>
#include <string>

#include "app/base/error.h"
#include "app/base/stop_token.h"
#include "app/reader/reader_info.h"
#include "app/reader/session.h"
#include "app/tags/target.h"
#include "velkor_app.h"

struct velkor_app_session {
  std::unique_ptr<velkor::app::Session> session;
};

struct velkor_app_stop {
  velkor::app::StopSource source;
};

namespace velkor::app::c_api {

/// Copies text into a caller's buffer of `room` bytes, cut to fit, NUL-ended.
void copy_text(const std::string &text, char *out, std::size_t room);

/// Fills *out (when not null) and returns the error's kind as the C API's code.
int fail(const Error &error, velkor_app_error *out);
/// VELKOR_APP_OK, clearing *out when given.
int succeed(velkor_app_error *out);
/// The outcome of a Status.
inline int outcome(const Status &done, velkor_app_error *out) {
  return done ? succeed(out) : fail(done.error(), out);
}

/// Runs body, turning an exception into an error instead of letting it
/// leave the C API.
template <typename Body>
int guarded(velkor_app_error *out, const char *operation, Body &&body) {
  try {
    return body();
  } catch (const std::exception &e) {
    return fail(Error::because(ErrorKind::kBadInput, operation, e.what()), out);
  }
}

Mask mask_of(const velkor_app_mask *mask);
void put_mask(const Mask &mask, velkor_app_mask *out);
Target target_of(const velkor_app_target *target);
void put_target(const Target &target, velkor_app_target *out);
void put_info(const ReaderInfo &info, velkor_app_info *out);
ReaderInfo info_of(const velkor_app_info &info);

/// A bad argument, said the C API's way.
int bad_argument(const char *operation, const char *words, velkor_app_error *out);

}  // namespace velkor::app::c_api

#endif  // VELKOR_APP_C_API_CONVERT_H
