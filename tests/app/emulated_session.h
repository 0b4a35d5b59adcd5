// Sessions on the built-in emulator for the core's tests, and a look at
// the tags the emulated reader holds.
#ifndef VELKOR_TESTS_APP_EMULATED_SESSION_H
#define VELKOR_TESTS_APP_EMULATED_SESSION_H

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/reader/emulator_state.h"
#include "app/reader/session.h"
#include "emulator/socket_server.h"

namespace velkor::test {

/// An emulated reader (seed 1) with `gen2` tags, `feed` more to be placed
/// one at a time, and the options given.
inline std::unique_ptr<app::Session> emulated(std::size_t gen2 = 6, std::size_t feed = 0,
                                              app::SessionOptions options = {}) {
  options.emulate = 1;
  options.gen2_tags = gen2;
  options.feed = feed;
  app::Result<std::unique_ptr<app::Session>> s = app::Session::open(options);
  if (!s) {
    ADD_FAILURE() << s.error().message();
    return nullptr;
  }
  return std::move(*s);
}

/// Everything the emulated reader holds, as text: two equal texts, nothing changed.
inline std::string state_of(app::Session &s) {
  return s.emulator()->with_emulator(
      [](emu::Emulator &e) { return app::save_emulator_state(e.reader()); });
}

/// The Gen2 EPCs the emulated reader holds, in hex, in order.
inline std::vector<std::string> epcs_of(app::Session &s) {
  return s.emulator()->with_emulator([](emu::Emulator &e) {
    std::vector<std::string> epcs;
    for (const emu::Gen2Tag &tag : e.reader().tags.gen2) epcs.push_back(app::to_hex(tag.epc()));
    return epcs;
  });
}

}  // namespace velkor::test

#endif  // VELKOR_TESTS_APP_EMULATED_SESSION_H
