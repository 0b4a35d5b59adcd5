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
        private AppNative.InfoRecord InfoRecord(bool withSerial)
        {
            AppNative.InfoRecord info = default(AppNative.InfoRecord);
            RunCore("information", (IntPtr s, out AppNative.Error e) =>
                AppNative.velkor_app_read_info(s, withSerial ? 1 : 0, out info, out e));
            return info;
        }

        /// <summary>The information block and the serial number, as the core
        /// (and so the velkor tool) decodes them: a region set as 5 reads 5.</summary>
        public ReaderInfo Info()
        {
            AppNative.InfoRecord i = InfoRecord(true);
            return new ReaderInfo
            {
                Serial = Hex.Format(i.Serial, 0, 4), Firmware = i.FirmwareMajor + "." + i.FirmwareMinor,
                Gen2 = i.Gen2 != 0, Iso6B = i.Iso6B != 0,
                Region = i.Region.Region, LowestChannel = i.Region.Lowest, HighestChannel = i.Region.Highest,
                Power = i.PowerDbm, ScanTimeMs = i.ScanTimeMs, Antenna = i.Antenna, Beep = i.Beep != 0,
            };
        }

        /// <summary>The information document, as `velkor info --json` prints it.</summary>
        public string InfoJson(int index = 0, string path = "emulator")
        {
            AppNative.InfoRecord info = InfoRecord(true);
            var json = new byte[8192];
            int length = AppNative.velkor_app_info_json(ref info, index, path, address, json, new UIntPtr((uint)json.Length));
            return Document(json, length);
        }

        /// <summary>The settings document, as `velkor config --json` prints it.</summary>
        public string ConfigJson()
        {
            AppNative.ConfigRecord config = ConfigRecord();
            var json = new byte[8192];
            return Document(json, AppNative.velkor_app_config_json(ref config, json, new UIntPtr((uint)json.Length)));
        }

        private static string Document(byte[] json, int length)
        {
            if (length < 0 || length >= json.Length) throw new InvalidOperationException("the core's document did not fit");
            return System.Text.Encoding.UTF8.GetString(json, 0, length);
        }

        public string ModuleVersion()
        {
            var version = new byte[2];
            Run("GetModuleVersion", (ref byte a, ReaderHandle h) => Native.GetModuleVersion(ref a, version, h));
            return version[0] + "." + version[1];
        }

        /// <summary>Selects a region (1 to 5) with all its channels, or
        /// lowest to highest within its plan (ArgumentException otherwise,
        /// with nothing sent).  Region 5 travels as region 2 channels 26 to
        /// 44 and reads back as region 5.</summary>
        public void SetRegion(int region, int lowest = -1, int highest = -1)
        {
            if ((lowest < 0) != (highest < 0))
                throw new ArgumentOutOfRangeException("lowest", "a channel range needs both lowest and highest");
            Velkor.Check.InRange("region", region, 1, 5);
            if (lowest >= 0)
            {
                Velkor.Check.InRange("lowest", lowest, 0, 63);
                Velkor.Check.InRange("highest", highest, 0, 63);
            }
            RunCore("region", (IntPtr s, out AppNative.Error e) =>
                AppNative.velkor_app_set_region(s, region, lowest, highest, out e));
        }

        /// <summary>RF output power in dBm.</summary>
        public byte Power
        {
            get { return (byte)InfoRecord(false).PowerDbm; }
            set { RunCore("power", (IntPtr s, out AppNative.Error e) => AppNative.velkor_app_set_power(s, value, out e)); }
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

        private AppNative.ConfigRecord ConfigRecord()
        {
            AppNative.ConfigRecord config = default(AppNative.ConfigRecord);
            RunCore("parameters", (IntPtr s, out AppNative.Error e) =>
                AppNative.velkor_app_read_config(s, out config, out e));
            return config;
        }

        /// <summary>The work-mode parameters, as the core decodes them.</summary>
        public Config Config()
        {
            AppNative.ConfigRecord c = ConfigRecord();
            Mask selection = null;
            if (c.Mask.Length > 0)
            {
                if (c.Mask.Bank < 0 || c.Mask.Bank > 3)
                    throw new VelkorException(Statuses.Ok, "parameters", -1, "malformed reply: a mask in bank " + c.Mask.Bank);
                var data = new byte[c.Mask.Length];
                Array.Copy(c.Mask.Bytes, data, data.Length);
                selection = new Mask(data, (Bank)c.Mask.Bank, c.Mask.BitAddress, c.Mask.Bits);
            }
            return new Config
            {
                Mode = c.Mode, Interval = c.Interval, Response = new int[] { c.Response[0], c.Response[1] },
                TagType = c.TagType, EasSensitivity = c.EasSensitivity, Mask = selection, TriggerTime = c.TriggerTime,
                Tid = new int[] { c.Tid[0], c.Tid[1] }, WorkTime = new int[] { c.WorkTime[0], c.WorkTime[1] },
                ScanTimeMs = c.ScanTimeMs, Antenna = c.Antenna,
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
            get { return InfoRecord(false).Beep != 0; }
            set { RunCore("beep", (IntPtr s, out AppNative.Error e) => AppNative.velkor_app_set_beep(s, value ? 1 : 0, out e)); }
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
