/* Loads Velkor.dll by name and calls it through GetProcAddress, as an
 * application written in any language does.  Each check is one function in
 * the table at the end; the exit status is 0 when every check holds. */
#include <windows.h>

#include <stdio.h>

#include "velkor.h"

/* The address of an export, or NULL (reported) when it is missing. */
static void (*entry(HMODULE dll, const char *name))(void) {
  void (*fn)(void) = (void (*)(void))GetProcAddress(dll, name);
  if (fn == NULL) fprintf(stderr, "%s is not exported\n", name);
  return fn;
}

static int check_sdk_version(HMODULE dll) {
  typedef int(VELKOR_CALL * GetSDKVersionFn)(unsigned char *);
  GetSDKVersionFn get_version = (GetSDKVersionFn)entry(dll, "GetSDKVersion");
  unsigned char version[4] = {0xEE, 0xEE, 0xEE, 0xEE};
  int status;
  if (get_version == NULL) return 0;
  status = get_version(version);
  if (status != STATUS_OK || version[0] != 1 || version[1] != 3 ||
      version[2] != 0 || version[3] != 0xEE) {
    fprintf(stderr, "GetSDKVersion: status %d, bytes %02X %02X %02X %02X\n",
            status, version[0], version[1], version[2], version[3]);
    return 0;
  }
  printf("GetSDKVersion: %u.%u.%u\n", version[0], version[1], version[2]);
  return 1;
}

static int (*const checks[])(HMODULE) = {
    check_sdk_version,
};

int main(void) {
  HMODULE dll = LoadLibraryW(L"Velkor.dll");
  size_t i;
  int failed = 0;
  if (dll == NULL) {
    fprintf(stderr, "cannot load Velkor.dll (error %lu)\n", GetLastError());
    return 1;
  }
  for (i = 0; i < sizeof checks / sizeof checks[0]; ++i)
    if (!checks[i](dll)) ++failed;
  FreeLibrary(dll);
  return failed == 0 ? 0 : 1;
}
