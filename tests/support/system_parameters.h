// The thirteen outputs of GetSystemParameter laid out as the reply's data
// bytes: parameter k + 2 at the position of reply data byte k, the two-byte
// and 32-byte parameters in one piece.  0xEE marks bytes not written.
#ifndef VELKOR_TESTS_SYSTEM_PARAMETERS_H
#define VELKOR_TESTS_SYSTEM_PARAMETERS_H

#include <algorithm>
#include <iterator>

#include "velkor.h"

namespace velkor::test {

struct SystemParameters {
  unsigned char b[48];
  SystemParameters() { std::fill(std::begin(b), std::end(b), 0xEE); }
  int get(unsigned char *address, VelkorHandle h) {
    return GetSystemParameter(address, b, b + 1, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                              b + 9, b + 10, b + 42, b + 43, b + 44, h);
  }
};

}  // namespace velkor::test

#endif  // VELKOR_TESTS_SYSTEM_PARAMETERS_H
