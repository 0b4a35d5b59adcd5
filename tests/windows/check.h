/* The checks of the Windows C test programs: each failed check is printed
 * with its line and counted; main returns non-zero when any failed. */
#ifndef VELKOR_TESTS_WINDOWS_CHECK_H
#define VELKOR_TESTS_WINDOWS_CHECK_H

#include <stdio.h>

static int failures = 0;

#define CHECK(condition)                                              \
  do {                                                                \
    if (!(condition)) {                                               \
      fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__,      \
              #condition);                                            \
      ++failures;                                                     \
    }                                                                 \
  } while (0)

#endif /* VELKOR_TESTS_WINDOWS_CHECK_H */
