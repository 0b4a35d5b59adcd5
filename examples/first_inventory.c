/*
 * first_inventory: a first session with a Velkor reader, through velkor.h.
 * It finds a reader, prints its information block, runs one Gen2 inventory
 * and reads the TID bank of the first tag found, naming that tag by its EPC.
 *
 *   first_inventory                   the first reader found
 *   first_inventory --emulate         an emulated reader (velkor_emulator.h),
 *                                     to try it without a reader
 *   first_inventory --handle N        an already open device handle (on
 *   VELKOR_HANDLE=N first_inventory   Linux a file descriptor; this is how
 *                                     a test hands it an emulated reader)
 *   first_inventory --version         the library's version, then exit
 *
 * Exit status: 0 done (also when no tag answered), 1 the reader or the link
 * reported a failure, 2 bad usage or no reader found.
 */
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "velkor.h"
/* Only for --emulate: a program for real readers needs neither this header
 * nor the emulator library. */
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
#include "velkor_emulator.h"
#endif

enum { EXIT_FAILED = 1, EXIT_USAGE = 2 };

/* Where to look when no reader is found: Windows gives every user its HID
 * devices, Linux only through the udev rule. */
#ifdef _WIN32
#define NO_READER_HINT \
  "is it plugged in? Device Manager lists it under Human Interface Devices"
#else
#define NO_READER_HINT "is it plugged in, and is the udev rule installed?"
#endif

/* Most tags have a 6-word TID; some have only the 2-word class identifier. */
#define TID_WORDS 6
#define SHORT_TID_WORDS 2

static void print_hex(const unsigned char *bytes, int n) {
  int i;
  for (i = 0; i < n; ++i) printf("%02X", bytes[i]);
}

/* A handle given as a decimal number; false for anything else. */
static int parse_handle(const char *text, VelkorHandle *handle) {
  char *end = NULL;
  long long value = strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < 0) return 0;
#ifdef _WIN32
  *handle = (VelkorHandle)(intptr_t)value;
#else
  if (value > INT_MAX) return 0;
  *handle = (VelkorHandle)value;
#endif
  return 1;
}

/* The information block as this reader lays it out: firmware version, type,
 * protocols, the two region bytes, power, scan time, antenna, beep. */
static int print_information(unsigned char *address, VelkorHandle handle) {
  unsigned char b[VELKOR_INFO01_SIZE + 10] = {0};
  int region;
  int rc = GetReaderInformation(address, b, b + 2, b + 3, b + 4, b + 5, b + 6,
                                b + 7, b + 8, b + 9, b + 10, b + 11, handle);
  if (rc != STATUS_OK) {
    fprintf(stderr, "first_inventory: reader information failed: 0x%02X (%s)\n",
            rc, GetReturnCodeText(rc));
    return 0;
  }
  region = ((b[4] >> 6) << 2) | (b[5] >> 6);
  printf("reader at address 0x%02X\n", *address);
  printf("  firmware   %u.%u\n", b[0], b[1]);
  printf("  type       0x%02X\n", b[2]);
  printf("  protocols  %s%s\n", (b[3] & 0x02) ? "EPC-Gen2 " : "",
         (b[3] & 0x01) ? "ISO-18000-6B" : "");
  printf("  region     %d, channels %u to %u\n", region, b[5] & 0x3Fu,
         b[4] & 0x3Fu);
  printf("  power      %u dBm\n", b[6]);
  printf("  scan time  %u ms\n", b[7] * 100u);
  return 1;
}

/* Reads the TID of the tag whose EPC is epc[0..epc_len-1]. */
static int read_tid(unsigned char *address, unsigned char *epc, int epc_len,
                    VelkorHandle handle) {
  unsigned char password[4] = {0, 0, 0, 0}; /* the factory access password */
  unsigned char tid[2 * TID_WORDS];
  unsigned char words = TID_WORDS;
  int error_code = -1;
  int rc;
  if (epc_len % 2 != 0) {
    fprintf(stderr, "first_inventory: an EPC of %d bytes is not whole words\n",
            epc_len);
    return EXIT_FAILED;
  }
  /* The mask arguments are not read when the tag is named by its EPC. */
  rc = ReadData_G2(address, epc, (unsigned char)(epc_len / 2), VELKOR_BANK_TID, 0,
                   words, password, 0, NULL, 0, NULL, tid, &error_code, handle);
  if (rc == VELKOR_STATUS_TAG_ERROR && error_code == VELKOR_TAG_ERROR_MEMORY_OVERRUN) {
    words = SHORT_TID_WORDS;
    rc = ReadData_G2(address, epc, (unsigned char)(epc_len / 2), VELKOR_BANK_TID, 0,
                     words, password, 0, NULL, 0, NULL, tid, &error_code,
                     handle);
  }
  if (rc == VELKOR_STATUS_TAG_ERROR) {
    fprintf(stderr, "first_inventory: TID read failed: tag error 0x%02X (%s)\n",
            error_code, GetTagErrorText(error_code));
    return EXIT_FAILED;
  }
  if (rc != STATUS_OK) {
    fprintf(stderr, "first_inventory: TID read failed: 0x%02X (%s)\n", rc,
            GetReturnCodeText(rc));
    return EXIT_FAILED;
  }
  printf("TID of tag 1: ");
  print_hex(tid, 2 * words);
  printf("\n");
  return EXIT_SUCCESS;
}

