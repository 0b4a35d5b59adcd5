// tag_session: the C++ layer (velkor.hpp) in one short session.  It finds a
// reader, runs one Gen2 inventory, reads the first tag's TID and writes two
// words of its user memory, then reads them back.
//
//   tag_session                  the first reader found
//   tag_session --emulate        an emulated reader (velkor_emulator.h), to
//                                try it without a reader
//   tag_session --handle N       an already open device handle (on Linux a
//                                file descriptor; how a test hands it an
//                                emulated reader)
//
// Exit status: 0 done (also when no tag answered), 1 a failure, 2 bad usage.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "velkor.hpp"
// Only for --emulate: a program for real readers needs neither this header
// nor the emulator library.
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
#include "velkor_emulator.h"
#endif

namespace {

void print_hex(const char *label, const velkor::Bytes &bytes) {
  std::printf("%s", label);
  for (unsigned char b : bytes) std::printf("%02X", b);
  std::printf("\n");
}

VelkorHandle parse_handle(const char *text) {
  char *end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < 0) {
    std::fprintf(stderr, "tag_session: not a device handle: %s\n", text);
    std::exit(2);
  }
#ifdef _WIN32
  return reinterpret_cast<VelkorHandle>(static_cast<std::intptr_t>(value));
#else
  return static_cast<VelkorHandle>(value);
#endif
}

int session(velkor::Reader &reader) {
  const std::vector<velkor::Tag> tags = reader.inventory();
  if (tags.empty()) {
    std::printf("inventory: no tag answered\n");
    return EXIT_SUCCESS;
  }
  std::printf("inventory: %zu tags\n", tags.size());
  for (std::size_t i = 0; i < tags.size(); ++i) {
    std::printf("  tag %zu  ", i + 1);
    print_hex("EPC ", tags[i].epc);
  }
  const velkor::Bytes &epc = tags[0].epc;
  print_hex("TID of tag 1: ", reader.read(epc, velkor::Bank::tid, 0, 6));

  const velkor::Bytes words = {0xCA, 0xFE, 0xF0, 0x0D};
  reader.write(epc, velkor::Bank::user, 0, words);
  print_hex("user memory of tag 1: ", reader.read(epc, velkor::Bank::user, 0, 2));
  return EXIT_SUCCESS;
}

#ifndef VELKOR_EXAMPLE_NO_EMULATOR
// Seed 1: the same five Gen2 and two 6B tags on every run.  The emulator owns
// its handle: the Reader hands it back before the emulator stops, also when
// the session throws.
int emulated_session() {
  const VelkorHandle handle = velkor_emulator_start(1, 5, 2);
  if (handle == VELKOR_INVALID_HANDLE) {
    std::fprintf(stderr, "tag_session: the emulator did not start\n");
    return EXIT_FAILURE;
  }
  velkor::Reader reader = velkor::Reader::adopt(handle);
  struct Stop {
    velkor::Reader &reader;
    ~Stop() { velkor_emulator_stop(reader.release()); }
  } stop{reader};
  return session(reader);
}
#endif

}  // namespace

int main(int argc, char **argv) {
  const char *given = nullptr;
  [[maybe_unused]] bool emulate = false;
  if (argc == 3 && std::strcmp(argv[1], "--handle") == 0) {
    given = argv[2];
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
  } else if (argc == 2 && std::strcmp(argv[1], "--emulate") == 0) {
    emulate = true;
#endif
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: tag_session [--emulate | --handle N]\n");
    return 2;
  }
  try {
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
    if (emulate) return emulated_session();
#endif
    velkor::Reader reader = given ? velkor::Reader::adopt(parse_handle(given))
                                  : velkor::Reader::open(0);
    return session(reader);
  } catch (const velkor::Error &e) {
    std::fprintf(stderr, "tag_session: %s\n", e.what());
    return EXIT_FAILURE;
  }
}
