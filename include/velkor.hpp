// velkor.hpp: a header-only C++17 layer over the C functions of velkor.h.
//
// velkor::Reader owns one open reader and closes it in its destructor; it is
// opened by index, by device path or by serial number, or adopts a handle
// opened elsewhere.  Commands take enum class values and return value types
// (std::vector, std::array); a failed status becomes a velkor::Error, which
// carries the status, its text and an std::error_code of velkor::category().
// Code that keeps exceptions off calls report_to(ec) once: failures then go
// to ec and the command returns an empty result.
//
// The layer adds no heap allocation beyond the vectors it returns (and an
// Error's text), and no state beyond the handle and the reader address.  As
// with the C functions, one Reader must not be used by two threads at once.
//
// The reader's information block and the inventories' tag records are
// decoded by the application core (velkor_app.h), as the tool and the
// bindings decode them: region 5 reads back as region 5 on every surface.
// Programs that include this header link libvelkor_app too (CMake:
// Velkor::App; pkg-config: velkor-app).
#ifndef VELKOR_HPP
#define VELKOR_HPP

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "velkor.h"
#include "velkor_app.h"
#include "velkor_link.hpp"

#ifdef _WIN32
#  include <windows.h>
#else
#  include <fcntl.h>
#  include <unistd.h>
#endif

namespace velkor {

using Bytes = std::vector<unsigned char>;

enum class Bank : unsigned char {
  reserved = VELKOR_BANK_RESERVED,
  epc = VELKOR_BANK_EPC,
  tid = VELKOR_BANK_TID,
  user = VELKOR_BANK_USER,
};

/// The tool's names: `velkor lock --field kill|access|epc|tid|user`.
enum class LockField : unsigned char {
  kill = VELKOR_LOCK_KILL_PASSWORD,
  access = VELKOR_LOCK_ACCESS_PASSWORD,
  epc = VELKOR_LOCK_EPC,
  tid = VELKOR_LOCK_TID,
  user = VELKOR_LOCK_USER,
};

/// The tool's names: `velkor lock --action unlock|permaunlock|lock|permalock`.
enum class LockAction : unsigned char {
  unlock = VELKOR_LOCK_WRITABLE,
  permaunlock = VELKOR_LOCK_PERMANENTLY_WRITABLE,
  lock = VELKOR_LOCK_SECURED,
  permalock = VELKOR_LOCK_PERMANENTLY_LOCKED,
};

enum class Region : int {
  mhz920 = VELKOR_REGION_920MHZ,
  mhz902 = VELKOR_REGION_902MHZ,
  mhz917 = VELKOR_REGION_917MHZ,
  mhz865 = VELKOR_REGION_865MHZ,
  mhz916 = VELKOR_REGION_916MHZ,
};

/// The category of the statuses the C functions return; its messages are
/// GetReturnCodeText's.
class StatusCategory : public std::error_category {
 public:
  const char *name() const noexcept override { return "velkor"; }
  std::string message(int status) const override { return GetReturnCodeText(status); }
};

inline const std::error_category &category() noexcept {
  static const StatusCategory instance;
  return instance;
}

inline std::error_code make_error_code(int status) noexcept { return {status, category()}; }

/// A call that did not succeed: the status it returned, its text, and the
/// tag error code after VELKOR_STATUS_TAG_ERROR (else VELKOR_TAG_ERROR_NONE).
class Error : public std::system_error {
 public:
  Error(int status, const char *function, int tag_error = VELKOR_TAG_ERROR_NONE)
      : std::system_error(make_error_code(status), message(function, status, tag_error)),
        tag_error_(status == VELKOR_STATUS_TAG_ERROR ? tag_error : VELKOR_TAG_ERROR_NONE) {}
  int status() const noexcept { return code().value(); }
  int tag_error() const noexcept { return tag_error_; }

 private:
  // "ReadData_G2 failed with 0xFC (memory locked)"; system_error appends
  // the status text.
  static std::string message(const char *function, int status, int tag_error) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(status) & 0xFFu);
    std::string text = std::string(function) + " failed with " + hex;
    if (status == VELKOR_STATUS_TAG_ERROR && tag_error >= 0)
      text += std::string(" (") + GetTagErrorText(tag_error) + ")";
    return text;
  }
  int tag_error_;
};

/// A tag an inventory found: its EPC and the antenna of the round.
struct Tag {
  Bytes epc;
  unsigned antenna = 0;
  bool operator==(const Tag &o) const { return epc == o.epc && antenna == o.antenna; }
};

