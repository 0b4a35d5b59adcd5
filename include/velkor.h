/*
 * Velkor: host-side SDK for the Velkor desktop UHF RFID reader (USB HID).
 *
 * Every command function takes the reader address (one byte, by pointer) first
 * and the device handle last, sends one command frame, collects the reply and
 * returns a status in 0..255: STATUS_OK, one of the link codes below, or the
 * reader's own status byte passed through unchanged.  The two share one value
 * space (0xFF is both STATUS_PARAMETER_ERROR and a reader status).
 *
 * Conventions that hold for every function unless its comment says otherwise:
 *  - A byte argument travels as its low 8 bits.
 *  - Multi-byte values (passwords, mask addresses, identifiers, clock blocks,
 *    16-bit outputs) are passed by pointer and copied in memory order in both
 *    directions: the byte at the pointer is the first byte on the wire.
 *  - A link failure (STATUS_COMM_ERROR, STATUS_INVALID_HANDLE), a bad CRC
 *    (STATUS_CRC_ERROR) or a reply to another command
 *    (STATUS_COMMAND_MISMATCH) writes no output and leaves the reader address
 *    as it was.
 *  - After a good reply, outputs and the address are written according to the
 *    function's write-back variant:
 *      outputs on success: address and outputs written only on status 0;
 *      address always:     address written whatever the status, no outputs;
 *      no address:         outputs on status 0, address never written;
 *      status only:        nothing written;
 *      outputs always:     outputs written whatever the status, no address
 *                          (on a non-zero status they mean nothing).
 *  - A field the reply does not carry (past its data: its CRC, or beyond)
 *    reads as 0.  Input reports already waiting on the handle when a command
 *    starts answer no poll of it and are discarded.
 *  - Pointers are not tested; every pointer the call needs must be valid.
 *  - handle is a device handle from GetDeviceList, or any descriptor that
 *    behaves like one (an emulator's host end).
 *  - Gen2 and 6B tag commands report a tag error code through an int pointer:
 *    -1 after status 0, the tag's error byte after status 0xFC (tag error),
 *    untouched otherwise.
 *
 * Thread safety: the library keeps no state and takes no lock.  Calls on
 * different handles may run concurrently; calls on one handle must be
 * serialised by the caller.  Each call blocks for at most its reply
 * collector's time limit plus one poll cycle (2 s for most commands, 15 s for
 * the multi-frame inventories, 10 s for the buffer read, 6 s for the buffered
 * inventory).
 */
#ifndef VELKOR_H
#define VELKOR_H

#include <stdint.h>

#ifdef _WIN32
#  ifdef VELKOR_BUILDING
#    define VELKOR_API __declspec(dllexport)
#  else
#    define VELKOR_API __declspec(dllimport)
#  endif
#  define VELKOR_CALL __stdcall
#else
#  define VELKOR_API __attribute__((visibility("default")))
#  define VELKOR_CALL
#endif

#ifdef __cplusplus
#  define VELKOR_EXTERN_C extern "C"
#else
#  define VELKOR_EXTERN_C
#endif

#define VELKOR_EXPORT VELKOR_EXTERN_C VELKOR_API

/** Device handle: an open reader (a file descriptor on Linux, a HANDLE on
 *  Windows).  All bits set is the invalid-handle value. */
#ifdef _WIN32
typedef void *VelkorHandle;
#  define VELKOR_INVALID_HANDLE ((VelkorHandle)(intptr_t)-1)
#else
typedef int VelkorHandle;
#  define VELKOR_INVALID_HANDLE (-1)
#endif

/** Room GetDeviceList needs in the caller's handle array. */
#define VELKOR_MAX_DEVICES 100
/** Room GetChannelList needs in the caller's text array (largest plan + null). */
#define VELKOR_MAX_CHANNELS 51

/* Return codes.  Windows' winnt.h has its own STATUS_INVALID_HANDLE; the
 * reader's code must win inside code that uses this header. */
#ifdef STATUS_INVALID_HANDLE
#  undef STATUS_INVALID_HANDLE
#endif
/** Success; also the reader's success status. */
#define STATUS_OK               0x00
/** A report was not written or read, no complete reply arrived in time, or no
 *  reader was found. */
#define STATUS_COMM_ERROR       0x30
/** The reply's CRC residue is not zero. */
#define STATUS_CRC_ERROR        0x31
/** The device handle is the invalid-handle value. */
#define STATUS_INVALID_HANDLE   0x37
/** The reply answers another command. */
#define STATUS_COMMAND_MISMATCH 0xEE
/** An argument is outside its range, or the request cannot fit one report;
 *  nothing was sent. */
#define STATUS_PARAMETER_ERROR  0xFF

/* Reader statuses this library and the emulator give a meaning to.  The
 * reader sends them in its reply's status byte; the library passes them
 * through unchanged.  0xFF, the reader's "parameter out of range", has the
 * value of STATUS_PARAMETER_ERROR. */
/** Inventory complete; the success status of SingleTagInventory_G2 and of
 *  a complete multi-frame inventory or buffer read. */
#define VELKOR_STATUS_INVENTORY_COMPLETE 0x01
/** The inventory stopped at its scan time (final; its frame holds tags). */
#define VELKOR_STATUS_INVENTORY_STOPPED  0x02
/** More frames follow (not final). */
#define VELKOR_STATUS_MORE_FRAMES        0x03
/** The reader's tag memory is full (not final). */
#define VELKOR_STATUS_MEMORY_FULL        0x04
/** The reader's inventory failed, first kind (final, contributes nothing). */
#define VELKOR_STATUS_INVENTORY_FAILED   0xF8
/** The reader's inventory failed, second kind (final, contributes nothing). */
#define VELKOR_STATUS_INVENTORY_ABORTED  0xF9
/** Tags answered but could not be read (not final). */
#define VELKOR_STATUS_TAG_UNREADABLE     0xFA
/** No tag in the field, or no tag matched the addressing (final). */
#define VELKOR_STATUS_NO_TAG             0xFB
/** The tag reported an error; its code goes to the tag error output. */
#define VELKOR_STATUS_TAG_ERROR          0xFC
/** The reader refused the command's length (final). */
#define VELKOR_STATUS_LENGTH_ERROR       0xFD
/** The reader does not know the command (final). */
#define VELKOR_STATUS_UNKNOWN_COMMAND    0xFE

/* Tag error codes, written to *error_code after VELKOR_STATUS_TAG_ERROR. */
/** What the tag commands leave in *error_code after status 0. */
#define VELKOR_TAG_ERROR_NONE               (-1)
/** Other error (the emulator: a wrong or zero kill password). */
#define VELKOR_TAG_ERROR_OTHER              0x00
/** Words or bytes past the end of the bank or memory. */
#define VELKOR_TAG_ERROR_MEMORY_OVERRUN     0x03
/** A locked field without the access password, or a permalocked block. */
#define VELKOR_TAG_ERROR_MEMORY_LOCKED      0x04
/** The tag had too little power for the operation. */
#define VELKOR_TAG_ERROR_INSUFFICIENT_POWER 0x0B
/** Non-specific error. */
#define VELKOR_TAG_ERROR_NON_SPECIFIC       0x0F

/**
 * A status in words: a short constant English text for every code above
 * ("no tag in the field", "no complete reply in time", ...), "reader status
 * 0xNN" for any other value from 0 to 255 and "not a status code" outside
 * that range.  Sends nothing and allocates nothing.
 * @param[in] status a value a function of this library returned.
 * @return a text with static storage, never NULL; the caller must not free
 *         or change it.
 */
VELKOR_EXPORT const char *VELKOR_CALL GetReturnCodeText(int status);

/**
 * A tag error code in words: a constant text for every VELKOR_TAG_ERROR_
 * code ("memory locked", ...), "code 0xNN" for any other value from 0 to
 * 255, "no tag error" for -1 and "not a tag error code" for the rest.  Sends
 * nothing and allocates nothing.
 * @param[in] code the tag error code a tag command wrote.
 * @return a text with static storage, never NULL; the caller must not free
 *         or change it.
 */
VELKOR_EXPORT const char *VELKOR_CALL GetTagErrorText(int code);

/* ------------------------------------------------------------------------ */
/* Discovery and handles                                                     */
/* ------------------------------------------------------------------------ */

/**
 * Finds the readers (USB vendor 0x0470, product 0xA112) among the HID
 * interfaces, opens each and greets it with the begin control report.
 * @param[out] handles room for VELKOR_MAX_DEVICES handles; the first *count
 *                slots hold the readers in enumeration order.
 * @param[out] count number of readers; written only on STATUS_OK.
 * @return STATUS_OK when at least one reader was found and greeted;
 *         STATUS_COMM_ERROR when none was found (no handle is left open) or
 *         a greeting could not be written within 50 ms (then every handle
 *         this call opened is closed again and its slot holds
 *         VELKOR_INVALID_HANDLE).
 */
VELKOR_EXPORT int VELKOR_CALL GetDeviceList(VelkorHandle *handles, int *count);

