/*
 * velkor_app.h: the application core's C API (libvelkor_app.so).
 *
 * What the velkor tool does, for any program and for the Python and .NET
 * bindings: reader sessions (opened by index, path or serial number, on the
 * built-in emulator, or over a handle opened elsewhere) that look for an
 * unplugged reader again; inventory rounds with their records decoded (EPC,
 * TID, GS1 tag URI); the one-tag rule of every operation that changes a tag;
 * the reader's information and settings decoded (region 5 included) and
 * applied; the watch and commissioning, each a job with a stop handle, that
 * report through callbacks; and the JSON documents of the one event model
 * (docs/events.schema.json).
 *
 * Conventions.  Every function that can fail returns VELKOR_APP_OK (0) or
 * the kind of its failure (VELKOR_APP_E_...), and fills *error when error is
 * not NULL: the kind, the reader library's status (0 when the failure is no
 * status), its words (GetReturnCodeText's, or the core's own sentence) and
 * the operation that failed.  Text goes into caller buffers with their room
 * in bytes, always NUL-terminated and cut to fit.  Callbacks run on the
 * calling thread, inside the call that takes them, with the user pointer
 * given.  A session is used by one thread at a time; distinct sessions, and
 * jobs on them, run in parallel.  Nothing prints, exits or handles signals.
 */
#ifndef VELKOR_APP_H
#define VELKOR_APP_H

#include <stddef.h>

#include "velkor.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(_WIN32)
#  ifdef VELKOR_APP_BUILDING
#    define VELKOR_APP_API __declspec(dllexport)
#  else
#    define VELKOR_APP_API __declspec(dllimport)
#  endif
#else
#  define VELKOR_APP_API __attribute__((visibility("default")))
#endif

/* ------------------------------------------------------------------------ */
/* Errors                                                                    */
/* ------------------------------------------------------------------------ */

#define VELKOR_APP_OK 0
#define VELKOR_APP_E_READER 1       /**< the reader refused; status holds its code */
#define VELKOR_APP_E_LINK 2         /**< no reply, or the reader is gone */
#define VELKOR_APP_E_NO_TAG 3       /**< no tag answered */
#define VELKOR_APP_E_SEVERAL_TAGS 4 /**< several tags and none named; tags says how many */
#define VELKOR_APP_E_BAD_INPUT 5    /**< an argument, plan or file content cannot be used */
#define VELKOR_APP_E_FILE 6         /**< a file could not be read or written */
#define VELKOR_APP_E_BUSY 7         /**< another program holds the reader or its file */
#define VELKOR_APP_E_STOPPED 8      /**< the job's stop handle stopped it */
#define VELKOR_APP_E_NOT_FOUND 9    /**< no such reader */
#define VELKOR_APP_E_CONFLICT 10    /**< a tag contradicts what the journal says of it */

/** What failed and why. */
typedef struct velkor_app_error {
  int kind;            /**< VELKOR_APP_E_..., or VELKOR_APP_OK */
  int status;          /**< the reader library's status, 0 when none */
  int tag_error;       /**< the tag's error code with status 0xFC, else -1 */
  int tags;            /**< VELKOR_APP_E_SEVERAL_TAGS: how many tags answered */
  char words[512];     /**< for people */
  char operation[64];  /**< "write", "inventory", "commission", ... */
} velkor_app_error;

/* ------------------------------------------------------------------------ */
/* Sessions                                                                  */
/* ------------------------------------------------------------------------ */

/** An open reader. */
typedef struct velkor_app_session velkor_app_session;

/** Which reader to open. */
typedef struct velkor_app_session_options {
  int emulate;              /**< non-zero: the built-in emulator instead of hardware */
  unsigned long long seed;  /**< the emulated reader's population */
  int gen2_tags;            /**< the emulated reader's Gen2 tags; -1: 6 */
  int iso6b_tags;           /**< its 6B tags; -1: 2 */
  int feed;                 /**< fresh Gen2 tags placed one at a time; 0: none; with a
                                 state file that exists, added to those it has waiting */
  const char *emulate_state; /**< file the emulated reader is kept in; NULL: none */
  const char *device;       /**< index, device path or serial number; NULL: "0" */
  int address;              /**< reader address, 0xFF: any reader */
  int wait;                 /**< non-zero: wait for a reader another program holds */
} velkor_app_session_options;

