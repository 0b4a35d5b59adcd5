// tag_session: the C++ layer (velkor.hpp) in one short session.  It finds a
// reader, runs one Gen2 inventory, reads the first tag's TID and writes two
// words of its user memory, then reads them back.
//
//   tag_session                  the first reader found
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

}  // namespace

int main(int argc, char **argv) {
  const char *given = nullptr;
  if (argc == 3 && std::strcmp(argv[1], "--handle") == 0) {
    given = argv[2];
  } else if (argc != 1) {
    std::fprintf(stderr, "usage: tag_session [--handle N]\n");
    return 2;
  }
  try {
    velkor::Reader reader = given ? velkor::Reader::adopt(parse_handle(given))
                                  : velkor::Reader::open(0);
    return session(reader);
  } catch (const velkor::Error &e) {
    std::fprintf(stderr, "tag_session: %s\n", e.what());
    return EXIT_FAILURE;
  }
}
