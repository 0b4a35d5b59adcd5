#include "bench/command_table.h"

#include <algorithm>
#include <cstring>

namespace velkor::bench {

namespace {

// Gen2 commands name their tag by its 96-bit EPC (six words).
constexpr unsigned char kEpcWords = 6;

// Arguments most commands share: a zero password, an unused mask group.
struct Common {
  unsigned char address = 0x00;
  unsigned char password[4] = {};
  unsigned char mask_addr[2] = {};
  unsigned char mask[1] = {};
  unsigned char data[6000] = {};
  int error = 0;
};

// The epc argument is read, never written, by every Gen2 command.
unsigned char *epc_of(const TagNames &t) { return const_cast<unsigned char *>(t.epc.data()); }
unsigned char *id_of(const TagNames &t) { return const_cast<unsigned char *>(t.id6b.data()); }

int inventory_g2(VelkorHandle h) {
  Common c;
  unsigned char frame4 = 0;
  int total = 0, count = 0;
  return Inventory_G2(&c.address, 0x04, 0x00, 0, c.mask_addr, 0, c.mask, 0, 0, 0, 0, 0, 0, 0,
                      0, c.data, &frame4, &total, &count, h);
}

int inventory_buffer_g2(VelkorHandle h) {
  Common c;
  int first = 0, second = 0;
  return InventoryBuffer_G2(&c.address, 0x04, 0x00, 0, c.mask_addr, 0, c.mask, 0, 0, 0, 0, 0,
                            0, 0, 0, &first, &second, h);
}

const CommandCall kCommands[] = {
    // ------------------------------------------------------------ identity
    {"GetReaderInformation", "identity",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char i01[2], i[10];
       return GetReaderInformation(&c.address, i01, &i[0], &i[1], &i[2], &i[3], &i[4], &i[5],
                                   &i[6], &i[7], &i[8], &i[9], h);
     }},
    {"SetAddress", "identity",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetAddress(&c.address, 0x00, h);
     }},
    {"SetCommType", "identity",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetCommType(&c.address, 0x01, h);
     }},
    {"SetSeriaNo", "identity",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char serial[4] = {1, 2, 3, 4};
       return SetSeriaNo(&c.address, serial, h);
     }},
    {"GetSeriaNo", "identity",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char serial[4];
       return GetSeriaNo(&c.address, serial, h);
     }},
    {"GetModuleVersion", "identity",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char version[2];
       return GetModuleVersion(&c.address, version, h);
     }},
    // ------------------------------------------------------- gen2 inventory
    {"Inventory_G2", "gen2 inventory", [](const TagNames &, VelkorHandle h) {
       return inventory_g2(h);
     }},
    {"Fast_EPC_Inventory_G2", "gen2 inventory",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char param3 = 0;
       int total = 0, count = 0;
       return Fast_EPC_Inventory_G2(&c.address, 0x04, 0x00, 0x00, 0x00, &param3, c.data, &total,
                                    &count, h);
     }},
    {"SingleTagInventory_G2", "gen2 inventory",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       int frame4 = 0;
       return SingleTagInventory_G2(&c.address, c.data, nullptr, &frame4, h);
     }},
    // ---------------------------------------------------------- gen2 memory
    {"ReadData_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return ReadData_G2(&c.address, epc_of(t), kEpcWords, 3, 0, 8, c.password, 0, c.mask_addr,
                          0, c.mask, c.data, &c.error, h);
     }},
    {"ExtReadData_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       unsigned char pointer[2] = {0, 0};
       return ExtReadData_G2(&c.address, epc_of(t), kEpcWords, 3, pointer, 8, c.password, 0,
                             c.mask_addr, 0, c.mask, c.data, &c.error, h);
     }},
    {"WriteData_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return WriteData_G2(&c.address, epc_of(t), 4, kEpcWords, 3, 0, c.data, c.password, 0,
                           c.mask_addr, 0, c.mask, &c.error, h);
     }},
    {"BlockWrite_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return BlockWrite_G2(&c.address, epc_of(t), 4, kEpcWords, 3, 4, c.data, c.password, 0,
                            c.mask_addr, 0, c.mask, &c.error, h);
     }},
    {"ExtWriteData_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       unsigned char pointer[2] = {0, 8};
       return ExtWriteData_G2(&c.address, epc_of(t), 4, kEpcWords, 3, pointer, c.data,
                              c.password, 0, c.mask_addr, 0, c.mask, &c.error, h);
     }},
    {"BlockErase_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return BlockErase_G2(&c.address, epc_of(t), kEpcWords, 3, 12, 4, c.password, 0,
                            c.mask_addr, 0, c.mask, &c.error, h);
     }},
    {"WriteEPC_G2", "gen2 memory",
     [](const TagNames &t, VelkorHandle h) {
       // Writes the tag's own EPC back, so that it keeps its name.
       Common c;
       return WriteEPC_G2(&c.address, c.password, epc_of(t), kEpcWords, &c.error, h);
     }},
    // ----------------------------------------------------- gen2 kill and lock
    {"KillTag_G2", "gen2 kill and lock",
     [](const TagNames &t, VelkorHandle h) {
       // The zero kill password cannot kill: the tag refuses and lives on.
       Common c;
       return KillTag_G2(&c.address, epc_of(t), kEpcWords, c.password, 0, c.mask_addr, 0,
                         c.mask, &c.error, h);
     }},
    {"Lock_G2", "gen2 kill and lock",
     [](const TagNames &t, VelkorHandle h) {
       // User memory left writable: select 3 (user bank), protection 0 (open).
       Common c;
       return Lock_G2(&c.address, epc_of(t), kEpcWords, 0x03, 0x00, c.password, 0, c.mask_addr,
                      0, c.mask, &c.error, h);
     }},
    {"BlockLock_G2", "gen2 kill and lock",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return BlockLock_G2(&c.address, epc_of(t), kEpcWords, c.password, 0x00, 0, c.mask_addr,
                           0, c.mask, &c.error, h);
     }},
    // --------------------------------------------------- gen2 privacy and EAS
    {"CheckPrivacy_G2", "gen2 privacy and eas",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char state = 0;
       return CheckPrivacy_G2(&c.address, &state, &c.error, h);
     }},
    {"SetPrivacyByEPC_G2", "gen2 privacy and eas",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return SetPrivacyByEPC_G2(&c.address, epc_of(t), kEpcWords, c.password, 0, c.mask_addr, 0,
                                 c.mask, &c.error, h);
     }},
    {"ResetPrivacy_G2", "gen2 privacy and eas",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return ResetPrivacy_G2(&c.address, c.password, &c.error, h);
     }},
    {"SetPrivacyWithoutEPC_G2", "gen2 privacy and eas",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetPrivacyWithoutEPC_G2(&c.address, c.password, &c.error, h);
     }},
    {"ResetPrivacy_G2 (again)", "gen2 privacy and eas",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return ResetPrivacy_G2(&c.address, c.password, &c.error, h);
     }},
    {"EASConfigure_G2", "gen2 privacy and eas",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return EASConfigure_G2(&c.address, epc_of(t), kEpcWords, c.password, 0x01, 0,
                              c.mask_addr, 0, c.mask, &c.error, h);
     }},
    {"EASAlarm_G2", "gen2 privacy and eas",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return EASAlarm_G2(&c.address, &c.error, h);
     }},
    // -------------------------------------------------------- gen2 monza 4qt
    {"GetMonza4QTWorkParamter_G2", "gen2 monza 4qt",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       unsigned char param = 0;
       return GetMonza4QTWorkParamter_G2(&c.address, epc_of(t), kEpcWords, c.password, 0,
                                         c.mask_addr, 0, c.mask, &param, &c.error, h);
     }},
    {"SetMonza4QTWorkParamter_G2", "gen2 monza 4qt",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return SetMonza4QTWorkParamter_G2(&c.address, epc_of(t), kEpcWords, 0x00, c.password, 0,
                                         c.mask_addr, 0, c.mask, &c.error, h);
     }},
    // ------------------------------------------------------------------- 6B
    {"InventorySingle_6B", "6b",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char frame4 = 0, id[10];
       return InventorySingle_6B(&c.address, &frame4, id, h);
     }},
    {"InventoryMultiple_6B", "6b",
     [](const TagNames &, VelkorHandle h) {
       // Condition 1 (not equal) with an empty byte mask: every tag.
       Common c;
       unsigned char word[8] = {}, frame4 = 0;
       int count = 0;
       return InventoryMultiple_6B(&c.address, 1, 0, 0x00, word, &frame4, c.data, &count, h);
     }},
    {"ReadData_6B", "6b",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return ReadData_6B(&c.address, id_of(t), 8, 16, c.data, &c.error, h);
     }},
    {"WriteData_6B", "6b",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       unsigned char written = 0;
       return WriteData_6B(&c.address, id_of(t), 16, c.data, 8, &written, &c.error, h);
     }},
    {"CheckLock_6B", "6b",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       unsigned char state = 0;
       return CheckLock_6B(&c.address, id_of(t), 16, &state, &c.error, h);
     }},
    {"Lock_6B", "6b",
     [](const TagNames &t, VelkorHandle h) {
       Common c;
       return Lock_6B(&c.address, id_of(t), 200, &c.error, h);
     }},
    // -------------------------------------------------------- config region
    {"SetRegion", "config region",
     [](const TagNames &, VelkorHandle h) {
       // Region 1, channels 0 to 19: region bits 3-2 and 1-0 over the indexes.
       Common c;
       return SetRegion(&c.address, 0x13, 0x40, h);
     }},
    {"SetRegionAndChannel", "config region",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetRegionAndChannel(&c.address, 1, 0, 19, h);
     }},
    {"SetRegionWithDefaultChannel", "config region",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetRegionWithDefaultChannel(&c.address, 1, h);
     }},
    // ------------------------------------------------------ config rf power
    {"SetRfPower", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetRfPower(&c.address, 30, h);
     }},
    {"SetDAC", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetDAC(&c.address, 0x80, h);
     }},
    {"GetDAC", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char dac = 0;
       return GetDAC(&c.address, &dac, h);
     }},
    {"CheckPowerParameter", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char result = 0;
       return CheckPowerParameter(&c.address, &result, h);
     }},
    {"SolidifyDACandPowerlist", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       // A DAC value for each power level that does not fall as power rises.
       Common c;
       unsigned char list[31], result = 0;
       for (unsigned i = 0; i < sizeof list; ++i) list[i] = static_cast<unsigned char>(0x40 + 4 * i);
       return SolidifyDACandPowerlist(&c.address, list, &result, h);
     }},
    {"GetStartInformation", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char i[9];
       return GetStartInformation(&c.address, &i[0], &i[1], &i[2], &i[3], &i[4], &i[5], &i[6],
                                  &i[7], &i[8], h);
     }},
    {"RfOutput", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return RfOutput(&c.address, 0, h);
     }},
    {"DeleteRfOutput", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char result = 0;
       return DeleteRfOutput(&c.address, &result, h);
     }},
    {"InSelfTestMode", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return InSelfTestMode(&c.address, 1, h);
     }},
    {"InSelfTestMode (leave)", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return InSelfTestMode(&c.address, 0, h);
     }},
    {"EnableTestFreq", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       // 915000 kHz, least significant byte first.
       Common c;
       unsigned char khz[4] = {0x38, 0xF6, 0x0D, 0x00};
       return EnableTestFreq(&c.address, khz, 0, h);
     }},
    {"GetADValue", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char value[2];
       return GetADValue(&c.address, 0, value, h);
     }},
    {"SetAValue", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char first[4] = {1, 2, 3, 4}, second[4] = {5, 6, 7, 8};
       return SetAValue(&c.address, 0, first, second, h);
     }},
    {"GetAdjustPara", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return GetAdjustPara(&c.address, c.data, h);
     }},
    {"SetCheckAnt", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetCheckAnt(&c.address, 1, h);
     }},
    {"GetCheckPWR", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char first[2], second[2];
       return GetCheckPWR(&c.address, first, second, h);
     }},
    {"SetQS", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetQS(&c.address, 4, 4, h);
     }},
    {"GetQS", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char qs1 = 0, qs2 = 0;
       return GetQS(&c.address, &qs1, &qs2, h);
     }},
    {"SetDCOffset", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char offset[2] = {0x10, 0x00};
       return SetDCOffset(&c.address, offset, h);
     }},
    {"SetFlashRom", "config rf power",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetFlashRom(&c.address, h);
     }},
    // ----------------------------------------------------- config work mode
    {"SetInventoryScanTime", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetInventoryScanTime(&c.address, 10, h);
     }},
    {"SetWorkMode", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetWorkMode(&c.address, 0, h);
     }},
    {"GetSystemParameter", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char p[10], p9[2];
       return GetSystemParameter(&c.address, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], &p[6],
                                 p9, &p[7], c.data, &p[8], &p[9], &p[9], h);
     }},
    {"SetEASSensitivity", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetEASSensitivity(&c.address, 3, h);
     }},
    {"SetTriggerTime", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetTriggerTime(&c.address, 5, h);
     }},
    {"SetMask", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetMask(&c.address, 1, c.mask_addr, 0, c.mask, h);
     }},
    {"SetResponsePamametersofAuto_runningMode", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetResponsePamametersofAuto_runningMode(&c.address, 0, 0, h);
     }},
    {"SetInventoryInterval", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetInventoryInterval(&c.address, 10, h);
     }},
    {"SelectTagType", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SelectTagType(&c.address, 0, h);
     }},
    {"SetAntennaMultiplexing", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetAntennaMultiplexing(&c.address, 1, h);
     }},
    {"SetBeepNotification", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetBeepNotification(&c.address, 1, h);
     }},
    {"ClearTagBuffer", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return ClearTagBuffer(&c.address, h);
     }},
    {"SetTIDParameter", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetTIDParameter(&c.address, 0x00, 0x06, h);
     }},
    {"SetTagCustomFunction", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char function = 0;
       return SetTagCustomFunction(&c.address, &function, h);
     }},
    {"SetWorkTime", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetWorkTime(&c.address, 0, 0, h);
     }},
    {"GetWorkTime", "config work mode",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char first = 0, second = 0;
       return GetWorkTime(&c.address, &first, &second, h);
     }},
    // ---------------------------------------------- config indicators and io
    {"BuzzerAndLEDControl", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return BuzzerAndLEDControl(&c.address, 1, 2, 3, h);
     }},
    {"SetReal_timeClock", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char clock[6] = {24, 1, 2, 3, 4, 5};
       return SetReal_timeClock(&c.address, clock, h);
     }},
    {"GetTime", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char clock[6];
       return GetTime(&c.address, clock, h);
     }},
    {"SetRelay", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetRelay(&c.address, 0, h);
     }},
    {"GetRevDelay", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char delay = 0;
       return GetRevDelay(&c.address, &delay, h);
     }},
    {"SetRevDelay", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetRevDelay(&c.address, 0, h);
     }},
    {"SetGPIO", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetGPIO(&c.address, 0, h);
     }},
    {"GetGPIOStatus", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char status = 0;
       return GetGPIOStatus(&c.address, &status, h);
     }},
    {"SetNotificationPulseOutput", "config indicators and io",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetNotificationPulseOutput(&c.address, 0, h);
     }},
    // ------------------------------------------------------- config keyboard
    {"SetHidBeepEn", "config keyboard",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetHidBeepEn(&c.address, 1, h);
     }},
    {"GetHidBeepEn", "config keyboard",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char beep = 0;
       return GetHidBeepEn(&c.address, &beep, h);
     }},
    {"SetHidWorkPara", "config keyboard",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetHidWorkPara(&c.address, 1, 0, 0, 0, 0, 0, h);
     }},
    {"GetHidWorkPara", "config keyboard",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char p[6];
       return GetHidWorkPara(&c.address, &p[0], &p[1], &p[2], &p[3], &p[4], &p[5], h);
     }},
    {"ChangeToHID", "config keyboard",
     [](const TagNames &, VelkorHandle h) {
       // Last of its family: the reader then types tags as a keyboard.
       Common c;
       return ChangeToHID(&c.address, h);
     }},
    // --------------------------------------------------------------- buffer
    {"InventoryBuffer_G2", "buffer", [](const TagNames &, VelkorHandle h) {
       return inventory_buffer_g2(h);
     }},
    {"GetBufferCnt_G2", "buffer",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       int count = 0;
       return GetBufferCnt_G2(&c.address, &count, h);
     }},
    {"ReadBuffer_G2", "buffer",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       int total = 0, count = 0;
       return ReadBuffer_G2(&c.address, &total, &count, c.data, h);
     }},
    {"SetSaveLen", "buffer",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return SetSaveLen(&c.address, 62, h);
     }},
    {"GetSaveLen", "buffer",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       unsigned char length = 0;
       return GetSaveLen(&c.address, &length, h);
     }},
    {"ClearBuffer_G2", "buffer",
     [](const TagNames &, VelkorHandle h) {
       Common c;
       return ClearBuffer_G2(&c.address, h);
     }},
};

}  // namespace

TagNames first_tags(const emu::Reader &reader) {
  TagNames names;
  if (!reader.tags.gen2.empty()) {
    const emu::Bytes epc = reader.tags.gen2.front().epc();
    std::copy_n(epc.begin(), std::min(epc.size(), names.epc.size()), names.epc.begin());
  }
  if (!reader.tags.iso6b.empty()) names.id6b = reader.tags.iso6b.front().id;
  return names;
}

std::span<const CommandCall> every_command() { return kCommands; }

const CommandCall *find_command(std::string_view name) {
  for (const CommandCall &c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

bool answered_by_reader(int result) {
  return result != STATUS_COMM_ERROR && result != STATUS_CRC_ERROR &&
         result != STATUS_COMMAND_MISMATCH && result != STATUS_INVALID_HANDLE;
}

}  // namespace velkor::bench