/**
 * Fills the options with their defaults: hardware, reader "0", address 0xFF,
 * seed 1, the emulator's default population, no state file, no wait.
 * @param[out] options the options to fill.
 */
VELKOR_APP_API void velkor_app_session_options_init(velkor_app_session_options *options);

/**
 * Opens the reader the options select.
 * @param[in] options which reader (NULL: the defaults).
 * @param[out] session the open session, on VELKOR_APP_OK; else NULL.
 * @param[out] error why it failed (may be NULL).
 * @return VELKOR_APP_OK; VELKOR_APP_E_NOT_FOUND (no reader, or none that
 *         device names), VELKOR_APP_E_BUSY (held by another program),
 *         VELKOR_APP_E_BAD_INPUT (a state file that holds no emulated
 *         reader, a device text that names nothing).  The Windows build
 *         opens no reader itself: there it always fails with
 *         VELKOR_APP_E_BAD_INPUT ("opening a reader is not available in the
 *         Windows build; ..."); open the reader with Velkor.dll and adopt
 *         its handle (velkor_app_adopt).
 */
VELKOR_APP_API int velkor_app_open(const velkor_app_session_options *options,
                                   velkor_app_session **session, velkor_app_error *error);

/**
 * A session over a handle opened elsewhere (GetDeviceList, the emulator's C
 * API).  The caller keeps the handle and closes it after the session; such
 * a session cannot reconnect.
 * @param[in] handle the open device handle.
 * @param[in] address its reader address (0xFF: any reader).
 * @return the session, or NULL when out of memory.
 */
VELKOR_APP_API velkor_app_session *velkor_app_adopt(VelkorHandle handle, unsigned char address);

/**
 * The handle the session uses, for direct calls of velkor.h's commands.
 * @param[in] session the session.
 * @return its handle (VELKOR_INVALID_HANDLE while a lost reader is away).
 */
VELKOR_APP_API VelkorHandle velkor_app_handle(velkor_app_session *session);

/**
 * The session's reader address byte, for direct calls of velkor.h's
 * commands (which read it and may write it back).
 * @param[in] session the session.
 * @return a pointer valid as long as the session.
 */
VELKOR_APP_API unsigned char *velkor_app_address(velkor_app_session *session);

/**
 * Lets go of the reader and looks for it again (the same device).
 * @param[in] session the session.
 * @param[out] error why it is not back (may be NULL).
 * @return VELKOR_APP_OK, or the open errors of velkor_app_open;
 *         VELKOR_APP_E_LINK for an adopted handle.
 */
VELKOR_APP_API int velkor_app_reconnect(velkor_app_session *session, velkor_app_error *error);

/**
 * Ends the session: an emulated reader's state goes to its file, the
 * reader is let go and the session freed (also on failure).
 * @param[in] session the session, or NULL (nothing done).
 * @param[out] error why the state could not be kept (may be NULL).
 * @return VELKOR_APP_OK, or VELKOR_APP_E_FILE.
 */
VELKOR_APP_API int velkor_app_close(velkor_app_session *session, velkor_app_error *error);

/* ------------------------------------------------------------------------ */
/* Tags: inventory, records, the one-tag rule, operations                    */
/* ------------------------------------------------------------------------ */

#define VELKOR_APP_ID_ROOM 255  /**< the longest record one length byte names */
#define VELKOR_APP_URI_ROOM 192
#define VELKOR_APP_MASK_ROOM 32

/** One tag of a round. */
typedef struct velkor_app_tag {
  unsigned round;     /**< the round's number, from 1 */
  long long unix_ms;  /**< when it was read, ms since 1970 (UTC) */
  int antenna;        /**< byte 4 of the reply */
  int epc_length;     /**< bytes in epc; 0 when the reader sent the TID alone */
  unsigned char epc[VELKOR_APP_ID_ROOM];
  int tid_length;     /**< bytes in tid; -1 when the round asked for no TID */
  unsigned char tid[VELKOR_APP_ID_ROOM];
  char uri[VELKOR_APP_URI_ROOM]; /**< the GS1 tag URI; "" when not decoded or of no scheme */
} velkor_app_tag;