/// The reader's information block and serial number, decoded.
struct ReaderInfo {
  unsigned char address = 0;
  std::array<unsigned char, VELKOR_SERIAL_SIZE> serial{};
  unsigned firmware_major = 0, firmware_minor = 0;
  unsigned type = 0;
  bool gen2 = false, iso6b = false;
  int region = 0;  // as it was set (region 5 included)
  unsigned lowest_channel = 0, highest_channel = 0;
  unsigned power = 0;         // dBm
  unsigned scan_time_ms = 0;  // the reader counts in 100 ms
  unsigned antenna = 0;
  bool beep = false;
  unsigned comm_type = 0;
};

/// The six keyboard work parameters of SetHidWorkPara, in order.
using HidParameters = std::array<unsigned char, 6>;
/// A 6B tag's identifier as InventorySingle_6B hands it out.
using Id6B = std::array<unsigned char, VELKOR_6B_ID_SIZE>;
/// The reader's clock block, six bytes in the reader's layout.
using Clock = std::array<unsigned char, VELKOR_CLOCK_SIZE>;

/// The channel texts of a region ("920.125 MHz", ...); empty for a region
/// without a plan.
inline std::vector<std::string> channels(Region region) {
  char *list[VELKOR_MAX_CHANNELS] = {};
  GetChannelList(static_cast<int>(region), list);
  std::vector<std::string> texts;
  for (int i = 0; i < VELKOR_MAX_CHANNELS && list[i]; ++i) texts.emplace_back(list[i]);
  FreeChannelList(list);
  return texts;
}

/// The library version as GetSDKVersion reports it.
inline std::array<unsigned char, VELKOR_SDK_VERSION_SIZE> sdk_version() {
  std::array<unsigned char, VELKOR_SDK_VERSION_SIZE> v{};
  GetSDKVersion(v.data());
  return v;
}

class Reader {
 public:
  /// Adopts an open handle (a descriptor on Linux, e.g. an emulator's host
  /// end); the Reader closes it.  address 0xFF reaches any reader.
  static Reader adopt(VelkorHandle handle, unsigned char address = 0xFF) {
    return Reader(handle, address);
  }

  /// The index-th reader GetDeviceList finds; the others are closed again.
  static Reader open(int index = 0) {
    VelkorHandle handles[VELKOR_MAX_DEVICES];
    int count = 0;
    const int status = GetDeviceList(handles, &count);
    if (status != STATUS_OK) fail(status, "GetDeviceList");
    Reader chosen;
    for (int i = 0; i < count; ++i) {
      if (i == index)
        chosen.handle_ = handles[i];
      else
        CloseUSBPort(handles[i]);
    }
    if (!chosen.valid()) fail(STATUS_COMM_ERROR, "GetDeviceList");
    return chosen;
  }