/* One inventory round; the tag-identifier list holds, per tag, one byte of
 * EPC length and then the EPC.  Reads the first tag's TID. */
static int inventory(unsigned char *address, VelkorHandle handle) {
  static unsigned char list[VELKOR_MAX_TAG_LIST];
  unsigned char mask_addr[2] = {0, 0}, mask[1] = {0}, frame4 = 0;
  int total = 0, count = 0, at, n;
  /* No mask, TID or trailing group (their flags are 0). */
  int rc = Inventory_G2(address, VELKOR_INVENTORY_PARAM0, VELKOR_INVENTORY_PARAM1,
                        0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0, 0, 0, list,
                        &frame4, &total, &count, handle);
  if (rc == VELKOR_STATUS_NO_TAG || (rc == VELKOR_STATUS_INVENTORY_COMPLETE && count == 0)) {
    printf("inventory: no tag answered\n");
    return EXIT_SUCCESS;
  }
  if (rc != VELKOR_STATUS_INVENTORY_COMPLETE) {
    fprintf(stderr, "first_inventory: inventory failed: 0x%02X (%s)\n", rc,
            GetReturnCodeText(rc));
    return EXIT_FAILED;
  }
  printf("inventory: %d tags\n", count);
  for (at = 0, n = 1; at < total; at += 1 + list[at], ++n) {
    if (at + 1 + list[at] > total) {
      fprintf(stderr, "first_inventory: the tag list ends inside a record\n");
      return EXIT_FAILED;
    }
    printf("  tag %d  EPC ", n);
    print_hex(list + at + 1, list[at]);
    printf("\n");
  }
  return read_tid(address, list + 1, list[0], handle);
}

int main(int argc, char **argv) {
  VelkorHandle handles[VELKOR_MAX_DEVICES];
  VelkorHandle handle = VELKOR_INVALID_HANDLE;
  const char *given = getenv("VELKOR_HANDLE");
  unsigned char address = 0xFF; /* any reader answers the broadcast address */
  int count = 0, opened = 0, emulated = 0, result, i;

  for (i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--version") == 0) {
      unsigned char v[VELKOR_SDK_VERSION_SIZE];
      GetSDKVersion(v);
      printf("first_inventory: Velkor library %u.%u.%u\n", v[0], v[1], v[2]);
      return EXIT_SUCCESS;
    } else if (strcmp(argv[i], "--handle") == 0 && i + 1 < argc) {
      given = argv[++i];
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
    } else if (strcmp(argv[i], "--emulate") == 0) {
      emulated = 1;
#endif
    } else {
      fprintf(stderr, "usage: first_inventory [--emulate | --handle N] "
                      "[--version]\n");
      return EXIT_USAGE;
    }
  }

  if (emulated) {
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
    /* Seed 1: the same five Gen2 and two 6B tags on every run. */
    handle = velkor_emulator_start(1, 5, 2);
    if (handle == VELKOR_INVALID_HANDLE) {
      fprintf(stderr, "first_inventory: the emulator did not start\n");
      return EXIT_FAILED;
    }
#endif
  } else if (given != NULL) {
    if (!parse_handle(given, &handle)) {
      fprintf(stderr, "first_inventory: not a device handle: %s\n", given);
      return EXIT_USAGE;
    }
  } else {
    if (GetDeviceList(handles, &count) != STATUS_OK) {
      fprintf(stderr, "first_inventory: no reader found (%s)\n", NO_READER_HINT);
      return EXIT_USAGE;
    }
    for (i = 1; i < count; ++i) CloseUSBPort(handles[i]);
    handle = handles[0];
    opened = 1;
  }

  result = print_information(&address, handle) ? inventory(&address, handle)
                                               : EXIT_FAILED;
  /* A handle that was given stays open: its owner closes it. */
  if (opened) CloseUSBPort(handle);
#ifndef VELKOR_EXAMPLE_NO_EMULATOR
  if (emulated) velkor_emulator_stop(handle);
#endif
  return result;
}