/** A selection mask: the tags whose bank holds these bits. */
typedef struct velkor_app_mask {
  int bank;         /**< VELKOR_BANK_... */
  int bit_address;  /**< where the bits start in the bank (32: the EPC) */
  int bits;         /**< how many bits; -1: every bit of the bytes */
  int length;       /**< bytes in bytes; 0: no mask */
  unsigned char bytes[VELKOR_APP_MASK_ROOM];
} velkor_app_mask;

/** Which tag an operation acts on: by EPC, by mask, or neither. */
typedef struct velkor_app_target {
  int epc_length;          /**< bytes in epc (whole words); 0: not named by EPC */
  unsigned char epc[62];
  velkor_app_mask mask;    /**< mask.length 0: not named by mask */
  unsigned char password[4]; /**< the access (or kill) password */
} velkor_app_target;

/**
 * One Gen2 inventory round.
 * @param[in] session the session.
 * @param[in] mask select by it (NULL, or length 0: every tag).
 * @param[in] tid non-zero: read each tag's TID (6 words) in the same round.
 * @param[in] decode non-zero: give each tag its GS1 tag URI.
 * @param[out] tags room for `room` tags; the first min(room, *count) written.
 * @param[in] room tags the array holds.
 * @param[out] count tags the round found (more than room: the rest dropped).
 * @param[out] error why the round failed (may be NULL).
 * @return VELKOR_APP_OK (also when no tag answered: *count 0), or the round's
 *         failure (VELKOR_APP_E_LINK, VELKOR_APP_E_READER).
 */
VELKOR_APP_API int velkor_app_inventory(velkor_app_session *session,
                                        const velkor_app_mask *mask, int tid, int decode,
                                        velkor_app_tag *tags, int room, int *count,
                                        velkor_app_error *error);

/**
 * Decodes a tag-identifier list as the inventories hand it back (per
 * record one length byte, then the bytes).
 * @param[in] list the list.
 * @param[in] length bytes in it.
 * @param[in] tag_count the reader's count of tags; with tid, it tells EPC+TID
 *            pairs (twice as many records) from TIDs sent alone.
 * @param[in] tid non-zero: the inventory asked for TIDs.
 * @param[out] tags room for `room` tags (round 0, time 0, no URI).
 * @param[in] room tags the array holds.
 * @param[out] count the whole records' tags (more than room: the rest dropped).
 * @return VELKOR_APP_OK, or VELKOR_APP_E_BAD_INPUT when a record ran past the
 *         end (the tags before it are written).
 */
VELKOR_APP_API int velkor_app_decode_records(const unsigned char *list, int length,
                                             int tag_count, int tid, velkor_app_tag *tags,
                                             int room, int *count);

/**
 * The one-tag rule: the tag an operation would change.  A named target is
 * given back as it is; an unnamed one is settled by one inventory round to
 * the only tag in the field.
 * @param[in] session the session.
 * @param[in] target the target as given.
 * @param[in] operation its name, for the error ("write").
 * @param[out] settled the target to act on, on VELKOR_APP_OK.
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; VELKOR_APP_E_NO_TAG; VELKOR_APP_E_SEVERAL_TAGS (with
 *         error->tags); the round's failure.
 */
VELKOR_APP_API int velkor_app_settle(velkor_app_session *session,
                                     const velkor_app_target *target, const char *operation,
                                     velkor_app_target *settled, velkor_app_error *error);

