// The one-truth document through the .NET binding: the seeded emulated
// reader's information and settings after region 5 and 20 dBm, and one
// inventory's tags, as one JSON document (tests/one_truth compares it).
using System;
using System.Collections.Generic;
using System.Linq;

namespace Velkor.Tests
{
    internal static class OneTruth
    {
        internal static string Document()
        {
            using (Reader reader = Emulator.Start(1, 6, 2))
            {
                reader.SetRegion(5);
                reader.Power = 20;
                ReaderInfo i = reader.Info();
                Config c = reader.Config();
                string info = Object(new Dictionary<string, string>
                {
                    { "serial", Text(i.Serial) }, { "firmware", Text(i.Firmware) }, { "gen2", Flag(i.Gen2) },
                    { "iso6b", Flag(i.Iso6B) }, { "region", Number(i.Region) }, { "lowest_channel", Number(i.LowestChannel) },
                    { "highest_channel", Number(i.HighestChannel) }, { "power_dbm", Number(i.Power) },
                    { "scan_time_ms", Number(i.ScanTimeMs) }, { "antenna", Number(i.Antenna) }, { "beep", Flag(i.Beep) },
                });
                string config = Object(new Dictionary<string, string>
                {
                    { "mode", Number(c.Mode) }, { "interval", Number(c.Interval) }, { "response", Numbers(c.Response) },
                    { "tag_type", Number(c.TagType) }, { "eas_sensitivity", Number(c.EasSensitivity) },
                    { "trigger_time", Number(c.TriggerTime) }, { "tid", Numbers(c.Tid) }, { "work_time", Numbers(c.WorkTime) },
                    { "scan_time_ms", Number(c.ScanTimeMs) }, { "antenna", Number(c.Antenna) },
                });
                string tags = "[" + string.Join(",", reader.Inventory().Select(t => Object(new Dictionary<string, string>
                {
                    { "epc", Text(t.Epc) }, { "antenna", Number(t.Antenna) },
                }))) + "]";
                return Object(new Dictionary<string, string> { { "info", info }, { "config", config }, { "tags", tags } });
            }
        }

        private static string Object(Dictionary<string, string> fields)
        {
            return "{" + string.Join(",", fields.Select(f => Text(f.Key) + ":" + f.Value)) + "}";
        }

        private static string Text(string value) { return "\"" + value.Replace("\\", "\\\\").Replace("\"", "\\\"") + "\""; }
        private static string Number(int value) { return value.ToString(System.Globalization.CultureInfo.InvariantCulture); }
        private static string Flag(bool value) { return value ? "true" : "false"; }
        private static string Numbers(int[] values) { return "[" + string.Join(",", values.Select(Number)) + "]"; }
    }
}