  /// The reader at a device path (a hidraw node on Linux), opened as
  /// discovery opens it and greeted with the begin report.
  static Reader open(const std::string &path) {
#ifdef _WIN32
    std::wstring wide(path.begin(), path.end());
    HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    Reader reader(h == INVALID_HANDLE_VALUE ? VELKOR_INVALID_HANDLE : h, 0xFF);
#else
    Reader reader(::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC), 0xFF);
#endif
    if (!reader.valid()) fail(STATUS_COMM_ERROR, "open");
    unsigned char begin[2] = {VELKOR_REPORT_CONTROL, CTRL_BEGIN};
    if (SendDataToPort(begin, 2, reader.handle_) != 1) fail(STATUS_COMM_ERROR, "open");
    return reader;
  }

  /// The first reader GetDeviceList finds whose serial number is serial.
  static Reader open_serial(const std::array<unsigned char, VELKOR_SERIAL_SIZE> &serial) {
    VelkorHandle handles[VELKOR_MAX_DEVICES];
    int count = 0;
    const int status = GetDeviceList(handles, &count);
    if (status != STATUS_OK) fail(status, "GetDeviceList");
    Reader chosen;
    for (int i = 0; i < count; ++i) {
      Reader candidate(handles[i], 0xFF);
      std::array<unsigned char, VELKOR_SERIAL_SIZE> found{};
      if (!chosen.valid() && GetSeriaNo(&candidate.address_, found.data(), handles[i]) == 0 &&
          found == serial)
        chosen = std::move(candidate);
    }
    if (!chosen.valid()) fail(STATUS_COMM_ERROR, "GetSeriaNo");
    return chosen;
  }

  Reader(Reader &&other) noexcept { *this = std::move(other); }
  Reader &operator=(Reader &&other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, VELKOR_INVALID_HANDLE);
      address_ = other.address_;
      errors_ = std::exchange(other.errors_, nullptr);
    }
    return *this;
  }
  Reader(const Reader &) = delete;
  Reader &operator=(const Reader &) = delete;
  ~Reader() { close(); }

  bool valid() const noexcept { return handle_ != VELKOR_INVALID_HANDLE; }
  VelkorHandle handle() const noexcept { return handle_; }
  /// The reader address the commands send; replies write it back.
  unsigned char address() const noexcept { return address_; }
  void set_bus_address(unsigned char address) noexcept { address_ = address; }
  /// Hands the handle over to the caller, who closes it.
  VelkorHandle release() noexcept { return std::exchange(handle_, VELKOR_INVALID_HANDLE); }

  /// From now on failures are stored in ec (cleared on success) instead of
  /// thrown; the failing command returns an empty or zero result.
  Reader &report_to(std::error_code &ec) noexcept {
    errors_ = &ec;
    return *this;
  }

  // -- identity ---------------------------------------------------------

  ReaderInfo info() {
    unsigned char b[VELKOR_INFO01_SIZE + 10] = {};
    ReaderInfo r;
    if (!check(GetReaderInformation(&address_, b, b + 2, b + 3, b + 4, b + 5, b + 6, b + 7,
                                    b + 8, b + 9, b + 10, b + 11, handle_),
               "GetReaderInformation"))
      return r;
    velkor_app_info decoded;
    velkor_app_decode_info(b, &decoded);
    r.address = address_;
    r.firmware_major = static_cast<unsigned>(decoded.firmware_major);
    r.firmware_minor = static_cast<unsigned>(decoded.firmware_minor);
    r.type = static_cast<unsigned>(decoded.type);
    r.gen2 = decoded.gen2 != 0;
    r.iso6b = decoded.iso6b != 0;
    r.region = decoded.region.region;
    r.lowest_channel = static_cast<unsigned>(decoded.region.lowest);
    r.highest_channel = static_cast<unsigned>(decoded.region.highest);
    r.power = static_cast<unsigned>(decoded.power_dbm);
    r.scan_time_ms = static_cast<unsigned>(decoded.scan_time_ms);
    r.antenna = static_cast<unsigned>(decoded.antenna);
    r.beep = decoded.beep != 0;
    r.comm_type = static_cast<unsigned>(decoded.comm_type);
    r.serial = serial();
    return r;
  }
  std::array<unsigned char, VELKOR_SERIAL_SIZE> serial() {
    std::array<unsigned char, VELKOR_SERIAL_SIZE> s{};
    check(GetSeriaNo(&address_, s.data(), handle_), "GetSeriaNo");
    return s;
  }
  void set_serial(std::array<unsigned char, VELKOR_SERIAL_SIZE> s) {
    check(SetSeriaNo(&address_, s.data(), handle_), "SetSeriaNo");
  }
  /// Gives the reader a new bus address; this Reader follows it.
  void set_address(unsigned char address) {
    if (check(SetAddress(&address_, address, handle_), "SetAddress")) address_ = address;
  }
  std::array<unsigned char, VELKOR_MODULE_VERSION_SIZE> module_version() {
    std::array<unsigned char, VELKOR_MODULE_VERSION_SIZE> v{};
    check(GetModuleVersion(&address_, v.data(), handle_), "GetModuleVersion");
    return v;
  }

  // -- Gen2 inventory -----------------------------------------------------

  /// One inventory round with the header's parameter pair; no tag is an
  /// empty result, not a failure.
  std::vector<Tag> inventory(unsigned char param0 = VELKOR_INVENTORY_PARAM0,
                             unsigned char param1 = VELKOR_INVENTORY_PARAM1) {
    std::array<unsigned char, VELKOR_MAX_TAG_LIST> list;
    unsigned char mask_addr[2] = {}, mask[1] = {}, frame4 = 0;
    int total = 0, count = 0;
    const int status = Inventory_G2(&address_, param0, param1, 0, mask_addr, 0, mask, 0, 0, 0,
                                    0, 0, 0, 0, 0, list.data(), &frame4, &total, &count, handle_);
    if (status == VELKOR_STATUS_NO_TAG) return {};
    if (status != VELKOR_STATUS_INVENTORY_COMPLETE && status != VELKOR_STATUS_INVENTORY_STOPPED) {
      check(status, "Inventory_G2");
      return {};
    }
    return records(list.data(), total, frame4, "Inventory_G2");
  }

  // -- Gen2 memory, kill and lock, privacy and EAS ----------------------------
  // A tag is named by its EPC (whole words, at most 31); passwords are
  // 32-bit numbers, sent most significant byte first.

  Bytes read(const Bytes &epc, Bank bank, unsigned char word_ptr, unsigned char words,
             std::uint32_t password = 0) {
    Bytes data(2u * words);
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    if (!check(ReadData_G2(&address_, t.epc(), t.words, static_cast<unsigned char>(bank),
                           word_ptr, words, t.password, 0, t.mask_addr, 0, t.mask,
                           data.data(), &error, handle_),
               "ReadData_G2", error))
      return {};
    return data;
  }
  void write(const Bytes &epc, Bank bank, unsigned char word_ptr, const Bytes &data,
             std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    check(WriteData_G2(&address_, t.epc(), static_cast<unsigned char>(data.size() / 2), t.words,
                       static_cast<unsigned char>(bank), word_ptr, in(data), t.password, 0,
                       t.mask_addr, 0, t.mask, &error, handle_),
          "WriteData_G2", error);
  }
  void erase(const Bytes &epc, Bank bank, unsigned char word_ptr, unsigned char words,
             std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    check(BlockErase_G2(&address_, t.epc(), t.words, static_cast<unsigned char>(bank), word_ptr,
                        words, t.password, 0, t.mask_addr, 0, t.mask, &error, handle_),
          "BlockErase_G2", error);
  }
  /// Writes a new EPC to the tag in the field.
  void write_epc(const Bytes &new_epc, std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(password);
    check(WriteEPC_G2(&address_, t.password, in(new_epc),
                      static_cast<unsigned char>(new_epc.size() / 2), &error, handle_),
          "WriteEPC_G2", error);
  }
  void kill(const Bytes &epc, std::uint32_t kill_password) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, kill_password);
    check(KillTag_G2(&address_, t.epc(), t.words, t.password, 0, t.mask_addr, 0, t.mask, &error,
                     handle_),
          "KillTag_G2", error);
  }
  void lock(const Bytes &epc, LockField field, LockAction action, std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    check(Lock_G2(&address_, t.epc(), t.words, static_cast<unsigned char>(field),
                  static_cast<unsigned char>(action), t.password, 0, t.mask_addr, 0, t.mask,
                  &error, handle_),
          "Lock_G2", error);
  }
  /// Permalocks one 8-word block of user memory.
  void block_lock(const Bytes &epc, unsigned char block, std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    check(BlockLock_G2(&address_, t.epc(), t.words, t.password, block, 0, t.mask_addr, 0, t.mask,
                       &error, handle_),
          "BlockLock_G2", error);
  }
  /// Hides the tag from inventories (privacy), or shows it again.
  void privacy(const Bytes &epc, std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    check(SetPrivacyByEPC_G2(&address_, t.epc(), t.words, t.password, 0, t.mask_addr, 0, t.mask,
                             &error, handle_),
          "SetPrivacyByEPC_G2", error);
  }
  void reset_privacy(std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(password);
    check(ResetPrivacy_G2(&address_, t.password, &error, handle_), "ResetPrivacy_G2", error);
  }
  unsigned char check_privacy() {
    unsigned char state = 0;
    int error = VELKOR_TAG_ERROR_NONE;
    check(CheckPrivacy_G2(&address_, &state, &error, handle_), "CheckPrivacy_G2", error);
    return state;
  }
  void eas(const Bytes &epc, bool on, std::uint32_t password = 0) {
    int error = VELKOR_TAG_ERROR_NONE;
    Target t(epc, password);
    check(EASConfigure_G2(&address_, t.epc(), t.words, t.password, on ? 1 : 0, 0, t.mask_addr, 0,
                          t.mask, &error, handle_),
          "EASConfigure_G2", error);
  }
  /// True when a tag in the field raises the EAS alarm.
  bool eas_alarm() {
    int error = VELKOR_TAG_ERROR_NONE;
    const int status = EASAlarm_G2(&address_, &error, handle_);
    if (status == VELKOR_STATUS_NO_TAG) return false;
    return check(status, "EASAlarm_G2", error);
  }

  // -- ISO 18000-6B ---------------------------------------------------------

  /// The one 6B tag in the field, if any.
  std::optional<Id6B> inventory_6b() {
    Id6B id{};
    unsigned char frame4 = 0;
    const int status = InventorySingle_6B(&address_, &frame4, id.data(), handle_);
    if (status == VELKOR_STATUS_NO_TAG) return std::nullopt;
    if (!check(status, "InventorySingle_6B")) return std::nullopt;
    return id;
  }
  Bytes read_6b(const Id6B &id, unsigned char start, unsigned char count) {
    Bytes data(count);
    Id6B tag = id;
    int error = VELKOR_TAG_ERROR_NONE;
    if (!check(ReadData_6B(&address_, tag.data(), start, count, data.data(), &error, handle_),
               "ReadData_6B", error))
      return {};
    return data;
  }
  void write_6b(const Id6B &id, unsigned char start, const Bytes &data) {
    Id6B tag = id;
    unsigned char written = 0;
    int error = VELKOR_TAG_ERROR_NONE;
    check(WriteData_6B(&address_, tag.data(), start, in(data),
                       static_cast<unsigned char>(data.size()), &written, &error, handle_),
          "WriteData_6B", error);
  }
  void lock_6b(const Id6B &id, unsigned char byte_address) {
    Id6B tag = id;
    int error = VELKOR_TAG_ERROR_NONE;
    check(Lock_6B(&address_, tag.data(), byte_address, &error, handle_), "Lock_6B", error);
  }
  bool check_lock_6b(const Id6B &id, unsigned char byte_address) {
    Id6B tag = id;
    unsigned char state = 0;
    int error = VELKOR_TAG_ERROR_NONE;
    check(CheckLock_6B(&address_, tag.data(), byte_address, &state, &error, handle_),
          "CheckLock_6B", error);
    return state != 0;
  }

  // -- configuration ----------------------------------------------------------

  /// Every channel of a region.
  void set_region(Region region) {
    check(SetRegionWithDefaultChannel(&address_, static_cast<int>(region), handle_),
          "SetRegionWithDefaultChannel");
  }
  void set_region(Region region, unsigned char lowest, unsigned char highest) {
    check(SetRegionAndChannel(&address_, static_cast<int>(region), lowest, highest, handle_),
          "SetRegionAndChannel");
  }
  void set_power(unsigned char dbm) { check(SetRfPower(&address_, dbm, handle_), "SetRfPower"); }
  void set_scan_time(unsigned char hundreds_of_ms) {
    check(SetInventoryScanTime(&address_, hundreds_of_ms, handle_), "SetInventoryScanTime");
  }
  void set_work_mode(unsigned char mode) {
    check(SetWorkMode(&address_, mode, handle_), "SetWorkMode");
  }
  void beep(unsigned char first, unsigned char second, unsigned char third) {
    check(BuzzerAndLEDControl(&address_, first, second, third, handle_), "BuzzerAndLEDControl");
  }
  Clock clock() {
    Clock c{};
    check(GetTime(&address_, c.data(), handle_), "GetTime");
    return c;
  }
  void set_clock(Clock c) { check(SetReal_timeClock(&address_, c.data(), handle_), "SetReal_timeClock"); }

  // -- keyboard output ------------------------------------------------------

  HidParameters hid_parameters() {
    HidParameters p{};
    check(GetHidWorkPara(&address_, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], handle_),
          "GetHidWorkPara");
    return p;
  }
  void set_hid_parameters(const HidParameters &p) {
    check(SetHidWorkPara(&address_, p[0], p[1], p[2], p[3], p[4], p[5], handle_),
          "SetHidWorkPara");
  }
  bool hid_beep() {
    unsigned char on = 0;
    check(GetHidBeepEn(&address_, &on, handle_), "GetHidBeepEn");
    return on == VELKOR_HID_BEEP_ON;
  }
  void set_hid_beep(bool on) {
    check(SetHidBeepEn(&address_, on ? VELKOR_HID_BEEP_ON : VELKOR_HID_BEEP_OFF, handle_),
          "SetHidBeepEn");
  }

  // -- the reader's tag buffer ----------------------------------------------

  /// Inventories into the reader's buffer; returns the buffer's tag count
  /// and the round's (the two numbers of the reply, in order).
  std::pair<int, int> buffer_inventory(unsigned char param0 = VELKOR_INVENTORY_PARAM0,
                                       unsigned char param1 = VELKOR_INVENTORY_PARAM1) {
    unsigned char mask_addr[2] = {}, mask[1] = {};
    int first = 0, second = 0;
    check(InventoryBuffer_G2(&address_, param0, param1, 0, mask_addr, 0, mask, 0, 0, 0, 0, 0, 0,
                             0, 0, &first, &second, handle_),
          "InventoryBuffer_G2");
    return {first, second};
  }
  /// The buffer's records, in the reader's per-tag layout, unsplit.
  Bytes buffer_list() {
    std::array<unsigned char, VELKOR_MAX_BUFFER_LIST> list;
    int total = 0, count = 0;
    const int status = ReadBuffer_G2(&address_, &total, &count, list.data(), handle_);
    if (status != VELKOR_STATUS_INVENTORY_COMPLETE) {
      check(status, "ReadBuffer_G2");
      return {};
    }
    return Bytes(list.data(), list.data() + total);
  }
  int buffer_count() {
    int count = 0;
    check(GetBufferCnt_G2(&address_, &count, handle_), "GetBufferCnt_G2");
    return count;
  }
  void buffer_clear() { check(ClearBuffer_G2(&address_, handle_), "ClearBuffer_G2"); }
  unsigned char save_len() {
    unsigned char n = 0;
    check(GetSaveLen(&address_, &n, handle_), "GetSaveLen");
    return n;
  }
  void set_save_len(unsigned char n) { check(SetSaveLen(&address_, n, handle_), "SetSaveLen"); }

 private:
  Reader() = default;
  Reader(VelkorHandle handle, unsigned char address) : handle_(handle), address_(address) {}

  void close() noexcept {
    if (valid()) CloseUSBPort(handle_);
    handle_ = VELKOR_INVALID_HANDLE;
  }

  [[noreturn]] static void fail(int status, const char *function) {
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
    throw Error(status, function);
#else
    (void)status, (void)function;
    std::abort();
#endif
  }

  // True on status 0; otherwise throws, or stores the status in the
  // report_to() target and returns false.  tag_error by reference: it is
  // read after the call that fills it, whatever the order the arguments of
  // check(Call(..., &error), ..., error) are evaluated in.
  bool check(int status, const char *function, const int &tag_error = kNoTagError) {
    if (errors_) {
      *errors_ = status == STATUS_OK ? std::error_code() : make_error_code(status);
      return status == STATUS_OK;
    }
    if (status == STATUS_OK) return true;
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
    throw Error(status, function, tag_error);
#else
    (void)function, (void)tag_error;
    std::abort();
#endif
  }

  // The tag records, decoded by the core; a record that runs past the end
  // of the list is a reply that cannot be decoded.
  std::vector<Tag> records(const unsigned char *list, int total, unsigned antenna,
                           const char *function) {
    int count = 0;
    velkor_app_decode_records(list, total, 0, 0, nullptr, 0, &count);
    std::vector<velkor_app_tag> decoded(static_cast<std::size_t>(count));
    if (velkor_app_decode_records(list, total, 0, 0, decoded.data(), count, &count) !=
        VELKOR_APP_OK) {
      check(STATUS_COMM_ERROR, function);
      return {};
    }
    std::vector<Tag> tags;
    for (const velkor_app_tag &t : decoded)
      tags.push_back({Bytes(t.epc, t.epc + t.epc_length), antenna});
    if (errors_) *errors_ = {};
    return tags;
  }

  // The addressing arguments of the Gen2 tag commands, identifier form; the
  // mask arguments are not read in that form but must be valid pointers.
  // The C functions only read their input buffers, which they take as
  // pointers to non-const bytes.
  static unsigned char *in(const Bytes &bytes) { return const_cast<unsigned char *>(bytes.data()); }
  struct Target {
    Target(const Bytes &e, std::uint32_t pw) : Target(pw) {
      id = in(e);
      words = static_cast<unsigned char>(e.size() / 2);
    }
    explicit Target(std::uint32_t pw) {
      for (int i = 0; i < 4; ++i) password[i] = static_cast<unsigned char>(pw >> (24 - 8 * i));
    }
    // An empty EPC is still passed as a valid pointer.
    unsigned char *epc() { return words ? id : password; }
    unsigned char *id = nullptr;
    unsigned char words = 0;
    unsigned char password[4];
    unsigned char mask_addr[2] = {};
    unsigned char mask[1] = {};
  };

  static constexpr int kNoTagError = VELKOR_TAG_ERROR_NONE;

  VelkorHandle handle_ = VELKOR_INVALID_HANDLE;
  unsigned char address_ = 0xFF;
  std::error_code *errors_ = nullptr;
};

}  // namespace velkor

#endif  // VELKOR_HPP