/**
 * Closes a handle from GetDeviceList.
 * @param[in] handle the handle to close; not usable afterwards.
 * @return STATUS_COMM_ERROR for VELKOR_INVALID_HANDLE (nothing closed),
 *         otherwise STATUS_OK (the outcome of the close is not reported).
 */
VELKOR_EXPORT int VELKOR_CALL CloseUSBPort(VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* Reader identity and link settings (variants as noted)                     */
/* ------------------------------------------------------------------------ */

/**
 * Reads the reader's information block (command 0x21).  Variant: outputs on
 * success.  Bytes beyond a short reply read as 0.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] info01 VELKOR_INFO01_SIZE bytes: reply data bytes 0 and 1 in
 *                    order (firmware major and minor), on status 0.
 * @param[out] info2, info3, info4, info5, info6, info7, info8, info9, info10, info11
 *                    reply data bytes 2 to 11, one each, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes anything), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetReaderInformation(
    unsigned char *address, unsigned char *info01, unsigned char *info2,
    unsigned char *info3, unsigned char *info4, unsigned char *info5,
    unsigned char *info6, unsigned char *info7, unsigned char *info8,
    unsigned char *info9, unsigned char *info10, unsigned char *info11,
    VelkorHandle handle);

/**
 * Sets the reader's bus address (0x24).  Variant: address always.
 * @param[in,out] address the reader's present address; after a good reply,
 *                whatever its status, the address the reader answered from.
 * @param[in] new_address the address to take.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (then *address is
 *         untouched; STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetAddress(unsigned char *address,
                                         unsigned char new_address,
                                         VelkorHandle handle);

/**
 * Sets the communication type (0x6A).  Variant: outputs on success (only the
 * address is written back, on status 0).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] comm_type the type byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetCommType(unsigned char *address,
                                          unsigned char comm_type,
                                          VelkorHandle handle);

/**
 * Writes the 4-byte serial number (0x4B; request 4E 37 then the serial).
 * Variant: outputs on success (address only).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] serial VELKOR_SERIAL_SIZE bytes, sent in memory order.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetSeriaNo(unsigned char *address,
                                         unsigned char *serial,
                                         VelkorHandle handle);

/**
 * Reads the 4-byte serial number (0x4C).  Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] serial room for VELKOR_SERIAL_SIZE bytes: reply data bytes 0
 *                    to 3, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetSeriaNo(unsigned char *address,
                                         unsigned char *serial,
                                         VelkorHandle handle);

/**
 * Reads the 2-byte module version (0x83).  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[out] version room for VELKOR_MODULE_VERSION_SIZE bytes: reply data
 *                     bytes 0 and 1, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetModuleVersion(unsigned char *address,
                                               unsigned char *version,
                                               VelkorHandle handle);

/** The library version GetSDKVersion reports, as three numbers. */
#define VELKOR_VERSION_MAJOR 1
#define VELKOR_VERSION_MINOR 3
#define VELKOR_VERSION_PATCH 0
/** Room GetSDKVersion needs: major, minor, patch. */
#define VELKOR_SDK_VERSION_SIZE 3
/** Room of GetReaderInformation's info01, GetModuleVersion's version and
 *  GetSeriaNo's serial. */
#define VELKOR_INFO01_SIZE 2
#define VELKOR_MODULE_VERSION_SIZE 2
#define VELKOR_SERIAL_SIZE 4

/**
 * Writes the library version 1.3.0 as the three bytes 0x01 0x03 0x00.
 * Sends nothing.
 * @param[out] version room for VELKOR_SDK_VERSION_SIZE bytes: major, minor,
 *                     patch.
 * @return STATUS_OK always.
 */
VELKOR_EXPORT int VELKOR_CALL GetSDKVersion(unsigned char *version);

/**
 * Inert link setting kept for compatibility: reads none of its arguments
 * and sends nothing.
 * @param[in] address not read.
 * @param[in] baud not read.
 * @param[in] handle not read.
 * @return STATUS_OK always.
 */
VELKOR_EXPORT int VELKOR_CALL SetBaudRate(unsigned char *address,
                                          unsigned char baud,
                                          VelkorHandle handle);
/**
 * Inert link setting kept for compatibility: reads none of its arguments
 * and sends nothing.
 * @param[in] address not read.
 * @param[in] mode not read.
 * @param[in] handle not read.
 * @return STATUS_OK always.
 */
VELKOR_EXPORT int VELKOR_CALL ChangeATMode(unsigned char *address,
                                           unsigned char mode,
                                           VelkorHandle handle);
/**
 * Inert link setting kept for compatibility: reads none of its arguments
 * and sends nothing.
 * @param[in] address not read.
 * @param[in] command not read.
 * @param[in] handle not read.
 * @return STATUS_OK always.
 */
VELKOR_EXPORT int VELKOR_CALL TransparentCMD(unsigned char *address,
                                             unsigned char command,
                                             VelkorHandle handle);
/* ------------------------------------------------------------------------ */
/* EPC Gen2 inventory                                                        */
/*                                                                           */
/* The full and fast inventories answer with a run of frames: length,       */
/* address, echo, status, byte 4, tag count, tag data, CRC.  Frames with    */
/* status 1 to 4 are accepted: their tag data is appended to the            */
/* tag-identifier list in arrival order (the library passes the reader's    */
/* per-tag records through unsplit; Inventory_G2 says what a record is),    */
/* their tag counts are summed, and the byte 4 of the last one is handed    */
/* back.  Other frames are stepped over.                                    */
/* An accepted frame too short for its fields, or running past the bytes    */
/* received, contributes nothing.  Neither echo nor the frames' CRCs are    */
/* tested; the reply is complete once a final frame (status 1, 2, 0xF8,     */
/* 0xF9, 0xFB, 0xFD, 0xFE or 0xFF) has arrived whole.                       */
/* ------------------------------------------------------------------------ */

/* The two inventory parameter bytes (request data bytes 0 and 1) are the
 * reader's to interpret; the emulator accepts any value and ignores them.
 * The tool, the examples, the Python binding and the documentation all send
 * this pair. */
#define VELKOR_INVENTORY_PARAM0 0x04
#define VELKOR_INVENTORY_PARAM1 0x00
/** Room of the tag-identifier list of Inventory_G2 and Fast_EPC_Inventory_G2
 *  (the most the reply collector keeps). */
#define VELKOR_MAX_TAG_LIST 6000
/** Room of SingleTagInventory_G2's tag_data (the most one reply carries). */
#define VELKOR_MAX_SINGLE_TAG 249

/**
 * Gen2 inventory (command 0x01).  The begin control report precedes the
 * frame.  Request data: param0, param1, then up to three groups in this
 * order, each sent only when its flag is exactly 1 (otherwise its arguments
 * are not read): the mask group (mask_mem, the two bytes at mask_addr,
 * mask_len, ceil(mask_len / 8) bytes at mask_data), the TID group (tid_addr,
 * tid_len) and the trailing group (trail0, trail1, trail2).
 * @param[in] param0, param1 the inventory parameter bytes (request data 0 and
 *                   1; VELKOR_INVENTORY_PARAM0 and VELKOR_INVENTORY_PARAM1
 *                   are what the tool and the bindings send).
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group: bank
 *                   (VELKOR_BANK_...), two address bytes, length in bits and
 *                   ceil(mask_len / 8) mask bytes; read only when mask_flag
 *                   is 1.
 * @param[in] mask_flag 1 to send the mask group.
 * @param[in] tid_addr, tid_len the TID group; read only when tid_flag is 1.
 * @param[in] tid_flag 1 to send the TID group.
 * @param[in] trail0, trail1, trail2 the trailing group; read only when
 *                   trail_flag is 1.
 * @param[in] trail_flag 1 to send the trailing group.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in] address reader address (never written back).
 * @param[out] list the tag-identifier list: room for VELKOR_MAX_TAG_LIST
 *                  bytes, of which *total_len are written when the reply
 *                  arrived.  It is a run of records without separators, as
 *                  the reader lays them out: a record is one byte, the
 *                  length N in bytes, then N bytes.  Each tag gives one
 *                  record, its EPC (N = 12 for a 96-bit EPC); with the TID
 *                  group each tag gives two, its EPC record followed by a
 *                  TID record (the TID words asked for, high byte first).
 *                  Walk it by the length bytes up to *total_len; two tags
 *                  with 96-bit EPCs: 0C, 12 EPC bytes, 0C, 12 EPC bytes.
 * @param[out] frame4 byte 4 of the last accepted frame; untouched when no
 *                  frame was accepted.
 * @param[out] total_len bytes in list; written when the reply arrived.
 * @param[out] tag_count set to 0 once collection was tried (whatever its
 *                  outcome), then the sum of the accepted frames' tag counts:
 *                  tags, not records (with the TID group the list holds
 *                  twice as many records).
 * @return the status of the reply's last frame (1 when all went well, 0xFB
 *         when no tag answered); STATUS_COMM_ERROR when the begin report
 *         cannot be written (so also for the invalid handle; nothing
 *         written, tag_count untouched) or no final frame arrives within
 *         15 s (only tag_count written).
 */
VELKOR_EXPORT int VELKOR_CALL Inventory_G2(
    unsigned char *address, unsigned char param0, unsigned char param1,
    unsigned char mask_mem, unsigned char *mask_addr, unsigned char mask_len,
    unsigned char *mask_data, unsigned char mask_flag, unsigned char tid_addr,
    unsigned char tid_len, unsigned char tid_flag, unsigned char trail0,
    unsigned char trail1, unsigned char trail2, unsigned char trail_flag,
    unsigned char *list, unsigned char *frame4, int *total_len, int *tag_count,
    VelkorHandle handle);

/**
 * Fast EPC inventory (command 0x00), without the begin report.  Request data
 * bytes 0 to 4 are param0, param1, param2, *param3_frame4, param4: the
 * argument order is not the frame order.
 * @param[in] address reader address (never written back).
 * @param[in] param0, param1, param2, param4 request data bytes 0, 1, 2 and 4.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] param3_frame4 request data byte 3; out: byte 4 of the last
 *                      accepted frame (untouched when none was accepted).
 * @param[out] list, total_len, tag_count as for Inventory_G2: one EPC record
 *                  per tag (this inventory has no TID group).
 * @return as Inventory_G2; STATUS_INVALID_HANDLE for the invalid handle (with
 *         *tag_count set to 0).
 */
VELKOR_EXPORT int VELKOR_CALL Fast_EPC_Inventory_G2(
    unsigned char *address, unsigned char param0, unsigned char param1,
    unsigned char param2, unsigned char param4, unsigned char *param3_frame4,
    unsigned char *list, int *total_len, int *tag_count, VelkorHandle handle);

/**
 * Single-tag inventory (command 0x0F, no request data).  Success is status 1,
 * not 0: only then is the reply's address written to *address, reply byte 4
 * to *frame4 and reply bytes 5 to L-2 (L-6 bytes, L the length byte; one
 * tag's data, without a tag-count byte) to tag_data.  Any other status writes
 * nothing.
 * @param[in,out] address reader address; the reply's on status 1.
 * @param[out] frame4 reply byte 4, on status 1 only.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[out] tag_data room for VELKOR_MAX_SINGLE_TAG bytes, the most a reply
 *                 can carry (length byte 255), whatever one tag's record
 *                 needs; L-6 bytes written on status 1: one record as in
 *                 Inventory_G2's list, the EPC's length in bytes, then the
 *                 EPC.
 * @param[in] reserved not used; nothing is read or written through it.
 * @return the reply's status, or STATUS_COMM_ERROR, STATUS_CRC_ERROR,
 *         STATUS_COMMAND_MISMATCH, STATUS_INVALID_HANDLE (nothing written).
 */
VELKOR_EXPORT int VELKOR_CALL SingleTagInventory_G2(unsigned char *address,
                                                    unsigned char *tag_data,
                                                    void *reserved,
                                                    int *frame4,
                                                    VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* EPC Gen2 tag commands: memory access, kill and lock, privacy and EAS,     */
/* Monza 4QT.                                                                */
/*                                                                           */
/* Tag addressing: enum_words (E) 0..31 names the tag by its identifier     */
/* (2*E bytes at epc, right after E; the mask arguments are not read); 0xFF */
/* names it by the mask group (mask_mem, the two bytes at mask_addr,        */
/* mask_len bits, ceil(mask_len/8) bytes at mask_data), which then closes   */
/* the request (epc is not read).  E from 32 to 254 gives                   */
/* STATUS_PARAMETER_ERROR before anything is sent, and so does a request    */
/* that would not fit one 62-byte report (e.g. E from 25 in the read        */
/* functions, E + word_count above 24 in the identifier form of the write   */
/* functions); then no output is written.                                   */
/*                                                                           */
/* Passwords: four bytes at a pointer, sent in memory order.                */
/*                                                                           */
/* Tag error code (*error_code): -1 after status 0, reply byte 4 (0..255)   */
/* after status 0xFC (the tag reported an error, e.g. 0x03 memory overrun,  */
/* 0x04 memory locked, 0x0B insufficient power), untouched otherwise.       */
/*                                                                           */
/* Every function returns 0, 0xFC, any other reader status unchanged (no    */
/* output written), STATUS_PARAMETER_ERROR as above, or the exchange's      */
/* codes (STATUS_COMM_ERROR, STATUS_CRC_ERROR, STATUS_COMMAND_MISMATCH,     */
/* STATUS_INVALID_HANDLE), after which nothing is written.                  */
/* ------------------------------------------------------------------------ */

/* Gen2 memory banks (mem, mask_mem), by their number on the air. */
#define VELKOR_BANK_RESERVED 0 /**< kill password (words 0-1), access password (2-3) */
#define VELKOR_BANK_EPC      1 /**< stored CRC, PC, then the EPC */
#define VELKOR_BANK_TID      2 /**< the tag's identification */
#define VELKOR_BANK_USER     3 /**< user memory */

/* Lock_G2's select byte: the field to lock, as this reader and the emulator
 * number them. */
#define VELKOR_LOCK_KILL_PASSWORD   0
#define VELKOR_LOCK_ACCESS_PASSWORD 1
#define VELKOR_LOCK_EPC             2
#define VELKOR_LOCK_TID             3
#define VELKOR_LOCK_USER            4
/* Lock_G2's set_protect byte: what the field becomes. */
#define VELKOR_LOCK_WRITABLE             0 /**< writable (unlock) */
#define VELKOR_LOCK_PERMANENTLY_WRITABLE 1 /**< writable, for good */
#define VELKOR_LOCK_SECURED              2 /**< writable with the access password only */
#define VELKOR_LOCK_PERMANENTLY_LOCKED   3 /**< never writable */

/**
 * Reads word_count words from bank mem at word_ptr (command 0x02).  Request:
 * E, identifier, mem, word_ptr, word_count, password (identifier form); 0xFF,
 * mem, word_ptr, word_count, password, mask group (mask form).
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier (2 * enum_words bytes) and
 *                its length in words, 0 to 31; 0xFF names the tag by the mask
 *                group instead (epc unread).
 * @param[in] mem the bank, VELKOR_BANK_...
 * @param[in] word_ptr the first word.
 * @param[in] word_count words to read.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] data room for 2 * word_count bytes; on status 0 the reply's
 *                data bytes, at most 2 * word_count of them (a reader that
 *                sends more cannot overrun the caller's buffer; a
 *                word_count of 0 is sent as it is and copies nothing).
 * @param[out] error_code -1 on status 0, the tag's error code (a
 *                VELKOR_TAG_ERROR_ value) on VELKOR_STATUS_TAG_ERROR,
 *                untouched otherwise.
 * @param[in] handle the device handle.
 * @return STATUS_OK, VELKOR_STATUS_TAG_ERROR, another reader status (nothing
 *         written), STATUS_PARAMETER_ERROR (nothing sent), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL ReadData_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char mem, unsigned char word_ptr, unsigned char word_count,
    unsigned char *password, unsigned char mask_mem, unsigned char *mask_addr,
    unsigned char mask_len, unsigned char *mask_data, unsigned char *data,
    int *error_code, VelkorHandle handle);

/**
 * As ReadData_G2 (command 0x15) with a two-byte word pointer.
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] mem the bank, VELKOR_BANK_...
 * @param[in] word_ptr two bytes: the byte at word_ptr is sent first, the
 *                byte after it second.
 * @param[in] word_count words to read.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] data room for 2 * word_count bytes, written as for
 *                ReadData_G2.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL ExtReadData_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char mem, unsigned char *word_ptr, unsigned char word_count,
    unsigned char *password, unsigned char mask_mem, unsigned char *mask_addr,
    unsigned char mask_len, unsigned char *mask_data, unsigned char *data,
    int *error_code, VelkorHandle handle);

/**
 * Writes the 2 * word_count bytes at data to bank mem from word_ptr on
 * (command 0x03).  The word count travels ahead of E: word_count, E,
 * identifier, mem, word_ptr, data, password (identifier form); word_count,
 * 0xFF, mem, word_ptr, data, password, mask group (mask form).
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier (2 * enum_words bytes) and
 *                its length in words, 0 to 31; 0xFF names the tag by the mask
 *                group instead (epc unread).
 * @param[in] word_count words to write.
 * @param[in] mem the bank, VELKOR_BANK_...
 * @param[in] word_ptr the first word.
 * @param[in] data the 2 * word_count bytes to write, in memory order.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL WriteData_G2(
    unsigned char *address, unsigned char *epc, unsigned char word_count,
    unsigned char enum_words, unsigned char mem, unsigned char word_ptr,
    unsigned char *data, unsigned char *password, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/**
 * Block write (command 0x10); request as WriteData_G2.
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for WriteData_G2.
 * @param[in] word_count words to write.
 * @param[in] mem the bank, VELKOR_BANK_...
 * @param[in] word_ptr the first word.
 * @param[in] data the 2 * word_count bytes to write, in memory order.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL BlockWrite_G2(
    unsigned char *address, unsigned char *epc, unsigned char word_count,
    unsigned char enum_words, unsigned char mem, unsigned char word_ptr,
    unsigned char *data, unsigned char *password, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/**
 * As WriteData_G2 (command 0x16) with a two-byte word pointer.
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for WriteData_G2.
 * @param[in] word_count words to write.
 * @param[in] mem the bank, VELKOR_BANK_...
 * @param[in] word_ptr two bytes: the byte at word_ptr is sent first.
 * @param[in] data the 2 * word_count bytes to write, in memory order.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL ExtWriteData_G2(
    unsigned char *address, unsigned char *epc, unsigned char word_count,
    unsigned char enum_words, unsigned char mem, unsigned char *word_ptr,
    unsigned char *data, unsigned char *password, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/**
 * Erases word_count words of bank mem from word_ptr on (command 0x07);
 * request as ReadData_G2.  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] mem the bank, VELKOR_BANK_...
 * @param[in] word_ptr the first word.
 * @param[in] word_count words to erase.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0 (the only output), the tag's error
 *                code on VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL BlockErase_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char mem, unsigned char word_ptr, unsigned char word_count,
    unsigned char *password, unsigned char mask_mem, unsigned char *mask_addr,
    unsigned char mask_len, unsigned char *mask_data, int *error_code,
    VelkorHandle handle);

/**
 * Writes a new identifier of enum_words words (command 0x04) to the tag in
 * the field.  Here E counts the words written; there is no mask form.
 * Request: E, password, the 2 * E bytes at new_epc.  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] password the 4-byte access password.
 * @param[in] new_epc the 2 * enum_words bytes of the new identifier.
 * @param[in] enum_words words to write, 0 to 25.
 * @param[out] error_code -1 on status 0 (the only output), the tag's error
 *                code on VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2; STATUS_PARAMETER_ERROR, with nothing sent, for
 *         enum_words above 25 (0xFF included).
 */
VELKOR_EXPORT int VELKOR_CALL WriteEPC_G2(unsigned char *address,
                                          unsigned char *password,
                                          unsigned char *new_epc,
                                          unsigned char enum_words,
                                          int *error_code,
                                          VelkorHandle handle);

/**
 * Kills the tag with its kill password (command 0x05).  Request: E,
 * identifier, kill password; or 0xFF, kill password, mask group.  Variant:
 * no address.
 * @param[in] address reader address (never written back).
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] kill_password the tag's 4-byte kill password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL KillTag_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char *kill_password, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/**
 * Lock (command 0x06).  The two lock bytes travel ahead of the password,
 * unread by the library: E, identifier, select, set_protect, password; or
 * 0xFF, select, set_protect, password, mask group.  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] select the field to lock, VELKOR_LOCK_KILL_PASSWORD to
 *                VELKOR_LOCK_USER.
 * @param[in] set_protect what the field becomes, VELKOR_LOCK_WRITABLE to
 *                VELKOR_LOCK_PERMANENTLY_LOCKED.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL Lock_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char select, unsigned char set_protect, unsigned char *password,
    unsigned char mask_mem, unsigned char *mask_addr, unsigned char mask_len,
    unsigned char *mask_data, int *error_code, VelkorHandle handle);

/**
 * Block lock (command 0x0E).  The parameter byte travels after the
 * password: E, identifier, password, block_param; or 0xFF, password,
 * block_param, mask group.  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] password the 4-byte access password.
 * @param[in] block_param the block-lock byte, sent unchecked (the reader's
 *                to interpret).
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL BlockLock_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char *password, unsigned char block_param, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/**
 * Puts the named tag into privacy (command 0x08).  Request: E, identifier,
 * password; or 0xFF, password, mask group.  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL SetPrivacyByEPC_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char *password, unsigned char mask_mem, unsigned char *mask_addr,
    unsigned char mask_len, unsigned char *mask_data, int *error_code,
    VelkorHandle handle);

/**
 * Puts a tag into privacy without naming it (command 0x09; request: the
 * password).  Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] password the 4-byte access password.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return STATUS_OK, VELKOR_STATUS_TAG_ERROR, another reader status (nothing
 *         written), or a link code (STATUS_COMM_ERROR: no whole reply within
 *         2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetPrivacyWithoutEPC_G2(unsigned char *address,
                                                      unsigned char *password,
                                                      int *error_code,
                                                      VelkorHandle handle);

/**
 * Takes a tag out of privacy (command 0x0A; request: the password).
 * Variant: no address.
 * @param[in] address reader address (never written back).
 * @param[in] password the 4-byte access password.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as SetPrivacyWithoutEPC_G2.
 */
VELKOR_EXPORT int VELKOR_CALL ResetPrivacy_G2(unsigned char *address,
                                              unsigned char *password,
                                              int *error_code,
                                              VelkorHandle handle);

/**
 * Asks for the privacy state (command 0x0B, no request data).  Variant: no
 * address.
 * @param[in] address reader address (never written back).
 * @param[out] state reply byte 4, on status 0 only.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR (then only it is written),
 *                untouched otherwise.
 * @param[in] handle the device handle.
 * @return as SetPrivacyWithoutEPC_G2.
 */
VELKOR_EXPORT int VELKOR_CALL CheckPrivacy_G2(unsigned char *address,
                                              unsigned char *state,
                                              int *error_code,
                                              VelkorHandle handle);

/**
 * Writes a tag's EAS setting (command 0x0C), unread by the library.
 * Request: E, identifier, password, eas; or 0xFF, password, eas, mask group.
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] password the 4-byte access password.
 * @param[in] eas the EAS setting byte, sent unchecked.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL EASConfigure_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char *password, unsigned char eas, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/**
 * Asks for an EAS alarm (command 0x0D, no request data): status 0 reports
 * an alarm.  Variant: outputs on success (address and tag error code).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as SetPrivacyWithoutEPC_G2.
 */
VELKOR_EXPORT int VELKOR_CALL EASAlarm_G2(unsigned char *address,
                                          int *error_code,
                                          VelkorHandle handle);

/**
 * Reads the Monza 4QT work parameter (command 0x11).  Request as
 * SetPrivacyByEPC_G2.  Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] work_param reply byte 5 on status 0 (byte 4 is not returned).
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL GetMonza4QTWorkParamter_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char *password, unsigned char mask_mem, unsigned char *mask_addr,
    unsigned char mask_len, unsigned char *mask_data,
    unsigned char *work_param, int *error_code, VelkorHandle handle);

/**
 * Writes the Monza 4QT work parameter (command 0x12), sent as 0x00 then
 * work_param: E, identifier, 0x00, work_param, password; or 0xFF, 0x00,
 * work_param, password, mask group.  Variant: outputs on success (address
 * and tag error code).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] epc, enum_words the tag's identifier and its length in words,
 *                as for ReadData_G2.
 * @param[in] work_param the work parameter byte, sent unchecked.
 * @param[in] password the 4-byte access password.
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group; read
 *                only when enum_words is 0xFF.
 * @param[out] error_code -1 on status 0, the tag's error code on
 *                VELKOR_STATUS_TAG_ERROR, untouched otherwise.
 * @param[in] handle the device handle.
 * @return as ReadData_G2.
 */
VELKOR_EXPORT int VELKOR_CALL SetMonza4QTWorkParamter_G2(
    unsigned char *address, unsigned char *epc, unsigned char enum_words,
    unsigned char work_param, unsigned char *password, unsigned char mask_mem,
    unsigned char *mask_addr, unsigned char mask_len, unsigned char *mask_data,
    int *error_code, VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* ISO 18000-6B                                                              */
/* ------------------------------------------------------------------------ */

/*
 * 6B tags are named by their 8-byte identifier (id), passed by pointer and
 * sent in memory order.  In the memory and lock functions the identifier is
 * the second parameter but travels after the start or byte address.
 * Each function runs one command frame and one single reply frame, and
 * returns the reader's status once the reply has passed the CRC and echo
 * tests, or a link code (then nothing is written, the address included;
 * STATUS_COMM_ERROR when no whole reply arrives within 2 s).
 */

/** Room of InventorySingle_6B's id. */
#define VELKOR_6B_ID_SIZE 10
/** Room of InventoryMultiple_6B's list. */
#define VELKOR_MAX_6B_LIST 248

/**
 * Inventory of one 6B tag (0x50).
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] address reader address; receives the reply's address byte
 *                after any good reply, whatever the status.
 * @param[out] frame4 reply byte 4.
 * @param[out] id room for VELKOR_6B_ID_SIZE bytes: reply bytes 5 to 14,
 *                copied whatever the reply's length (bytes it lacks read
 *                as 0).
 * frame4 and id are written, whatever the status, only when the reply's
 * length byte is above 5 (the reply carries data).
 * @return the reader's status, whatever it is, or a link code.
 */
VELKOR_EXPORT int VELKOR_CALL InventorySingle_6B(unsigned char *address,
                                                 unsigned char *frame4,
                                                 unsigned char *id,
                                                 VelkorHandle handle);

/**
 * Inventory of the 6B tags that match a group selection (0x51).  The four
 * selection bytes go to the reader unchanged: condition, start address, byte
 * mask, then the 8 bytes at word_data in memory order.
 * @param[in] condition, start, byte_mask the selection: condition, start
 *                   address and byte mask, sent unchanged.
 * @param[in] word_data the 8 selection bytes, sent in memory order.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] address written back after any good reply, whatever the
 *                  status.
 * @param[out] frame4 reply byte 4.
 * @param[out] list room for VELKOR_MAX_6B_LIST bytes: reply bytes 6 to
 *                  L-2 (L the reply's length byte, L-7 bytes, at most 248;
 *                  none when L is 6 or 7).
 * @param[out] tag_count reply byte 5, zero-extended; 0 when the reply ends
 *                  before it (L = 6).
 * The outputs are written, whatever the status, only when L is above 5.
 * @return the reader's status, whatever it is, or a link code.
 */
VELKOR_EXPORT int VELKOR_CALL InventoryMultiple_6B(
    unsigned char *address, unsigned char condition, unsigned char start,
    unsigned char byte_mask, unsigned char *word_data, unsigned char *frame4,
    unsigned char *list, int *tag_count, VelkorHandle handle);

/**
 * Reads byte_count bytes of a 6B tag's memory from start on (0x52; request:
 * start, id, byte_count).
 * @param[in] id    the tag's 8-byte identifier, sent in memory order.
 * @param[in] start first byte address.
 * @param[in] byte_count bytes to read.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] address written back after any good reply, whatever the
 *                   status.
 * @param[out] data on status 0, when the reply carries data (length
 *                   byte above 5), byte_count bytes from reply data byte 0
 *                   on; bytes the reply does not carry (its CRC and what
 *                   lies past it) read as 0.  Room for byte_count bytes.
 * @param[out] error_code -1 on status 0, reply data byte 0 on 0xFC,
 *                   untouched otherwise.
 * @return 0, 0xFC, any other reader status (only the address written), or a
 *         link code.
 */
VELKOR_EXPORT int VELKOR_CALL ReadData_6B(unsigned char *address,
                                          unsigned char *id,
                                          unsigned char start,
                                          unsigned char byte_count,
                                          unsigned char *data, int *error_code,
                                          VelkorHandle handle);

/**
 * Writes byte_count bytes from data into a 6B tag's memory from start on
 * (0x53; request: start, id, the data; length byte byte_count + 13).
 * @param[in] id    the tag's 8-byte identifier, sent in memory order.
 * @param[in] start first byte address.
 * @param[in] data the bytes to write (byte_count of them).
 * @param[in] byte_count bytes to write, at most 48.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] address written back after any good reply, whatever the
 *                   status.
 * @param[out] written byte_count on status 0 (the reply carries no count).
 * @param[out] error_code -1 on status 0, reply data byte 0 on 0xFC,
 *                   untouched otherwise.
 * @return 0, 0xFC, any other reader status (only the address written), a link
 *         code, or STATUS_PARAMETER_ERROR for a byte_count above 48 (the frame
 *         would not fit one report; nothing is sent or written).
 */
VELKOR_EXPORT int VELKOR_CALL WriteData_6B(unsigned char *address,
                                           unsigned char *id,
                                           unsigned char start,
                                           unsigned char *data,
                                           unsigned char byte_count,
                                           unsigned char *written,
                                           int *error_code,
                                           VelkorHandle handle);

/**
 * Locks one byte of a 6B tag's memory (0x55; request: byte_address, id).
 * @param[in] id    the tag's 8-byte identifier, sent in memory order.
 * @param[in] byte_address the byte to lock.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] address written back after any good reply, whatever the
 *                   status.
 * @param[out] error_code -1 on status 0, reply data byte 0 on 0xFC,
 *                   untouched otherwise.
 * @return 0, 0xFC, any other reader status, or a link code.
 */
VELKOR_EXPORT int VELKOR_CALL Lock_6B(unsigned char *address,
                                      unsigned char *id,
                                      unsigned char byte_address,
                                      int *error_code, VelkorHandle handle);

/**
 * Asks whether one byte of a 6B tag's memory is locked (0x54; request:
 * byte_address, id).  Outputs on success.
 * @param[in] id    the tag's 8-byte identifier, sent in memory order.
 * @param[in] byte_address the byte to ask about.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[in,out] address written back on status 0 only.
 * @param[out] lock_state reply data byte 0, on status 0 only.
 * @param[out] error_code -1 on status 0, reply data byte 0 on 0xFC,
 *                   untouched otherwise.
 * @return 0, 0xFC, any other reader status (nothing written), or a link code.
 */
VELKOR_EXPORT int VELKOR_CALL CheckLock_6B(unsigned char *address,
                                           unsigned char *id,
                                           unsigned char byte_address,
                                           unsigned char *lock_state,
                                           int *error_code,
                                           VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* Region and channel plan                                                   */
/*                                                                           */
/* Regions 1 to 5 and their channels (index: frequency in MHz):              */
/*   1: 20 channels, 920.125 + 0.25 i      2: 50 channels, 902.75 + 0.5 i    */
/*   3: 32 channels, 917.1 + 0.2 i         4: 15 channels, 865.1 + 0.2 i     */
/*   5: 19 channels, 916.8 ... 923.4 (irregular; see GetChannelList)         */
/* ------------------------------------------------------------------------ */

/* Region numbers, by the start of their band, and their channel counts. */
#define VELKOR_REGION_920MHZ 1 /**< 920.125 to 924.875 MHz */
#define VELKOR_REGION_902MHZ 2 /**< 902.75 to 927.25 MHz */
#define VELKOR_REGION_917MHZ 3 /**< 917.1 to 923.3 MHz */
#define VELKOR_REGION_865MHZ 4 /**< 865.1 to 867.9 MHz */
#define VELKOR_REGION_916MHZ 5 /**< 916.8 to 923.4 MHz, irregular */
#define VELKOR_REGION_920MHZ_CHANNELS 20
#define VELKOR_REGION_902MHZ_CHANNELS 50
#define VELKOR_REGION_917MHZ_CHANNELS 32
#define VELKOR_REGION_865MHZ_CHANNELS 15
#define VELKOR_REGION_916MHZ_CHANNELS 19

/**
 * Sets the region and channel range from two packed bytes (0x22); no range
 * test.  high_byte: region bits 3-2 in bits 7-6, highest channel index in bits
 * 5-0; low_byte: region bits 1-0 in bits 7-6, lowest channel index in bits
 * 5-0.  Variant: address always (after a good reply *address holds the reply's
 * address, whatever the status).
 * @param[in,out] address reader address; after a good reply, whatever its
 *     status, the reply's.
 * @param[in] high_byte region bits 3-2 and the highest channel index, packed.
 * @param[in] low_byte region bits 1-0 and the lowest channel index, packed.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code.
 */
VELKOR_EXPORT int VELKOR_CALL SetRegion(unsigned char *address,
                                        unsigned char high_byte,
                                        unsigned char low_byte,
                                        VelkorHandle handle);

/**
 * Packs a region and a channel range and sends them with SetRegion.  The
 * region keeps its low four bits and the indexes their low six.  Region 5 (the
 * value 5 only) travels as region 2's bits with both indexes raised by 26,
 * wrapping within six bits.  No range test.  Variant: address always.
 * @param[in,out] address reader address; after a good reply, whatever its
 *     status, the reply's.
 * @param[in] region VELKOR_REGION_... (1 to 5; other values travel as their
 *     low four bits).
 * @param[in] lowest the lowest channel index.
 * @param[in] highest the highest channel index.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetRegionAndChannel(unsigned char *address,
                                                  int region,
                                                  unsigned char lowest,
                                                  unsigned char highest,
                                                  VelkorHandle handle);

/**
 * Selects every channel of a region (lowest 0, highest its channel count - 1)
 * with SetRegionAndChannel.  Variant: address always.
 * @param[in,out] address reader address; after a good reply, whatever its
 *     status, the reply's.
 * @param[in] region VELKOR_REGION_... (1 to 5).
 * @param[in] handle the device handle.
 * @return as SetRegion; STATUS_PARAMETER_ERROR, with nothing sent, for a
 *         region outside 1 to 5, which has no channel plan (added: such a
 *         region has no highest channel to select).
 */
VELKOR_EXPORT int VELKOR_CALL SetRegionWithDefaultChannel(unsigned char *address,
                                                          int region,
                                                          VelkorHandle handle);

/**
 * Fills list with the channel texts of a region ("920.125 MHz", ...) and a
 * null pointer after the last; nothing past that null is touched.  Sends
 * nothing.  Regions 1 to 4 get fresh 255-byte heap texts on every call; they
 * stay valid until released with FreeChannelList.  Region 5 gets the
 * library's constant texts (the same addresses every call; never write or
 * release them).  Another region sets list[0] to null only (an empty list,
 * safe to pass to FreeChannelList).  If memory runs out,
 * the texts of this call are released and list[0] is null.
 * @param[in] region a region number, VELKOR_REGION_... (1 to 5).
 * @param[out] list room for VELKOR_MAX_CHANNELS pointers.
 * @return STATUS_OK always.
 */
VELKOR_EXPORT int VELKOR_CALL GetChannelList(int region, char **list);

/**
 * Added to the interface: releases the heap texts that one GetChannelList call
 * put into list (entries up to the first null pointer) and sets each released
 * entry to null; region 5's constant texts are left as they are. Releasing a
 * list twice, or a null list, does nothing.
 * @param[in,out] list a list GetChannelList filled, or NULL; its released
 *     entries become null.
 * @return STATUS_OK always.
 */
VELKOR_EXPORT int VELKOR_CALL FreeChannelList(char **list);

/* ------------------------------------------------------------------------ */
/* RF power, calibration and self-test                                       */
/*                                                                           */
/* Values travel unchanged and unchecked; their meaning is the reader's.     */
/* Unless noted: variant outputs on success (on status 0 the reply's address */
/* goes to *address and the reply data bytes named go to the outputs; on any */
/* other status nothing is written).                                         */
/* ------------------------------------------------------------------------ */

/**
 * Sets the RF output power (0x2F): request the power byte.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] power the power byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetRfPower(unsigned char *address,
                                         unsigned char power,
                                         VelkorHandle handle);
/**
 * Sets the DAC value (0x29).  Variant: address always.
 * @param[in,out] address reader address; after a good reply, whatever its
 *     status, the reply's.
 * @param[in] dac the DAC value, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetDAC(unsigned char *address, unsigned char dac,
                                     VelkorHandle handle);
/**
 * Reads the DAC value (0x2A) into *dac (reply data byte 0).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] dac reply data byte 0, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetDAC(unsigned char *address, unsigned char *dac,
                                     VelkorHandle handle);
/**
 * Has the reader check its power parameters (0x2B); *result = reply data byte
 * 0.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] result reply data byte 0, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL CheckPowerParameter(unsigned char *address,
                                                  unsigned char *result,
                                                  VelkorHandle handle);
/**
 * Stores the DAC and power list (0x2C): the 31 bytes at list31 in order (a
 * 36-byte frame); *result = reply data byte 0.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] list31 the 31 bytes to store, sent in memory order.
 * @param[out] result reply data byte 0, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SolidifyDACandPowerlist(unsigned char *address,
                                                      unsigned char *list31,
                                                      unsigned char *result,
                                                      VelkorHandle handle);
/**
 * Reads the start information (0x2D): info0 to info8 receive reply data bytes
 * 0 to 8.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] info0, info1, info2, info3, info4, info5, info6, info7, info8
 *     reply data bytes 0 to 8, one each, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetStartInformation(
    unsigned char *address, unsigned char *info0, unsigned char *info1,
    unsigned char *info2, unsigned char *info3, unsigned char *info4,
    unsigned char *info5, unsigned char *info6, unsigned char *info7,
    unsigned char *info8, VelkorHandle handle);
/**
 * Sets the RF output (0x30): request the setting byte.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] setting the setting byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL RfOutput(unsigned char *address,
                                       unsigned char setting,
                                       VelkorHandle handle);
/**
 * Deletes the RF output setting (0x32); *result = reply data byte 0.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] result reply data byte 0, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL DeleteRfOutput(unsigned char *address,
                                             unsigned char *result,
                                             VelkorHandle handle);
/**
 * Self-test mode.  flag non-zero (tested as a whole): command 0x26 without
 * data.  flag 0: the single unframed byte 0xA5 (no length, address or CRC;
 * *address is not read).  Either echo, 0x26 or 0xA5, is accepted after either
 * request.  Variant: address always.
 * @param[in,out] address reader address; after a good reply, whatever its
 *     status, the reply's.
 * @param[in] flag non-zero for the framed request, 0 for the bare byte.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL InSelfTestMode(unsigned char *address, int flag,
                                             VelkorHandle handle);
/**
 * Test frequency (0x60): the 4 bytes at freq4 in memory order, then the
 * setting byte.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] freq4 4 bytes, sent in memory order.
 * @param[in] setting the setting byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL EnableTestFreq(unsigned char *address,
                                             unsigned char *freq4,
                                             unsigned char setting,
                                             VelkorHandle handle);
/**
 * Reads an AD value (0x61): request one byte; value2[0..1] = reply data bytes
 * 0 and 1 (a little-endian 16-bit number on the host).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] request the request byte, sent unchecked.
 * @param[out] value2 room for 2 bytes: reply data bytes 0 and 1, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetADValue(unsigned char *address,
                                         unsigned char request,
                                         unsigned char *value2,
                                         VelkorHandle handle);
/**
 * Sets the A values (0x62): lead, then the 4 bytes at first4 and at second4,
 * each in memory order.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] lead the first request byte, sent unchecked.
 * @param[in] first4 4 bytes, sent in memory order.
 * @param[in] second4 4 bytes, sent in memory order.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetAValue(unsigned char *address,
                                        unsigned char lead,
                                        unsigned char *first4,
                                        unsigned char *second4,
                                        VelkorHandle handle);
/** Room of GetAdjustPara's adjustment block. */
#define VELKOR_ADJUST_BLOCK_SIZE 148
/**
 * Reads the adjustment parameters (0x65): block148[0..147] = reply data bytes
 * 0 to 147 on status 0, whatever the reply's length (past a short reply's
 * data: zeros).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] block148 room for VELKOR_ADJUST_BLOCK_SIZE bytes, all written on
 *     status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetAdjustPara(unsigned char *address,
                                            unsigned char *block148,
                                            VelkorHandle handle);
/**
 * Sets the antenna check (0x66): request the setting byte.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] setting the setting byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetCheckAnt(unsigned char *address,
                                          unsigned char setting,
                                          VelkorHandle handle);
/**
 * Reads the power check (0x67): first2 = reply data bytes 0-1, second2 = bytes
 * 2-3, each in memory order.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] first2 room for 2 bytes: reply data bytes 0 and 1, on status 0.
 * @param[out] second2 room for 2 bytes: reply data bytes 2 and 3, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetCheckPWR(unsigned char *address,
                                          unsigned char *first2,
                                          unsigned char *second2,
                                          VelkorHandle handle);
/**
 * Sets the two QS values (0x81).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] qs1 the first QS value, sent unchecked.
 * @param[in] qs2 the second QS value, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetQS(unsigned char *address, unsigned char qs1,
                                    unsigned char qs2, VelkorHandle handle);
/**
 * Reads the two QS values (0x82): reply data bytes 0 and 1.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] qs1 reply data byte 0, on status 0.
 * @param[out] qs2 reply data byte 1, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetQS(unsigned char *address, unsigned char *qs1,
                                    unsigned char *qs2, VelkorHandle handle);
/**
 * Sets the DC offset (0x6C): the 2 bytes at offset2 in memory order.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] offset2 2 bytes, sent in memory order.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetDCOffset(unsigned char *address,
                                          unsigned char *offset2,
                                          VelkorHandle handle);
/**
 * Saves to flash memory (0x84), no data.  Variant: status only.
 * @param[in] address reader address (never written back).
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetFlashRom(unsigned char *address,
                                          VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* Work mode and automatic-inventory parameters                              */
/*                                                                           */
/* Byte values travel unchanged and unchecked, as request data in parameter  */
/* order.  Unless noted: variant status only (nothing is written back).      */
/* ------------------------------------------------------------------------ */

/**
 * Sets the inventory scan time (0x25).  Variant: address always.
 * @param[in,out] address reader address; after a good reply, whatever its
 *     status, the reply's.
 * @param[in] scan_time the scan time byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetInventoryScanTime(unsigned char *address,
                                                   unsigned char scan_time,
                                                   VelkorHandle handle);
/**
 * Sets the work mode (0x35).
 * @param[in] address reader address (never written back).
 * @param[in] mode the work mode byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetWorkMode(unsigned char *address,
                                          unsigned char mode,
                                          VelkorHandle handle);
/**
 * Reads the parameter set (0x36).  Variant: no address (never written back).
 * On status 0: p2 to p8 = reply data bytes 0 to 6; p9_two = bytes 7-8; p10 =
 * byte 9; p11_mask32 = bytes 10 to 41 (bytes 6 to 41 are a mask: bank, two
 * address bytes, length in bits, 32 mask bytes).  A short reply (length byte
 * 0x2F, 42 data bytes) then sets *p12 to 0 and leaves p13 and p14 untouched;
 * any other reply gives p12 to p14 = bytes 42 to 44.
 * @param[in] address reader address (never written back).
 * @param[out] p2, p3, p4, p5, p6, p7, p8 reply data bytes 0 to 6, one each, on
 *     status 0.
 * @param[out] p9_two room for 2 bytes: reply data bytes 7 and 8, on status 0.
 * @param[out] p10 reply data byte 9, on status 0.
 * @param[out] p11_mask32 room for 32 bytes: reply data bytes 10 to 41, on
 *     status 0.
 * @param[out] p12 reply data byte 42 on status 0; 0 after a short reply.
 * @param[out] p13, p14 reply data bytes 43 and 44 on status 0; untouched after
 *     a short reply.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetSystemParameter(
    unsigned char *address, unsigned char *p2, unsigned char *p3,
    unsigned char *p4, unsigned char *p5, unsigned char *p6, unsigned char *p7,
    unsigned char *p8, unsigned char *p9_two, unsigned char *p10,
    unsigned char *p11_mask32, unsigned char *p12, unsigned char *p13,
    unsigned char *p14, VelkorHandle handle);
/**
 * Sets the EAS sensitivity (0x37).
 * @param[in] address reader address (never written back).
 * @param[in] sensitivity the sensitivity byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetEASSensitivity(unsigned char *address,
                                                unsigned char sensitivity,
                                                VelkorHandle handle);
/**
 * Sets the trigger time (0x49).
 * @param[in] address reader address (never written back).
 * @param[in] trigger_time the trigger time byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetTriggerTime(unsigned char *address,
                                             unsigned char trigger_time,
                                             VelkorHandle handle);
/**
 * Sets the selection mask (0x3B): mask_mem, the 2 bytes at mask_addr in memory
 * order, mask_len (bits), then ceil(mask_len / 8) bytes from mask_data (none,
 * and mask_data unread, for 0 bits).  Frame of 9 to 41 bytes.
 * @param[in] address reader address (never written back).
 * @param[in] mask_mem the bank, VELKOR_BANK_...
 * @param[in] mask_addr 2 address bytes, sent in memory order.
 * @param[in] mask_len the mask's length in bits.
 * @param[in] mask_data ceil(mask_len / 8) bytes; not read for 0 bits.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetMask(unsigned char *address,
                                      unsigned char mask_mem,
                                      unsigned char *mask_addr,
                                      unsigned char mask_len,
                                      unsigned char *mask_data,
                                      VelkorHandle handle);
/**
 * Sets the two response parameters of the automatic mode (0x3C).
 * @param[in] address reader address (never written back).
 * @param[in] first the first parameter byte, sent unchecked.
 * @param[in] second the second parameter byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetResponsePamametersofAuto_runningMode(
    unsigned char *address, unsigned char first, unsigned char second,
    VelkorHandle handle);
/**
 * Sets the inventory interval (0x3D).
 * @param[in] address reader address (never written back).
 * @param[in] interval the interval byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetInventoryInterval(unsigned char *address,
                                                   unsigned char interval,
                                                   VelkorHandle handle);
/**
 * Selects the tag type (0x3E).
 * @param[in] address reader address (never written back).
 * @param[in] tag_type the tag type byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SelectTagType(unsigned char *address,
                                            unsigned char tag_type,
                                            VelkorHandle handle);
/**
 * Sets antenna multiplexing (0x3F).
 * @param[in] address reader address (never written back).
 * @param[in] setting the setting byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetAntennaMultiplexing(unsigned char *address,
                                                     unsigned char setting,
                                                     VelkorHandle handle);
/**
 * Sets the beep notification (0x40).
 * @param[in] address reader address (never written back).
 * @param[in] setting the setting byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetBeepNotification(unsigned char *address,
                                                  unsigned char setting,
                                                  VelkorHandle handle);
/**
 * Empties the reader's tag buffer of the automatic mode (0x44), no data.
 * @param[in] address reader address (never written back).
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL ClearTagBuffer(unsigned char *address,
                                             VelkorHandle handle);
/**
 * Sets the two TID parameter bytes (0x4A).  Variant: outputs on success (the
 * address only, on status 0).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] first the first TID parameter byte, sent unchecked.
 * @param[in] second the second TID parameter byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetTIDParameter(unsigned char *address,
                                              unsigned char first,
                                              unsigned char second,
                                              VelkorHandle handle);
/**
 * Sends the byte at *function (0x3A); on status 0 the address and *function
 * receive the reply's address and data byte 0 (the function the reader took).
 * Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in,out] function the function byte to send; reply data byte 0 on
 *     status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetTagCustomFunction(unsigned char *address,
                                                   unsigned char *function,
                                                   VelkorHandle handle);
/**
 * Sets the work time (0x60): request 0x00, first, second.  Variant: outputs on
 * success (the address only).
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[in] first the first work time byte, sent unchecked.
 * @param[in] second the second work time byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetWorkTime(unsigned char *address,
                                          unsigned char first,
                                          unsigned char second,
                                          VelkorHandle handle);
/**
 * Reads the work time (0x61), no data: first and second = reply data bytes 1
 * and 2 (byte 0 is not copied).  Variant: outputs on success.
 * @param[in,out] address reader address; the reply's on status 0.
 * @param[out] first reply data byte 1, on status 0.
 * @param[out] second reply data byte 2, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetWorkTime(unsigned char *address,
                                          unsigned char *first,
                                          unsigned char *second,
                                          VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* Indicators, clock and I/O lines                                           */
/*                                                                           */
/* The address is only read, never written back.  Setters: variant status   */
/* only.  Getters: variant no address (outputs written on status 0 only).    */
/* Values travel unchanged and unchecked.                                    */
/* ------------------------------------------------------------------------ */

/**
 * Drives the buzzer and LEDs (0x33): the three control bytes in order.
 * @param[in] address reader address (never written back).
 * @param[in] first the first control byte, sent unchecked.
 * @param[in] second the second control byte, sent unchecked.
 * @param[in] third the third control byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL BuzzerAndLEDControl(unsigned char *address,
                                                  unsigned char first,
                                                  unsigned char second,
                                                  unsigned char third,
                                                  VelkorHandle handle);
/**
 * Sets the real-time clock (0x41): the 6 bytes at clock6 in memory order
 * (their fields are the reader's).
 * @param[in] address reader address (never written back).
 * @param[in] clock6 VELKOR_CLOCK_SIZE bytes, sent in memory order.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetReal_timeClock(unsigned char *address,
                                                unsigned char *clock6,
                                                VelkorHandle handle);
/** Room of the clock block of SetReal_timeClock and GetTime. */
#define VELKOR_CLOCK_SIZE 6
/**
 * Reads the clock (0x42): clock6[0..5] = reply data bytes 0 to 5 on status 0,
 * exactly six bytes whatever the reply's length.
 * @param[in] address reader address (never written back).
 * @param[out] clock6 room for VELKOR_CLOCK_SIZE bytes, all written on status
 *     0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetTime(unsigned char *address,
                                      unsigned char *clock6,
                                      VelkorHandle handle);
/**
 * Sets the relay (0x45).
 * @param[in] address reader address (never written back).
 * @param[in] setting the relay byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetRelay(unsigned char *address,
                                       unsigned char setting,
                                       VelkorHandle handle);
/**
 * Reads the rev delay (0x31) into *delay (reply data byte 0).
 * @param[in] address reader address (never written back).
 * @param[out] delay reply data byte 0, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetRevDelay(unsigned char *address,
                                          unsigned char *delay,
                                          VelkorHandle handle);
/**
 * Sets the rev delay (0x27).
 * @param[in] address reader address (never written back).
 * @param[in] delay the delay byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetRevDelay(unsigned char *address,
                                          unsigned char delay,
                                          VelkorHandle handle);
/**
 * Sets the GPIO outputs (0x46).
 * @param[in] address reader address (never written back).
 * @param[in] setting the output lines byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetGPIO(unsigned char *address,
                                      unsigned char setting,
                                      VelkorHandle handle);
/**
 * Reads the GPIO status (0x47) into *status (reply data byte 0).
 * @param[in] address reader address (never written back).
 * @param[out] status reply data byte 0, on status 0.
 * @param[in] handle the device handle.
 * @return the reader's status (only 0 writes the outputs), or a link code
 *         (STATUS_COMM_ERROR: no whole reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetGPIOStatus(unsigned char *address,
                                            unsigned char *status,
                                            VelkorHandle handle);
/**
 * Sets the notification pulse output (0x48).
 * @param[in] address reader address (never written back).
 * @param[in] setting the setting byte, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetNotificationPulseOutput(unsigned char *address,
                                                         unsigned char setting,
                                                         VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* HID keyboard-output settings                                              */
/*                                                                           */
/* The four commands make no echo test (a reply with a good CRC is taken     */
/* whatever command it names) and never write the address back.              */
/* ------------------------------------------------------------------------ */

/* Keyboard work parameters 1 to 6 of SetHidWorkPara: the ranges the library
 * checks (parameters 2 and 6 may be any byte).  What they mean is the
 * reader's; the emulator keeps them as sent. */
#define VELKOR_HID_PARAM1_MIN 1
#define VELKOR_HID_PARAM1_MAX 4
#define VELKOR_HID_PARAM3_MIN 0
#define VELKOR_HID_PARAM3_MAX 15
#define VELKOR_HID_PARAM4_MAX 1 /**< 0 or 1 */
#define VELKOR_HID_PARAM5_MAX 1 /**< 0 or 1 */
/* The keyboard beep setting of SetHidBeepEn and GetHidBeepEn, as the
 * emulator accepts it. */
#define VELKOR_HID_BEEP_OFF 0
#define VELKOR_HID_BEEP_ON  1

/**
 * Sends the switch-to-keyboard control report (03 A0) and collects nothing;
 * *address is not read.
 * @param[in] address not read.
 * @param[in] handle the device handle.
 * @return STATUS_OK if the report was written, else STATUS_COMM_ERROR (also
 *         for VELKOR_INVALID_HANDLE).
 */
VELKOR_EXPORT int VELKOR_CALL ChangeToHID(unsigned char *address,
                                          VelkorHandle handle);
/**
 * Sets the keyboard beep (0xA3).  Variant: status only.
 * @param[in] address reader address (never written back).
 * @param[in] beep VELKOR_HID_BEEP_OFF or VELKOR_HID_BEEP_ON, sent unchecked.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetHidBeepEn(unsigned char *address,
                                           unsigned char beep,
                                           VelkorHandle handle);
/**
 * Reads the keyboard beep (0xA4): *beep = reply data byte 0.  Variant: outputs
 * always (written whatever the status, after a good CRC).
 * @param[in] address reader address (never written back).
 * @param[out] beep reply data byte 0, written whatever the status.
 * @param[in] handle the device handle.
 * @return the reader's status (the outputs are written whatever it is), or a
 *         link code (then nothing is written; STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetHidBeepEn(unsigned char *address,
                                           unsigned char *beep,
                                           VelkorHandle handle);
/**
 * Sets the six keyboard work parameters (0xA1), in order.  Variant: status
 * only.
 * @param[in] address reader address (never written back).
 * @param[in] p1 1 to 4 (VELKOR_HID_PARAM1_MIN to _MAX).
 * @param[in] p2 any byte.
 * @param[in] p3 0 to 15 (VELKOR_HID_PARAM3_MIN to _MAX).
 * @param[in] p4 0 or 1.
 * @param[in] p5 0 or 1.
 * @param[in] p6 any byte.
 * @param[in] handle the device handle.
 * @return STATUS_PARAMETER_ERROR, with nothing sent, unless p1 is 1 to 4, p3 0
 *         to 15, p4 and p5 0 or 1 (p2 and p6 may be anything); else the
 *         reader's status or a link code.
 */
VELKOR_EXPORT int VELKOR_CALL SetHidWorkPara(unsigned char *address,
                                             unsigned char p1, unsigned char p2,
                                             unsigned char p3, unsigned char p4,
                                             unsigned char p5, unsigned char p6,
                                             VelkorHandle handle);
/**
 * Reads the six keyboard work parameters (0xA2): p1 to p6 = reply data bytes 0
 * to 5 (past a short reply's data: zeros).  Variant: outputs always.
 * @param[in] address reader address (never written back).
 * @param[out] p1, p2, p3, p4, p5, p6 reply data bytes 0 to 5, one each,
 *     written whatever the status.
 * @param[in] handle the device handle.
 * @return the reader's status (the outputs are written whatever it is), or a
 *         link code (then nothing is written; STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetHidWorkPara(unsigned char *address,
                                             unsigned char *p1,
                                             unsigned char *p2,
                                             unsigned char *p3,
                                             unsigned char *p4,
                                             unsigned char *p5,
                                             unsigned char *p6,
                                             VelkorHandle handle);

/* ------------------------------------------------------------------------ */
/* Reader-side tag buffer (the address is never written back)                */
/* ------------------------------------------------------------------------ */

/*
 * What the buffer's counts and its save length mean belongs to the reader;
 * the library passes them through.  None of these functions writes the
 * reader address back.
 */

/**
 * Inventories Gen2 tags into the reader's own buffer (0x18).  Parameters 2 to
 * 15 and the request are those of Inventory_G2 (mask, TID and trailing
 * groups, each sent only when its flag is exactly 1) under command 0x18.  No
 * control report precedes the frame; the reply is one frame, complete by its
 * length byte (6 s limit), and makes the CRC and echo tests.
 * @param[in] address reader address (never written back).
 * @param[in] param0, param1 the inventory parameter bytes (request data 0 and
 *                   1; VELKOR_INVENTORY_PARAM0 and VELKOR_INVENTORY_PARAM1
 *                   are what the tool and the bindings send).
 * @param[in] mask_mem, mask_addr, mask_len, mask_data the mask group: bank
 *                   (VELKOR_BANK_...), two address bytes, length in bits and
 *                   ceil(mask_len / 8) mask bytes; read only when mask_flag
 *                   is 1.
 * @param[in] mask_flag 1 to send the mask group.
 * @param[in] tid_addr, tid_len the TID group; read only when tid_flag is 1.
 * @param[in] tid_flag 1 to send the TID group.
 * @param[in] trail0, trail1, trail2 the trailing group; read only when
 *                   trail_flag is 1.
 * @param[in] trail_flag 1 to send the trailing group.
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[out] first reply data bytes 0-1 as a big-endian 16-bit number,
 *               zero-extended; written after a good reply, whatever the
 *               status.
 * @param[out] second reply data bytes 2-3, likewise.
 * @return the reader's status, a link code, or STATUS_PARAMETER_ERROR if the
 *         request cannot fit one report.
 */
VELKOR_EXPORT int VELKOR_CALL InventoryBuffer_G2(
    unsigned char *address, unsigned char param0, unsigned char param1,
    unsigned char mask_mem, unsigned char *mask_addr, unsigned char mask_len,
    unsigned char *mask_data, unsigned char mask_flag, unsigned char tid_addr,
    unsigned char tid_len, unsigned char tid_flag, unsigned char trail0,
    unsigned char trail1, unsigned char trail2, unsigned char trail_flag,
    int *first, int *second, VelkorHandle handle);

/** Room of ReadBuffer_G2's list (the most the reply collector keeps). */
#define VELKOR_MAX_BUFFER_LIST 6000

/**
 * Reads the reader's buffer back (0x72).  The begin control report precedes
 * the frame; the reply is a run of frames (length, address, echo, status, tag
 * count, tag data, CRC) ending with a frame of status 0x01 (10 s limit, at
 * most 6000 bytes).  Neither CRC nor echo is tested.  Frames of status 0x01
 * or 0x03 contribute; a frame too short for its tag count (length byte below
 * 6) or running past the bytes received contributes nothing.
 * @param[in] address reader address (never written back).
 * @param[in] handle a device handle from GetDeviceList (or any descriptor
 *                   that behaves like one).
 * @param[out] total_len bytes in list.
 * @param[out] tag_count sum of the contributing frames' tag counts (starts
 *                  from 0 on every call).
 * @param[out] list the contributing frames' tag data in arrival order;
 *                  room for VELKOR_MAX_BUFFER_LIST bytes whatever the tag
 *                  count says (total_len is at most that).  One record per
 *                  buffered tag, as in Inventory_G2's list: the EPC's length
 *                  in bytes, then the EPC (as much of it as the save length,
 *                  SetSaveLen, keeps).  Untouched when
 *                  fewer than 11 bytes arrived (an empty buffer); total_len
 *                  and tag_count are then 0.
 * @return the last frame's status (0x01 after a complete read; the first
 *         frame's when fewer than 11 bytes arrived); STATUS_COMM_ERROR when
 *         the begin report cannot be written (so also for an invalid handle)
 *         or no complete reply arrives; outputs are written only with a
 *         reader status.
 */
VELKOR_EXPORT int VELKOR_CALL ReadBuffer_G2(unsigned char *address,
                                            int *total_len, int *tag_count,
                                            unsigned char *list,
                                            VelkorHandle handle);

/**
 * Asks how many tags the buffer holds (0x74).  Outputs always: *count = reply
 * data bytes 0-1 as a big-endian 16-bit number, written after a good reply
 * whatever the status.  Returns the reader's status or a link code.
 * @param[in] address reader address (never written back).
 * @param[out] count reply data bytes 0-1 as a big-endian 16-bit number,
 *     written whatever the status.
 * @param[in] handle the device handle.
 * @return the reader's status (the outputs are written whatever it is), or a
 *         link code (then nothing is written; STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetBufferCnt_G2(unsigned char *address,
                                              int *count, VelkorHandle handle);

/**
 * Empties the buffer (0x73).  Status only: nothing is written.  Returns the
 * reader's status or a link code.
 * @param[in] address reader address (never written back).
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL ClearBuffer_G2(unsigned char *address,
                                             VelkorHandle handle);

/**
 * Sets the buffer's one-byte save length (0x70; request: save_len).  Status
 * only: nothing is written.  Returns the reader's status (which refuses values
 * outside its range) or a link code.
 * @param[in] address reader address (never written back).
 * @param[in] save_len the save length byte; the reader refuses values outside
 *     its range.
 * @param[in] handle the device handle.
 * @return the reader's status, or a link code (STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL SetSaveLen(unsigned char *address,
                                         unsigned char save_len,
                                         VelkorHandle handle);

/**
 * Reads the buffer's save length (0x71).  Outputs always: *save_len = reply
 * data byte 0, written after a good reply whatever the status.  Returns the
 * reader's status or a link code.
 * @param[in] address reader address (never written back).
 * @param[out] save_len reply data byte 0, written whatever the status.
 * @param[in] handle the device handle.
 * @return the reader's status (the outputs are written whatever it is), or a
 *         link code (then nothing is written; STATUS_COMM_ERROR: no whole
 *         reply within 2 s).
 */
VELKOR_EXPORT int VELKOR_CALL GetSaveLen(unsigned char *address,
                                         unsigned char *save_len,
                                         VelkorHandle handle);

#endif /* VELKOR_H */
