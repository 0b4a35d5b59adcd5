/* Loads Velkor.dll by name and calls it through GetProcAddress, as an
 * application written in any language does.  Each check is one function in
 * the table at the end; the exit status is 0 when every check holds. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

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

/* The channel texts of every region: count, first and last text, the null
 * after the last; the heap texts are released again. */
static int check_channel_list(HMODULE dll) {
  typedef int(VELKOR_CALL * GetChannelListFn)(int, char **);
  typedef int(VELKOR_CALL * FreeChannelListFn)(char **);
  static const struct {
    int region, count;
    const char *first, *last;
  } plans[] = {{1, 20, "920.125 MHz", "924.875 MHz"}, {2, 50, "902.75 MHz", "927.25 MHz"},
               {3, 32, "917.1 MHz", "923.3 MHz"},     {4, 15, "865.1 MHz", "867.9 MHz"},
               {5, 19, "916.8 MHz", "923.4 MHz"}};
  GetChannelListFn get_list = (GetChannelListFn)entry(dll, "GetChannelList");
  FreeChannelListFn free_list = (FreeChannelListFn)entry(dll, "FreeChannelList");
  size_t p;
  if (get_list == NULL || free_list == NULL) return 0;
  for (p = 0; p < sizeof plans / sizeof plans[0]; ++p) {
    char *list[VELKOR_MAX_CHANNELS + 1];
    int n = 0, ok;
    list[VELKOR_MAX_CHANNELS] = (char *)list; /* must stay untouched */
    if (get_list(plans[p].region, list) != STATUS_OK) return 0;
    while (n < VELKOR_MAX_CHANNELS && list[n] != NULL) ++n;
    ok = n == plans[p].count && strcmp(list[0], plans[p].first) == 0 &&
         strcmp(list[n - 1], plans[p].last) == 0 &&
         list[VELKOR_MAX_CHANNELS] == (char *)list;
    if (!ok) {
      fprintf(stderr, "GetChannelList(%d): %d texts, first '%s', last '%s'\n",
              plans[p].region, n, n ? list[0] : "", n ? list[n - 1] : "");
      return 0;
    }
    printf("GetChannelList(%d): %d texts, %s to %s\n", plans[p].region, n, list[0],
           list[n - 1]);
    free_list(list);
  }
  return 1;
}

static int (*const checks[])(HMODULE) = {
    check_sdk_version,
    check_channel_list,
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
