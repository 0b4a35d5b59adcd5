/*
 * C entry points of the reader emulator, built as libvelkor_emulator.so on
 * Linux and velkor_emulator.dll on Windows, for programs and bindings that
 * cannot link C++ and for applications' own tests.  Never part of the
 * shipped library.
 *
 * Each emulator serves one link whose host end is a device handle
 * (VelkorHandle) that every function of velkor.h accepts: a socket pair's
 * descriptor on Linux, the client end of a message-mode named pipe, opened
 * for overlapped I/O, on Windows.  The emulator keeps that handle: stop it
 * with velkor_emulator_stop, which closes it, not with CloseUSBPort.
 *
 * Every function may be called from any thread; the running emulators are
 * kept in a registry under one lock.
 */
#ifndef VELKOR_EMULATOR_C_API_H
#define VELKOR_EMULATOR_C_API_H

#include <stdint.h>

#include "velkor.h"

#ifdef _WIN32
#  ifdef VELKOR_EMULATOR_BUILDING
#    define VELKOR_EMULATOR_VISIBLE __declspec(dllexport)
#  else
#    define VELKOR_EMULATOR_VISIBLE __declspec(dllimport)
#  endif
#else
#  define VELKOR_EMULATOR_VISIBLE __attribute__((visibility("default")))
#endif
#ifdef __cplusplus
#  define VELKOR_EMULATOR_API extern "C" VELKOR_EMULATOR_VISIBLE
#else
#  define VELKOR_EMULATOR_API VELKOR_EMULATOR_VISIBLE
#endif

/** Most tags of each kind an emulated reader may start with. */
#define VELKOR_EMULATOR_MAX_TAGS 1000

/** Faults for velkor_emulator_inject. */
enum VelkorEmulatorFault {
  /** The reply's last frame carries the status given as value. */
  VELKOR_FAULT_STATUS = 1,
  /** Every reply frame names the command byte given as value. */
  VELKOR_FAULT_ECHO = 2,
  /** The reply's last frame has a wrong CRC. */
  VELKOR_FAULT_CORRUPT_CRC = 3,
  /** No reply at all; polls are answered empty. */
  VELKOR_FAULT_SILENCE = 4,
  /** value polls are answered empty before the reply starts. */
  VELKOR_FAULT_EMPTY_REPORTS = 5,
  /** One stray byte (value) goes ahead of the reply. */
  VELKOR_FAULT_STRAY_BYTE = 6,
  /** The reply's first report comes value milliseconds late. */
  VELKOR_FAULT_LATE_REPORT = 7,
  /** value zero bytes follow the reply's last frame. */
  VELKOR_FAULT_ZERO_PADDING = 8,
  /** The last frame's length byte claims value bytes more than it has (its
   *  CRC right over the bytes sent). */
  VELKOR_FAULT_LENGTH_MORE = 9,
  /** The same, value bytes fewer. */
  VELKOR_FAULT_LENGTH_LESS = 10,
  /** The first report ends where the CRC residue of the bytes so far is zero,
   *  three bytes before the first frame does (value is not used). */
  VELKOR_FAULT_ZERO_RESIDUE_REPORT = 11,
  /** After the command frame the reader takes no more output reports (value
   *  is not used; a later velkor_emulator_inject does not undo it). */
  VELKOR_FAULT_STOP_READING = 12,
  /** After the first report the rest of the reply waits value * 100 ms; a
   *  later command frame finds it still ahead of its own reply. */
  VELKOR_FAULT_REST_AFTER_GIVE_UP = 13
};

/**
 * Starts an emulated reader whose population is made from seed: gen2_tags
 * EPC Gen2 tags and iso6b_tags ISO 18000-6B tags (0 to
 * VELKOR_EMULATOR_MAX_TAGS each).
 * @param[in] seed the population's seed: the same seed, the same tags.
 * @param[in] gen2_tags Gen2 tags, 0 to VELKOR_EMULATOR_MAX_TAGS.
 * @param[in] iso6b_tags 6B tags, 0 to VELKOR_EMULATOR_MAX_TAGS.
 * @return its device handle, or VELKOR_INVALID_HANDLE when a count is out
 *         of range or the link cannot be made.
 */
