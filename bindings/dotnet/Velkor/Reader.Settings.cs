using System;

namespace Velkor
{
    /// <summary>The reader's information block and serial number.</summary>
    public sealed class ReaderInfo
    {
        public string Serial;
        public string Firmware;
        public bool Gen2, Iso6B, Beep;
        public int Region, LowestChannel, HighestChannel, Power, ScanTimeMs, Antenna;
    }

    /// <summary>The work-mode parameters, as `velkor config` shows them.</summary>
    public sealed class Config
    {
        public int Mode, Interval, TagType, EasSensitivity, TriggerTime, ScanTimeMs, Antenna;
        public int[] Response, Tid, WorkTime;
        public Mask Mask;  // null when the reader applies none
    }

    // Identity, region, power, clock, work mode, keyboard output, indicators, I/O.
    public sealed partial class Reader
    {
        private byte[] InformationBlock()
        {
            var b = new byte[12];
            var pair = new byte[2];
            Run("GetReaderInformation", (ref byte a, ReaderHandle h) => Native.GetReaderInformation(
                ref a, pair, out b[2], out b[3], out b[4], out b[5], out b[6], out b[7], out b[8], out b[9],
                out b[10], out b[11], h));
            b[0] = pair[0];
            b[1] = pair[1];
            return b;
        }

        public ReaderInfo Info()
        {
            byte[] b = InformationBlock();
            var serial = new byte[4];
            Run("GetSeriaNo", (ref byte a, ReaderHandle h) => Native.GetSeriaNo(ref a, serial, h));
            return new ReaderInfo
            {
                Serial = Hex.Format(serial, 0, 4), Firmware = b[0] + "." + b[1],
                Gen2 = (b[3] & 0x02) != 0, Iso6B = (b[3] & 0x01) != 0,
                // Region bits 3-2 and the highest channel in one byte, bits 1-0 and the lowest in the next.
                Region = (b[4] >> 6) << 2 | b[5] >> 6, LowestChannel = b[5] & 0x3F, HighestChannel = b[4] & 0x3F,
                Power = b[6], ScanTimeMs = b[7] * 100, Antenna = b[8], Beep = b[9] != 0,
            };
        }

        public string ModuleVersion()
        {
            var version = new byte[2];
            Run("GetModuleVersion", (ref byte a, ReaderHandle h) => Native.GetModuleVersion(ref a, version, h));
            return version[0] + "." + version[1];
        }

        /// <summary>Selects a region with all its channels, or lowest to highest.</summary>
        public void SetRegion(int region, int lowest = -1, int highest = -1)
        {
            if (lowest < 0 && highest < 0)
            {
                Run("SetRegionWithDefaultChannel", (ref byte a, ReaderHandle h) =>
                    Native.SetRegionWithDefaultChannel(ref a, region, h));
                return;
            }
            Velkor.Check.InRange("region", region, 1, 5);
            byte low = (byte)Velkor.Check.InRange("lowest", lowest, 0, 63);
            byte high = (byte)Velkor.Check.InRange("highest", highest, 0, 63);
            Run("SetRegionAndChannel", (ref byte a, ReaderHandle h) => Native.SetRegionAndChannel(ref a, region, low, high, h));
        }

        /// <summary>RF output power in dBm.</summary>
        public byte Power
        {
            get { return InformationBlock()[6]; }
            set { SetByte("SetRfPower", Native.SetRfPower, value); }
        }

        /// <summary>The reader's clock, to the second (years 2000 to 2099).</summary>
        public DateTime Clock
        {
            get
            {
                var b = new byte[6];
                Run("GetTime", (ref byte a, ReaderHandle h) => Native.GetTime(ref a, b, h));
                try
                {
                    return new DateTime(2000 + b[0], b[1], b[2], b[3], b[4], b[5]);
                }
                catch (ArgumentOutOfRangeException)
                {
                    throw new VelkorException(Statuses.Ok, "GetTime", -1,
                        "malformed reply: the clock " + Hex.Format(b, 0, 6) + " is no date");
                }
            }
            set
            {
                Velkor.Check.InRange("year", value.Year, 2000, 2099);
                var b = new[] { (byte)(value.Year - 2000), (byte)value.Month, (byte)value.Day,
                                (byte)value.Hour, (byte)value.Minute, (byte)value.Second };
                Run("SetReal_timeClock", (ref byte a, ReaderHandle h) => Native.SetReal_timeClock(ref a, b, h));
            }
        }

