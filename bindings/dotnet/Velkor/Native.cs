// The flat C functions of velkor.h, as P/Invoke declarations.
//
// CallingConvention.Winapi is __stdcall on 32-bit Windows, where Velkor.dll
// exports its functions so, and the platform's default everywhere else: the
// convention the library is built with on each.
//
// The device handle is a HANDLE on Windows and a descriptor (int) elsewhere.
// It is passed as a pointer-sized value: on the 64-bit Unix calling
// conventions an int argument occupies one register or one 8-byte stack
// slot, of which the callee reads the low half, so the descriptor arrives
// unchanged (sign included).
using System;
using System.Runtime.InteropServices;

namespace Velkor
{
    internal static class Native
    {
        private const string Lib = "Velkor";
        private const CallingConvention Call = CallingConvention.Winapi;

        // Discovery, handles, texts, version
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetDeviceList(IntPtr handles, out int count);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int CloseUSBPort(IntPtr handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern IntPtr GetReturnCodeText(int status);
        [DllImport(Lib, CallingConvention = Call)] internal static extern IntPtr GetTagErrorText(int code);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetSDKVersion(byte[] version);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetChannelList(int region, IntPtr[] list);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int FreeChannelList(IntPtr[] list);

        // Identity
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetReaderInformation(ref byte address, byte[] info01, out byte info2, out byte info3, out byte info4, out byte info5, out byte info6, out byte info7, out byte info8, out byte info9, out byte info10, out byte info11, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetSeriaNo(ref byte address, byte[] serial, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetModuleVersion(ref byte address, byte[] version, ReaderHandle handle);

        // Gen2 inventory
        [DllImport(Lib, CallingConvention = Call)] internal static extern int Inventory_G2(ref byte address, byte param0, byte param1, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, byte maskFlag, byte tidAddr, byte tidLen, byte tidFlag, byte trail0, byte trail1, byte trail2, byte trailFlag, byte[] list, out byte frame4, out int totalLen, out int tagCount, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SingleTagInventory_G2(ref byte address, byte[] tagData, IntPtr reserved, out int frame4, ReaderHandle handle);

        // Gen2 tag commands
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ReadData_G2(ref byte address, byte[] epc, byte enumWords, byte mem, byte wordPtr, byte wordCount, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, byte[] data, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ExtReadData_G2(ref byte address, byte[] epc, byte enumWords, byte mem, byte[] wordPtr, byte wordCount, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, byte[] data, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int WriteData_G2(ref byte address, byte[] epc, byte wordCount, byte enumWords, byte mem, byte wordPtr, byte[] data, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int BlockWrite_G2(ref byte address, byte[] epc, byte wordCount, byte enumWords, byte mem, byte wordPtr, byte[] data, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ExtWriteData_G2(ref byte address, byte[] epc, byte wordCount, byte enumWords, byte mem, byte[] wordPtr, byte[] data, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int BlockErase_G2(ref byte address, byte[] epc, byte enumWords, byte mem, byte wordPtr, byte wordCount, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int WriteEPC_G2(ref byte address, byte[] password, byte[] newEpc, byte enumWords, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int KillTag_G2(ref byte address, byte[] epc, byte enumWords, byte[] killPassword, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int Lock_G2(ref byte address, byte[] epc, byte enumWords, byte select, byte setProtect, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int BlockLock_G2(ref byte address, byte[] epc, byte enumWords, byte[] password, byte blockParam, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetPrivacyByEPC_G2(ref byte address, byte[] epc, byte enumWords, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetPrivacyWithoutEPC_G2(ref byte address, byte[] password, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ResetPrivacy_G2(ref byte address, byte[] password, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int CheckPrivacy_G2(ref byte address, out byte state, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int EASConfigure_G2(ref byte address, byte[] epc, byte enumWords, byte[] password, byte eas, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int EASAlarm_G2(ref byte address, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetMonza4QTWorkParamter_G2(ref byte address, byte[] epc, byte enumWords, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, out byte workParam, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetMonza4QTWorkParamter_G2(ref byte address, byte[] epc, byte enumWords, byte workParam, byte[] password, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ref int errorCode, ReaderHandle handle);

        // ISO 18000-6B
        [DllImport(Lib, CallingConvention = Call)] internal static extern int InventorySingle_6B(ref byte address, out byte frame4, byte[] id, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int InventoryMultiple_6B(ref byte address, byte condition, byte start, byte byteMask, byte[] wordData, out byte frame4, byte[] list, out int tagCount, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ReadData_6B(ref byte address, byte[] id, byte start, byte byteCount, byte[] data, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int WriteData_6B(ref byte address, byte[] id, byte start, byte[] data, byte byteCount, out byte written, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int Lock_6B(ref byte address, byte[] id, byte byteAddress, ref int errorCode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int CheckLock_6B(ref byte address, byte[] id, byte byteAddress, out byte lockState, ref int errorCode, ReaderHandle handle);

        // Region, power, clock
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetRegionAndChannel(ref byte address, int region, byte lowest, byte highest, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetRegionWithDefaultChannel(ref byte address, int region, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetRfPower(ref byte address, byte power, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetReal_timeClock(ref byte address, byte[] clock6, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetTime(ref byte address, byte[] clock6, ReaderHandle handle);

        // Calibration reads
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetDAC(ref byte address, out byte dac, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int CheckPowerParameter(ref byte address, out byte result, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetStartInformation(ref byte address, out byte i0, out byte i1, out byte i2, out byte i3, out byte i4, out byte i5, out byte i6, out byte i7, out byte i8, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetADValue(ref byte address, byte request, byte[] value2, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetAdjustPara(ref byte address, byte[] block148, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetCheckPWR(ref byte address, byte[] first2, byte[] second2, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetQS(ref byte address, out byte qs1, out byte qs2, ReaderHandle handle);

        // Work mode and automatic-mode parameters
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetInventoryScanTime(ref byte address, byte scanTime, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetWorkMode(ref byte address, byte mode, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetSystemParameter(ref byte address, out byte p2, out byte p3, out byte p4, out byte p5, out byte p6, out byte p7, out byte p8, byte[] p9Two, out byte p10, byte[] p11Mask32, out byte p12, out byte p13, out byte p14, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetEASSensitivity(ref byte address, byte sensitivity, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetTriggerTime(ref byte address, byte triggerTime, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetMask(ref byte address, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetResponsePamametersofAuto_runningMode(ref byte address, byte first, byte second, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetInventoryInterval(ref byte address, byte interval, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SelectTagType(ref byte address, byte tagType, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetAntennaMultiplexing(ref byte address, byte setting, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetBeepNotification(ref byte address, byte setting, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ClearTagBuffer(ref byte address, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetTIDParameter(ref byte address, byte first, byte second, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetTagCustomFunction(ref byte address, ref byte function, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetWorkTime(ref byte address, byte first, byte second, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetWorkTime(ref byte address, out byte first, out byte second, ReaderHandle handle);

        // Indicators and I/O lines
        [DllImport(Lib, CallingConvention = Call)] internal static extern int BuzzerAndLEDControl(ref byte address, byte first, byte second, byte third, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetRelay(ref byte address, byte setting, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetRevDelay(ref byte address, out byte delay, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetRevDelay(ref byte address, byte delay, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetGPIO(ref byte address, byte setting, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetGPIOStatus(ref byte address, out byte status, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetNotificationPulseOutput(ref byte address, byte setting, ReaderHandle handle);

        // Keyboard output
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ChangeToHID(ref byte address, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetHidBeepEn(ref byte address, byte beep, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetHidBeepEn(ref byte address, out byte beep, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetHidWorkPara(ref byte address, byte p1, byte p2, byte p3, byte p4, byte p5, byte p6, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetHidWorkPara(ref byte address, out byte p1, out byte p2, out byte p3, out byte p4, out byte p5, out byte p6, ReaderHandle handle);

        // The reader's buffer
        [DllImport(Lib, CallingConvention = Call)] internal static extern int InventoryBuffer_G2(ref byte address, byte param0, byte param1, byte maskMem, byte[] maskAddr, byte maskLen, byte[] maskData, byte maskFlag, byte tidAddr, byte tidLen, byte tidFlag, byte trail0, byte trail1, byte trail2, byte trailFlag, out int first, out int second, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ReadBuffer_G2(ref byte address, out int totalLen, out int tagCount, byte[] list, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetBufferCnt_G2(ref byte address, out int count, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int ClearBuffer_G2(ref byte address, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int SetSaveLen(ref byte address, byte saveLen, ReaderHandle handle);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int GetSaveLen(ref byte address, out byte saveLen, ReaderHandle handle);
    }
}