/**
 * Reads words of a tag's bank (reading changes nothing: an unnamed target
 * reads whichever tag answers).
 * @param[in] session the session.
 * @param[in] target the tag.
 * @param[in] bank VELKOR_BANK_...
 * @param[in] pointer the first word.
 * @param[in] words how many words (1 to 120).
 * @param[out] data room for 2 * words bytes, written on VELKOR_APP_OK.
 * @param[in] room bytes data holds (less than 2 * words: VELKOR_APP_E_BAD_INPUT).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_read(velkor_app_session *session, const velkor_app_target *target,
                                   int bank, int pointer, int words, unsigned char *data,
                                   int room, velkor_app_error *error);

/**
 * Writes whole words to a tag's bank, under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[in] bank VELKOR_BANK_...
 * @param[in] pointer the first word.
 * @param[in] data the words, most significant byte first.
 * @param[in] length bytes of data (even).
 * @param[out] changed the tag written, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_write(velkor_app_session *session, const velkor_app_target *target,
                                    int bank, int pointer, const unsigned char *data, int length,
                                    velkor_app_target *changed, velkor_app_error *error);

/**
 * Zeroes words of a tag's bank, under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[in] bank VELKOR_BANK_...
 * @param[in] pointer the first word (0 to 255).
 * @param[in] words how many words.
 * @param[out] changed the tag erased, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_erase(velkor_app_session *session, const velkor_app_target *target,
                                    int bank, int pointer, int words, velkor_app_target *changed,
                                    velkor_app_error *error);

/**
 * Gives a tag a new EPC, under the one-tag rule (a named tag gets it through
 * its EPC bank, the PC word's length bits with it).
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[in] epc the new EPC.
 * @param[in] length its bytes (whole words).
 * @param[out] changed the tag as it was named before (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_write_epc(velkor_app_session *session,
                                        const velkor_app_target *target,
                                        const unsigned char *epc, int length,
                                        velkor_app_target *changed, velkor_app_error *error);

/**
 * Locks or unlocks a bank or a password of a tag, under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[in] field VELKOR_LOCK_KILL_PASSWORD ... VELKOR_LOCK_USER.
 * @param[in] action VELKOR_LOCK_WRITABLE ... VELKOR_LOCK_PERMANENTLY_LOCKED.
 * @param[out] changed the tag, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_lock(velkor_app_session *session, const velkor_app_target *target,
                                   int field, int action, velkor_app_target *changed,
                                   velkor_app_error *error);

/**
 * Kills a tag (target->password is its kill password), under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[out] changed the tag, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_kill(velkor_app_session *session, const velkor_app_target *target,
                                   velkor_app_target *changed, velkor_app_error *error);

/**
 * Puts a tag into privacy, under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[out] changed the tag, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_privacy(velkor_app_session *session,
                                      const velkor_app_target *target,
                                      velkor_app_target *changed, velkor_app_error *error);

/**
 * Sets or clears a tag's EAS bit, under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[in] on non-zero: set it.
 * @param[out] changed the tag, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_eas(velkor_app_session *session, const velkor_app_target *target,
                                  int on, velkor_app_target *changed, velkor_app_error *error);

/**
 * Permalocks one 8-word block of a tag's user memory, under the one-tag rule.
 * @param[in] session the session.
 * @param[in] target the tag (unnamed: the only one in the field).
 * @param[in] block the block.
 * @param[out] changed the tag, settled (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; the settle's errors; the reader's failure.
 */
VELKOR_APP_API int velkor_app_block_lock(velkor_app_session *session,
                                         const velkor_app_target *target, int block,
                                         velkor_app_target *changed, velkor_app_error *error);

/* ------------------------------------------------------------------------ */
/* Reader information and settings                                           */
/* ------------------------------------------------------------------------ */

/** A region and its channel range. */
typedef struct velkor_app_region {
  int region, lowest, highest;
} velkor_app_region;

/** The information block and serial number, decoded. */
typedef struct velkor_app_info {
  unsigned char block[12];  /**< as the reader laid it out */
  unsigned char serial[4];  /**< zeros unless read with the block */
  int firmware_major, firmware_minor, type;
  int gen2, iso6b;          /**< protocols, 1 or 0 */
  velkor_app_region region; /**< as set: region 5 included */
  velkor_app_region packed; /**< the two region bytes as they travel */
  int power_dbm, scan_time_ms, antenna, beep, comm_type;
} velkor_app_info;