        public Config Config()
        {
            var b = new byte[7];
            var maskAddress = new byte[2];
            var mask = new byte[32];
            byte bits = 0, trigger = 0, tid0 = 0, tid1 = 0, work0 = 0, work1 = 0;
            Run("GetSystemParameter", (ref byte a, ReaderHandle h) => Native.GetSystemParameter(
                ref a, out b[0], out b[1], out b[2], out b[3], out b[4], out b[5], out b[6], maskAddress, out bits,
                mask, out trigger, out tid0, out tid1, h));
            Run("GetWorkTime", (ref byte a, ReaderHandle h) => Native.GetWorkTime(ref a, out work0, out work1, h));
            byte[] info = InformationBlock();
            Mask selection = null;
            if (bits > 0)
            {
                if (b[6] > 3)
                    throw new VelkorException(Statuses.Ok, "GetSystemParameter", -1, "malformed reply: a mask in bank " + b[6]);
                var data = new byte[(bits + 7) / 8];
                Array.Copy(mask, data, data.Length);
                selection = new Mask(data, (Bank)b[6], maskAddress[0] << 8 | maskAddress[1], bits);
            }
            return new Config
            {
                Mode = b[0], Interval = b[1], Response = new int[] { b[2], b[3] }, TagType = b[4],
                EasSensitivity = b[5], Mask = selection, TriggerTime = trigger, Tid = new int[] { tid0, tid1 },
                WorkTime = new int[] { work0, work1 }, ScanTimeMs = info[7] * 100, Antenna = info[8],
            };
        }

        public void SetWorkMode(WorkMode mode)
        {
            Velkor.Check.Defined("mode", mode);
            Run("SetWorkMode", (ref byte a, ReaderHandle h) => Native.SetWorkMode(ref a, (byte)mode, h));
        }

        public void SetInventoryInterval(byte interval)
        {
            SetByte("SetInventoryInterval", Native.SetInventoryInterval, interval);
        }

        public void SetResponse(byte first, byte second)
        {
            Run("SetResponsePamametersofAuto_runningMode", (ref byte a, ReaderHandle h) =>
                Native.SetResponsePamametersofAuto_runningMode(ref a, first, second, h));
        }

        public void SelectTagType(TagType type)
        {
            Velkor.Check.Defined("type", type);
            Run("SelectTagType", (ref byte a, ReaderHandle h) => Native.SelectTagType(ref a, (byte)type, h));
        }

        public void SetEasSensitivity(byte sensitivity)
        {
            SetByte("SetEASSensitivity", Native.SetEASSensitivity, sensitivity);
        }

        /// <summary>The selection mask of the automatic mode.</summary>
        public void SetMask(Mask mask)
        {
            if (mask == null) throw new ArgumentNullException("mask");
            var address = new[] { (byte)(mask.BitAddress >> 8), (byte)mask.BitAddress };
            Run("SetMask", (ref byte a, ReaderHandle h) =>
                Native.SetMask(ref a, (byte)mask.Bank, address, (byte)mask.Bits, mask.Data, h));
        }

        public void SetTriggerTime(byte time)
        {
            SetByte("SetTriggerTime", Native.SetTriggerTime, time);
        }

        public void SetTid(byte first, byte second)
        {
            Run("SetTIDParameter", (ref byte a, ReaderHandle h) => Native.SetTIDParameter(ref a, first, second, h));
        }