VELKOR_EMULATOR_API VelkorHandle velkor_emulator_start(uint64_t seed, int gen2_tags,
                                              int iso6b_tags);

/** Stops the emulator behind handle and closes the handle.
 *  @param[in] handle a handle velkor_emulator_start returned.
 *  @return 0, or -1 when no running emulator has that handle. */
VELKOR_EMULATOR_API int velkor_emulator_stop(VelkorHandle handle);

/** Closes the reader's end, as if the reader were unplugged: from then on
 *  every command on handle fails.  The emulator still has to be stopped.
 *  @param[in] handle a handle velkor_emulator_start returned.
 *  @return 0, or -1 for an unknown handle. */
VELKOR_EMULATOR_API int velkor_emulator_disconnect(VelkorHandle handle);

/** Applies one fault to the reply of the next command frame; it replaces a
 *  fault injected earlier that has not been used yet.
 *  @param[in] handle a handle velkor_emulator_start returned.
 *  @param[in] fault a VelkorEmulatorFault.
 *  @param[in] value the fault's value, 0 to 255 (see each fault).
 *  @return 0, or -1 for an unknown handle or fault, or a value outside
 *          0 to 255. */
VELKOR_EMULATOR_API int velkor_emulator_inject(VelkorHandle handle, int fault,
                                               int value);

/** The host protocol violations the emulator behind handle has recorded:
 *  a full read not acknowledged, a poll before the last report was
 *  acknowledged, a command frame without its CTRL_BEGIN, non-zero padding in
 *  an output report, a count byte disagreeing with its frame.  A test run on
 *  the emulator fails when there is one.
 *  @param[in] handle a handle velkor_emulator_start returned.
 *  @return their number, or -1 for an unknown handle. */
VELKOR_EMULATOR_API int velkor_emulator_violations(VelkorHandle handle);

/** Copies the description of violation index (0 to
 *  velkor_emulator_violations - 1) into text, which has room for size bytes
 *  and receives a terminated string, cut short if need be.
 *  @param[in] handle a handle velkor_emulator_start returned.
 *  @param[in] index the violation, 0 to velkor_emulator_violations - 1.
 *  @param[out] text room for size bytes; written on 0 only.
 *  @param[in] size bytes at text, at least 1.
 *  @return 0, or -1 for an unknown handle or index or size below 1. */
VELKOR_EMULATOR_API int velkor_emulator_violation(VelkorHandle handle, int index, char *text, int size);

/** Counts the Gen2 tags in the emulated field, killed ones included.
 *  @param[in] handle a handle velkor_emulator_start returned.
 *  @return their number, or -1 for an unknown handle. */
VELKOR_EMULATOR_API int velkor_emulator_gen2_count(VelkorHandle handle);

/**
 * Copies the EPC of Gen2 tag index (0 to velkor_emulator_gen2_count - 1) as
 * the tag holds it now into epc, which has room for size bytes.
 * @param[in] handle a handle velkor_emulator_start returned.
 * @param[in] index the tag, 0 to velkor_emulator_gen2_count - 1.
 * @param[out] epc room for size bytes; the EPC is written on success only.
 * @param[in] size bytes at epc.
 * @return the EPC's length in bytes; -1 for an unknown handle or index or a
 *         buffer too small (then nothing is copied).
 */
VELKOR_EMULATOR_API int velkor_emulator_gen2_epc(VelkorHandle handle, int index,
                                                 unsigned char *epc, int size);

/**
 * Queues count fresh Gen2 tags (0 to VELKOR_EMULATOR_MAX_TAGS) to be placed
 * on the reader one at a time, as at an encoding station: each inventory
 * places the next queued tag when none has been placed yet or the EPC of
 * the one placed last has changed since.  Placed tags stay in the field
 * and count in velkor_emulator_gen2_count.
 * @param[in] handle a handle velkor_emulator_start returned.
 * @param[in] count fresh tags to queue, 0 to VELKOR_EMULATOR_MAX_TAGS.
 * @return 0, or -1 for an unknown handle or a count out of range.
 */
VELKOR_EMULATOR_API int velkor_emulator_feed(VelkorHandle handle, int count);

#endif /* VELKOR_EMULATOR_C_API_H */
