// The C API's sessions.
#include "app/c_api/convert.h"

using namespace velkor::app;
using namespace velkor::app::c_api;

extern "C" {

void velkor_app_session_options_init(velkor_app_session_options *o) {
  if (o) *o = velkor_app_session_options{0, 1, -1, -1, 0, nullptr, nullptr, 0xFF, 0};
}

int velkor_app_open(const velkor_app_session_options *options, velkor_app_session **session,
                    velkor_app_error *error) {
  if (session) *session = nullptr;
  if (!session) return bad_argument("open", "no place for the session", error);
  return guarded(error, "open", [&] {
    velkor_app_session_options o;
    velkor_app_session_options_init(&o);
    if (options) o = *options;
    SessionOptions s;
    if (o.emulate) s.emulate = o.seed;
    if (o.gen2_tags >= 0) s.gen2_tags = std::size_t(o.gen2_tags);
    if (o.iso6b_tags >= 0) s.iso6b_tags = std::size_t(o.iso6b_tags);
    s.feed = o.feed > 0 ? std::size_t(o.feed) : 0;
    if (o.emulate_state) {
      s.emulate_state = o.emulate_state;
      if (!s.emulate) s.emulate = o.seed;
    }
    if (o.device) s.device = o.device;
    s.address = o.address;
    s.wait = o.wait != 0;
    Result<std::unique_ptr<Session>> opened = Session::open(s);
    if (!opened) return fail(opened.error(), error);
    *session = new velkor_app_session{std::move(*opened)};
    return succeed(error);
  });
}

velkor_app_session *velkor_app_adopt(VelkorHandle handle, unsigned char address) {
  try {
    return new velkor_app_session{Session::adopt(handle, address)};
  } catch (const std::exception &) {
    return nullptr;
  }
}

VelkorHandle velkor_app_handle(velkor_app_session *s) {
  return s ? s->session->handle() : VELKOR_INVALID_HANDLE;
}

unsigned char *velkor_app_address(velkor_app_session *s) {
  return s ? s->session->address() : nullptr;
}

int velkor_app_reconnect(velkor_app_session *s, velkor_app_error *error) {
  if (!s) return bad_argument("reconnect", "no session", error);
  return guarded(error, "reconnect", [&] { return outcome(s->session->reconnect(), error); });
}

int velkor_app_close(velkor_app_session *s, velkor_app_error *error) {
  if (!s) return succeed(error);
  std::unique_ptr<velkor_app_session> owned(s);
  return guarded(error, "close", [&] { return outcome(owned->session->finish(), error); });
}

}  // extern "C"