        public void SetWorkTime(byte first, byte second)
        {
            Run("SetWorkTime", (ref byte a, ReaderHandle h) => Native.SetWorkTime(ref a, first, second, h));
        }

        /// <summary>The inventory scan time in units of 100 ms.</summary>
        public void SetScanTime(byte scanTime)
        {
            SetByte("SetInventoryScanTime", Native.SetInventoryScanTime, scanTime);
        }

        public void SetAntenna(byte antenna)
        {
            SetByte("SetAntennaMultiplexing", Native.SetAntennaMultiplexing, antenna);
        }

        public void SetCustomFunction(byte function)
        {
            Run("SetTagCustomFunction", (ref byte a, ReaderHandle h) => Native.SetTagCustomFunction(ref a, ref function, h));
        }

        /// <summary>Empties the tag buffer of the automatic mode.</summary>
        public void ClearAutoBuffer() { Run("ClearTagBuffer", (ref byte a, ReaderHandle h) => Native.ClearTagBuffer(ref a, h)); }

        public void SwitchToKeyboard() { Run("ChangeToHID", (ref byte a, ReaderHandle h) => Native.ChangeToHID(ref a, h)); }

        public byte KeyboardBeep
        {
            get { return GetByte("GetHidBeepEn", Native.GetHidBeepEn); }
            set { SetByte("SetHidBeepEn", Native.SetHidBeepEn, value); }
        }

        /// <summary>The six keyboard work parameters: the first 1 to 4, the
        /// third 0 to 15, the fourth and fifth 0 or 1.</summary>
        public byte[] KeyboardParameters
        {
            get
            {
                var p = new byte[6];
                Run("GetHidWorkPara", (ref byte a, ReaderHandle h) =>
                    Native.GetHidWorkPara(ref a, out p[0], out p[1], out p[2], out p[3], out p[4], out p[5], h));
                return p;
            }
            set
            {
                if (value == null || value.Length != 6)
                    throw new ArgumentOutOfRangeException("value", "the keyboard work parameters are 6 bytes");
                Velkor.Check.InRange("keyboard work parameter 1", value[0], 1, 4);
                Velkor.Check.InRange("keyboard work parameter 3", value[2], 0, 15);
                Velkor.Check.InRange("keyboard work parameter 4", value[3], 0, 1);
                Velkor.Check.InRange("keyboard work parameter 5", value[4], 0, 1);
                Run("SetHidWorkPara", (ref byte a, ReaderHandle h) =>
                    Native.SetHidWorkPara(ref a, value[0], value[1], value[2], value[3], value[4], value[5], h));
            }
        }

        /// <summary>Drives the buzzer and LEDs with three control bytes.</summary>
        public void ControlIndicators(byte first, byte second, byte third)
        {
            Run("BuzzerAndLEDControl", (ref byte a, ReaderHandle h) => Native.BuzzerAndLEDControl(ref a, first, second, third, h));
        }

        /// <summary>Whether the reader beeps on each inventory.</summary>
        public bool Beep
        {
            get { return InformationBlock()[9] != 0; }
            set { Run("SetBeepNotification", (ref byte a, ReaderHandle h) => Native.SetBeepNotification(ref a, (byte)(value ? 1 : 0), h)); }
        }

        /// <summary>The GPIO status; set the output setting byte.</summary>
        public byte Gpio
        {
            get { return GetByte("GetGPIOStatus", Native.GetGPIOStatus); }
            set { SetByte("SetGPIO", Native.SetGPIO, value); }
        }

        public byte RevDelay
        {
            get { return GetByte("GetRevDelay", Native.GetRevDelay); }
            set { SetByte("SetRevDelay", Native.SetRevDelay, value); }
        }

        public void SetRelay(byte setting) { SetByte("SetRelay", Native.SetRelay, setting); }

        public void SetNotificationPulse(byte setting)
        {
            SetByte("SetNotificationPulseOutput", Native.SetNotificationPulseOutput, setting);
        }
    }
}
