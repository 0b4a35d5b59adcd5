// A job's C callbacks, as the observers call them: each event's name and
// document, the waits, the stages.
#ifndef VELKOR_APP_C_API_JOB_CALLBACKS_H
#define VELKOR_APP_C_API_JOB_CALLBACKS_H

#include "app/base/clock.h"
#include "app/events/document.h"
#include "velkor_app.h"

namespace velkor::app::c_api {

class JobCallbacks {
 public:
  explicit JobCallbacks(const velkor_app_callbacks *callbacks)
      : c_(callbacks ? *callbacks : velkor_app_callbacks{}) {}

  void send(const events::Event &event) const {
    if (c_.on_event) c_.on_event(event.name.c_str(), event.text().c_str(), c_.user);
  }
  void idle(int ms, Clock &clock) const {
    if (c_.idle)
      c_.idle(ms, c_.user);
    else
      clock.sleep_ms(ms);
  }
  /// True when the caller ends the run at this stage.
  bool stage(int stage, unsigned taken) const {
    return c_.on_stage && c_.on_stage(stage, taken, c_.user) != 0;
  }

 private:
  velkor_app_callbacks c_;
};

}  // namespace velkor::app::c_api

#endif  // VELKOR_APP_C_API_JOB_CALLBACKS_H