/** The work-mode parameters, decoded. */
typedef struct velkor_app_config {
  int mode, interval, response[2], tag_type, eas_sensitivity;
  velkor_app_mask mask;  /**< the automatic mode's mask; length 0: none */
  int trigger_time, tid[2], work_time[2], scan_time_ms, antenna;
} velkor_app_config;

/** Work-mode parameters to change: -1 (or mask.length 0) leaves one alone. */
typedef struct velkor_app_config_change {
  int mode, interval, response[2], tag_type, eas_sensitivity;
  velkor_app_mask mask;
  int trigger_time, tid[2], work_time[2], scan_time, antenna, custom_function;
} velkor_app_config_change;

/**
 * Decodes an information block, as velkor_app_read_info does.
 * @param[in] block the 12 bytes of GetReaderInformation, in order.
 * @param[out] info the block decoded (serial zeros).
 */
VELKOR_APP_API void velkor_app_decode_info(const unsigned char *block, velkor_app_info *info);

/**
 * Reads and decodes the information block.
 * @param[in] session the session.
 * @param[in] with_serial non-zero: also read the serial number.
 * @param[out] info the reader's information, on VELKOR_APP_OK.
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_read_info(velkor_app_session *session, int with_serial,
                                        velkor_app_info *info, velkor_app_error *error);

/**
 * Reads the work-mode parameters, the work time and the information block.
 * @param[in] session the session.
 * @param[out] config the parameters, on VELKOR_APP_OK.
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_read_config(velkor_app_session *session, velkor_app_config *config,
                                          velkor_app_error *error);

/**
 * Fills a change with "leave alone" everywhere.
 * @param[out] change the change to fill.
 */
VELKOR_APP_API void velkor_app_config_change_init(velkor_app_config_change *change);

/**
 * Sends the settings the change gives, in a fixed order (mode, interval,
 * response, tag type, EAS sensitivity, mask, trigger time, TID, work time,
 * scan time, antenna, custom function), stopping at the first refusal.
 * @param[in] session the session.
 * @param[in] change what to change.
 * @param[out] error the refusal; its operation names the setting (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_set_config(velkor_app_session *session,
                                         const velkor_app_config_change *change,
                                         velkor_app_error *error);

/**
 * Sets the RF power.
 * @param[in] session the session.
 * @param[in] dbm the power in dBm.
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_set_power(velkor_app_session *session, int dbm,
                                        velkor_app_error *error);

/**
 * Sets the region with every channel (lowest and highest -1) or a range
 * (a -1 end: the plan's); the range is checked against the plan first.
 * @param[in] session the session.
 * @param[in] region 1 to 5.
 * @param[in] lowest the lowest channel, or -1.
 * @param[in] highest the highest channel, or -1.
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK; VELKOR_APP_E_BAD_INPUT for a range outside the plan
 *         (nothing sent); the reader's failure.
 */
VELKOR_APP_API int velkor_app_set_region(velkor_app_session *session, int region, int lowest,
                                         int highest, velkor_app_error *error);

/**
 * Sets whether the reader beeps on each inventory.
 * @param[in] session the session.
 * @param[in] setting 0 off, 1 on (another byte goes as it is).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_set_beep(velkor_app_session *session, int setting,
                                       velkor_app_error *error);

/**
 * Sets the reader's clock.
 * @param[in] session the session.
 * @param[in] block 6 bytes: year - 2000, month, day, hour, minute, second.
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK, or the reader's failure.
 */
VELKOR_APP_API int velkor_app_set_clock(velkor_app_session *session, const unsigned char *block,
                                        velkor_app_error *error);

/* ------------------------------------------------------------------------ */
/* Documents: the one event model                                            */
/* ------------------------------------------------------------------------ */

/**
 * The read document of a tag: {"round", "time", "epc", "antenna"}, "tid"
 * when the tag has one (tid_length >= 0), "uri" (string or null) with uri.
 * @param[in] tag the tag.
 * @param[in] with_uri non-zero: write "uri".
 * @param[out] json room for the document.
 * @param[in] room bytes json holds.
 * @return the document's length in bytes (json holds it whole when less
 *         than room), or -1 for a NULL tag.
 */
