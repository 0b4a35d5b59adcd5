// Velkor: the link-level functions, exported under their C++ (type-decorated)
// names.  Applications rarely need them; the command functions of velkor.h run
// them internally.
#ifndef VELKOR_LINK_HPP
#define VELKOR_LINK_HPP

#include "velkor.h"

/// Report IDs and control codes of the HID report protocol.
enum : unsigned char {
  VELKOR_REPORT_DATA = 0x02,     ///< output report carrying a command frame
  VELKOR_REPORT_CONTROL = 0x03,  ///< output report carrying a control code
  CTRL_ACK = 0x01,               ///< acknowledges an input report
  CTRL_POLL = 0x0A,              ///< asks the reader for one input report
  CTRL_BEGIN = 0x0F,             ///< greeting; precedes inventory and buffer reads
  CTRL_CHANGE_TO_HID = 0xA0,     ///< switches the reader to keyboard output
};

/// Size of every HID report, in and out.
constexpr unsigned VELKOR_REPORT_SIZE = 64;
/// Payload room of one report (frame bytes out, reply bytes in).
constexpr unsigned VELKOR_REPORT_PAYLOAD = 62;

/**
 * Computes the CRC-16 (reflected polynomial 0x8408, preset 0xFFFF, no final
 * XOR) and stores it after the bytes it covers.
 * @param[in,out] buf len bytes to cover, then room for 2 more: buf[len]
 *                receives the CRC's low byte, buf[len+1] its high byte.
 * @param[in] len bytes covered; with len <= 0 nothing is read and FF FF is
 *                stored at buf[0] and buf[1].
 */
VELKOR_API void GetCRC(unsigned char *buf, int len);

/**
 * As GetCRC, then tests the stored residue.  Pass a whole frame including
 * its CRC (length byte + 1): on a match the two bytes after it hold 00 00.
 * @param[in,out] buf len bytes, then room for the 2 bytes GetCRC stores.
 * @param[in] len bytes covered.
 * @return STATUS_OK when the residue is zero, else STATUS_CRC_ERROR.
 */
VELKOR_API int CheckCRC(unsigned char *buf, int len);

/**
 * Writes one 64-byte output report.  Input whose byte 0 is 0x03 and byte 1 a
 * control code (0x01, 0x0A, 0x0F, 0x21, 0xA0) goes out as a control report,
 * anything else as a data report: 0x02, the count, the bytes, zeros.  A data
 * frame over 62 bytes or a control input over 64 bytes is refused.
 * @param[in] data count bytes: a command frame or a control input.
 * @param[in] count bytes at data.
 * @param[in] handle the device handle.
 * @return 1 when all 64 bytes were written within 50 ms, else 0.  The 50 ms
 *         bound every write on any descriptor: on Linux the write waits for
 *         room with poll() and never blocks past the limit (a hidraw node
 *         takes a report as soon as the device's output queue has room).
 */
VELKOR_API int SendDataToPort(unsigned char *data, unsigned int count,
                              VelkorHandle handle);

/**
 * Reply collectors.  Each repeats a poll cycle (poll report, one input report
 * read within 100 ms, a 50 ms pause, acknowledge report) and appends the
 * payloads until its completion test holds.  More than 6000 bytes end any of
 * them with STATUS_COMM_ERROR.  A poll report not written or a read that gets
 * nothing ends GetDataFromPort at once; the other three poll on.  An
 * acknowledge not written ends every one at once with STATUS_COMM_ERROR: the
 * report it answers was read, and its bytes would be missing from the reply.
 * On an invalid handle GetDataFromPort leaves *count alone; the other three
 * set it to 0.
 *
 * GetDataFromPort, for single-frame replies: complete when the CRC residue
 * over everything received is zero and the first byte, above 3, gives the
 * frame's length: bytes received beyond it must be zero padding, which is
 * not handed over.  Gives up after 1000 ms with nothing received, 2000 ms
 * overall.
 * @param[out] reply room for 6000 bytes; the reply in reply[0..*count-1].
 * @param[out] count bytes in reply.
 * @param[in] handle the device handle.
 * @return STATUS_OK, STATUS_COMM_ERROR (no complete reply in time), or
 *         STATUS_INVALID_HANDLE (nothing sent).
 */
VELKOR_API int GetDataFromPort(unsigned char *reply, int *count,
                               VelkorHandle handle);
/**
 * The multi-frame inventories' collector: complete when a frame with a good
 * CRC and a final status (1, 2, 0xF8, 0xF9, 0xFB, 0xFD, 0xFE, 0xFF) stands
 * alone at the end, zero padding aside.  Gives up after 1000 ms with nothing
 * received, 15000 ms overall.
 * @param[out] reply room for 6000 bytes; the reply in reply[0..*count-1].
 * @param[out] count bytes in reply.
 * @param[in] handle the device handle.
 * @return as GetDataFromPort.
 */
VELKOR_API int GetInventoryDataFromPort1(unsigned char *reply, int *count,
                                         VelkorHandle handle);
/**
 * The buffer read's collector: complete when a frame with status 0x01 ends
 * exactly at the end of the bytes received, zero padding aside.  Gives up
 * after 1000 ms with nothing received, 10000 ms overall.
 * @param[out] reply room for 6000 bytes; the reply in reply[0..*count-1]
 *                   (no more than 6000 bytes are kept).
 * @param[out] count bytes received so far, even on failure, when it may
 *                   exceed 6000.
 * @param[in] handle the device handle.
 * @return as GetDataFromPort.
 */
VELKOR_API int GetBufferDataFromPort(unsigned char *reply, int *count,
                                     VelkorHandle handle);
/**
 * The buffered inventory's collector: complete when the bytes received
 * number the first byte plus one (zero padding aside), and the first byte is
 * above 3.  Gives up after 6000 ms.
 * @param[out] reply room for 6000 bytes; partial bytes stay in it on failure.
 * @param[out] count bytes in reply (the frame's, without padding).
 * @param[in] handle the device handle.
 * @return as GetDataFromPort.
 */
VELKOR_API int GetDataFromPort_buff(unsigned char *reply, int *count,
                                    VelkorHandle handle);

/**
 * Inert, kept for compatibility.
 * @param[in] reply not read or written.
 * @param[in] count not read or written.
 * @param[in] handle not read.
 * @return STATUS_OK always; nothing is sent.
 */
VELKOR_API int ATGetDataFromPort(unsigned char *reply, int *count,
                                 VelkorHandle handle);

/// Exported for compatibility; it has no state and no behaviour.
class VELKOR_API CVelkor {
 public:
  /// Constructs nothing.
  CVelkor();
  /// Copies nothing.
  /// @param[in] other ignored.
  /// @return *this.
  CVelkor &operator=(const CVelkor &other);
  /// Moves nothing.
  /// @param[in] other ignored.
  /// @return *this.
  CVelkor &operator=(CVelkor &&other);
};

#endif  // VELKOR_LINK_HPP
