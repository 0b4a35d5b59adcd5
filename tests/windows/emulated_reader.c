/*
 * A C program on Windows against velkor_emulator.dll, as an integrator's own
 * test would use it: the emulator's named pipe handle goes to Velkor.dll's
 * functions, the model says what the reader should answer, injected faults
 * come back as their statuses, an unplugged reader as a link failure.  Last,
 * the C example runs in a child process on the same emulated reader, its
 * handle inherited.
 *
 *   velkor_emulated_reader          (first_inventory.exe lies beside it)
 */
#include <windows.h>

#include <inttypes.h>
#include <stdio.h>
#include <string.h>

#include "velkor.h"
#include "velkor_emulator.h"
#include "check.h"

static int reader_information(VelkorHandle handle) {
  unsigned char address = 0xFF, b[12];
  return GetReaderInformation(&address, b, b + 2, b + 3, b + 4, b + 5, b + 6,
                              b + 7, b + 8, b + 9, b + 10, b + 11, handle);
}

/* One inventory round: each record the list holds is the model's tag of
 * that rank. */
static void inventory_matches_the_model(VelkorHandle handle) {
  static unsigned char list[6000];
  unsigned char address = 0xFF, frame4 = 0, epc[64];
  int total = 0, count = 0, at = 0, i;
  CHECK(Inventory_G2(&address, 4, 0, 0, NULL, 0, NULL, 0, 0, 0, 0, 0, 0, 0, 0,
                     list, &frame4, &total, &count, handle) == 0x01);
  CHECK(count == velkor_emulator_gen2_count(handle));
  for (i = 0; i < count && at < total; ++i, at += 1 + list[at]) {
    const int length = velkor_emulator_gen2_epc(handle, i, epc, sizeof epc);
    CHECK(length == list[at]);
    CHECK(length > 0 && memcmp(epc, list + at + 1, (size_t)length) == 0);
  }
  CHECK(i == count && at == total);
}

/* Faults injected through the DLL come back as their statuses; the reply
 * after them is sound again.  (Each fault's effect on every command is the
 * unit tests' business.) */
static void faults_come_back_as_statuses(VelkorHandle handle) {
  static const struct {
    int fault, value, status;
  } cases[] = {
      {VELKOR_FAULT_STATUS, 0x0E, 0x0E},
      {VELKOR_FAULT_ECHO, 0x22, STATUS_COMMAND_MISMATCH},
  };
  size_t i;
  for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    int status;
    CHECK(velkor_emulator_inject(handle, cases[i].fault, cases[i].value) == 0);
    status = reader_information(handle);
    if (status != cases[i].status) {
      fprintf(stderr, "fault %d: status 0x%02X, not 0x%02X\n", cases[i].fault,
              status, cases[i].status);
      ++failures;
    }
  }
  CHECK(reader_information(handle) == STATUS_OK);
  CHECK(velkor_emulator_inject(handle, 99, 0) == -1);
}

/* first_inventory.exe, beside this program, on the emulated reader. */
static void example_runs_on_an_inherited_handle(VelkorHandle handle) {
  char path[MAX_PATH], command[MAX_PATH + 64];
  char *slash;
  STARTUPINFOA startup;
  PROCESS_INFORMATION process;
  DWORD code = 1;
  const DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
  CHECK(length > 0 && length < sizeof path);
  slash = strrchr(path, '\\');
  CHECK(slash != NULL);
  if (slash == NULL) return;
  strcpy(slash + 1, "first_inventory.exe");
  snprintf(command, sizeof command, "\"%s\" --handle %" PRIdPTR, path,
           (intptr_t)handle);
  CHECK(SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT));
  memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  if (!CreateProcessA(path, command, NULL, NULL, TRUE, 0, NULL, NULL, &startup,
                      &process)) {
    fprintf(stderr, "cannot start %s\n", path);
    ++failures;
    return;
  }
  CHECK(WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0);
  CHECK(GetExitCodeProcess(process.hProcess, &code) && code == 0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CHECK(SetHandleInformation(handle, HANDLE_FLAG_INHERIT, 0));
}

int main(void) {
  VelkorHandle handle = velkor_emulator_start(7, 4, 1);
  CHECK(velkor_emulator_start(7, -1, 0) == VELKOR_INVALID_HANDLE);
  CHECK(velkor_emulator_start(7, 0, VELKOR_EMULATOR_MAX_TAGS + 1) ==
        VELKOR_INVALID_HANDLE);
  CHECK(handle != VELKOR_INVALID_HANDLE);
  if (handle == VELKOR_INVALID_HANDLE) return 1;

  CHECK(reader_information(handle) == STATUS_OK);
  CHECK(velkor_emulator_gen2_count(handle) == 4);
  inventory_matches_the_model(handle);
  faults_come_back_as_statuses(handle);
  example_runs_on_an_inherited_handle(handle);

  /* The library kept to the report protocol throughout. */
  CHECK(velkor_emulator_violations(handle) == 0);

  /* Unplugged: the library's next call fails on the link. */
  CHECK(velkor_emulator_disconnect(handle) == 0);
  CHECK(reader_information(handle) == STATUS_COMM_ERROR);
  CHECK(velkor_emulator_stop(handle) == 0);
  CHECK(velkor_emulator_stop(handle) == -1);
  CHECK(velkor_emulator_gen2_count(handle) == -1);

  if (failures == 0) printf("emulated reader: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