VELKOR_APP_API int velkor_app_tag_json(const velkor_app_tag *tag, int with_uri, char *json,
                                       size_t room);

/**
 * The information document, as `velkor info --json` prints it.
 * @param[in] info the decoded information.
 * @param[in] index the reader's index.
 * @param[in] path its device path ("emulator").
 * @param[in] address its reader address (as velkor_app_address holds it).
 * @param[out] json room for the document.
 * @param[in] room bytes json holds.
 * @return the document's length, as for velkor_app_tag_json.
 */
VELKOR_APP_API int velkor_app_info_json(const velkor_app_info *info, int index, const char *path,
                                        int address, char *json, size_t room);

/**
 * The settings document, as `velkor config --json` prints it.
 * @param[in] config the decoded parameters.
 * @param[out] json room for the document.
 * @param[in] room bytes json holds.
 * @return the document's length, as for velkor_app_tag_json.
 */
VELKOR_APP_API int velkor_app_config_json(const velkor_app_config *config, char *json,
                                          size_t room);

/* ------------------------------------------------------------------------ */
/* Jobs: watch and commissioning                                             */
/* ------------------------------------------------------------------------ */

/** Stops one job; request from any thread (or a signal handler). */
typedef struct velkor_app_stop velkor_app_stop;

/**
 * A new stop handle, not yet requested.
 * @return the handle, or NULL when out of memory.
 */
VELKOR_APP_API velkor_app_stop *velkor_app_stop_new(void);

/**
 * Asks the job that holds the handle to stop after the step in hand.
 * Async-signal-safe.
 * @param[in] stop the handle.
 */
VELKOR_APP_API void velkor_app_stop_request(velkor_app_stop *stop);

/**
 * Frees a handle no job holds any more.
 * @param[in] stop the handle, or NULL.
 */
VELKOR_APP_API void velkor_app_stop_free(velkor_app_stop *stop);

/** A job's events. */
typedef struct velkor_app_callbacks {
  /** Each event: its name ("read", "arrive", "depart", "round", "reader-lost",
      "tag", "void", "end", ...) and its JSON document (schema: events). */
  void (*on_event)(const char *name, const char *json, void *user);
  /** Commissioning's stages of the taken-th tag (VELKOR_APP_STAGE_...); a
      non-zero return ends the run there at once, as a crash would: nothing
      more is logged (for tests of resuming).  NULL: none. */
  int (*on_stage)(int stage, unsigned taken, void *user);
  /** The job waits up to ms: spend it here (NULL: it sleeps). */
  void (*idle)(int ms, void *user);
  void *user;
} velkor_app_callbacks;

/** How a watch paces and selects. */
typedef struct velkor_app_watch_options {
  velkor_app_mask mask;  /**< length 0: every tag */
  int tid;               /**< non-zero: each tag's TID in the same round */
  int decode;            /**< non-zero: each read carries its tag URI */
  unsigned rounds;       /**< stop after this many rounds; 0: no limit */
  long long duration_ms; /**< stop after this long; 0: no limit */
  int interval_ms;       /**< pause after each round */
  long long depart_after_ms; /**< a tag unread this long departs (0: 3000) */
} velkor_app_watch_options;

/** How a watch went. */
typedef struct velkor_app_watch_summary {
  unsigned rounds, failed;
  int stopped;           /**< ended by its stop handle */
  long long elapsed_ms;
  int unique, reads;
} velkor_app_watch_summary;

/**
 * Inventory rounds until the stop handle or the limits end them, a lost
 * reader looked for every second; each read ("read"), round, arrival,
 * departure and the reader lost and back go to on_event.
 * @param[in] session the session (opened by velkor_app_open to reconnect).
 * @param[in] options pacing and selection (NULL: no limit, no mask).
 * @param[in] callbacks the events (NULL: none).
 * @param[in] stop the job's stop handle (NULL: only its limits end it).
 * @param[out] summary how it went, on VELKOR_APP_OK (may be NULL).
 * @param[out] error why not (may be NULL).
 * @return VELKOR_APP_OK (stopped included), or VELKOR_APP_E_LINK when
 *         nothing ever answered at a chosen address.
 */
