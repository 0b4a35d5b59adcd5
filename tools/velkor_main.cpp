// Prints the library version; the full command-line tool grows here.
#include <cstdio>

#include "velkor.h"

int main() {
  unsigned char version[3] = {};
  GetSDKVersion(version);
  std::printf("velkor %u.%u.%u\n", version[0], version[1], version[2]);
  return 0;
}