VELKOR_APP_API int velkor_app_watch(velkor_app_session *session,
                                    const velkor_app_watch_options *options,
                                    const velkor_app_callbacks *callbacks, velkor_app_stop *stop,
                                    velkor_app_watch_summary *summary, velkor_app_error *error);

#define VELKOR_APP_STAGE_BEFORE_WRITE 0   /**< "writing" logged, the tag untouched */
#define VELKOR_APP_STAGE_AFTER_WRITE 1    /**< the EPC on the tag, not read back */
#define VELKOR_APP_STAGE_BEFORE_OUTCOME 2 /**< done, locks and all; outcome not logged */

/** What commissioning issues and how. */
typedef struct velkor_app_commission_options {
  const char *gtin;             /**< GS1 keys: the GTIN (then plan_file NULL) */
  int prefix_length;            /**< digits of its company prefix */
  unsigned long long serial_from, count; /**< the serial range */
  const char *plan_file;        /**< or a file of URIs or hex EPCs */
  int filter;                   /**< filter value 0-7 */
  const char *scheme;           /**< "sgtin-96" ...; NULL: the smallest that holds each */
  const char *journal;          /**< the log's path; NULL or "": in memory only */
  const unsigned char *access_password; /**< 4 bytes to set, or NULL */
  const int *lock;              /**< lock fields (VELKOR_LOCK_...), with the password */
  int lock_count;
  long long timeout_ms;         /**< wait for each next tag; 0: look once */
  const char *const *voids;     /**< serials whose tags are lost, voided first */
  int void_count;
} velkor_app_commission_options;

#define VELKOR_APP_COMPLETE 0  /**< every identity used, nothing cut short */
#define VELKOR_APP_NO_TAG_CAME 1
#define VELKOR_APP_STOPPED 2
#define VELKOR_APP_FAILED 3

/** How a commissioning run ended. */
typedef struct velkor_app_commission_summary {
  int end;              /**< VELKOR_APP_COMPLETE ... VELKOR_APP_FAILED */
  long long done, total, this_run;
  long long elapsed_ms;
  int interrupted;      /**< writes still cut short */
} velkor_app_commission_summary;

/**
 * Commissions tags placed on the reader one at a time: each identity of the
 * plan written, read back, the access password set and the locks applied,
 * every step kept in the journal first; a rerun with the same journal
 * resumes and never issues an identity twice.  Events ("interrupted",
 * "void", "several", "unneeded", "resuming", "left", "tag", "end") go to
 * on_event, the stages to on_stage.
 * @param[in] session the session.
 * @param[in] options the plan, journal, password, locks, timeout, voids.
 * @param[in] callbacks the events (NULL: none).
 * @param[in] stop the job's stop handle (NULL: none).
 * @param[out] summary how it ended, when the run started (may be NULL).
 * @param[out] error why it did not complete (may be NULL).
 * @return VELKOR_APP_OK when complete; VELKOR_APP_E_BAD_INPUT (a plan or
 *         journal that cannot be used), VELKOR_APP_E_NO_TAG (no tag within
 *         the timeout), VELKOR_APP_E_STOPPED (stop handle, or on_stage),
 *         VELKOR_APP_E_CONFLICT, VELKOR_APP_E_FILE, the reader's failure.
 *         The Windows build has no commissioning: there it always fails
 *         with VELKOR_APP_E_BAD_INPUT ("commissioning is not available in
 *         the Windows build"), summary zeroed, nothing sent to the reader.
 */
VELKOR_APP_API int velkor_app_commission(velkor_app_session *session,
                                         const velkor_app_commission_options *options,
                                         const velkor_app_callbacks *callbacks,
                                         velkor_app_stop *stop,
                                         velkor_app_commission_summary *summary,
                                         velkor_app_error *error);

#ifdef __cplusplus
}
#endif

#endif /* VELKOR_APP_H */
