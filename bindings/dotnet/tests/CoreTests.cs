// The core under the binding: the one-tag rule on every tag-changing call,
// and commissioning ended at a stage and resumed.
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;

namespace Velkor.Tests
{
    internal static class CoreTests
    {
        internal static IEnumerable<KeyValuePair<string, Action>> All()
        {
            return new Dictionary<string, Action>
            {
                { "the one-tag rule holds on every tag-changing call", OneTagRule },
                { "commissioning ended at a stage resumes, each serial once", CommissionResumes },
                { "a voided serial is never issued", VoidedSerial },
            };
        }

        private const uint KillPassword = 0x5EC7E7;

        private static readonly KeyValuePair<string, Func<Reader, Target, Target>>[] Changes =
        {
            Change("WriteWords", (r, t) => r.WriteWords(t, Bank.User, 0, new byte[] { 0xC0, 0xFF, 0xEE, 0x01 })),
            Change("Erase", (r, t) => r.Erase(t, Bank.User, 8, 1)),
            Change("WriteEpc", (r, t) => r.WriteEpc(new byte[] { 0x12, 0x34, 0xAB, 0xCD }, 0, t)),
            Change("Lock", (r, t) => r.Lock(t, LockField.User, LockAction.Permalock)),
            Change("BlockLock", (r, t) => r.BlockLock(t, 0)),
            Change("Kill", (r, t) => r.Kill(t, KillPassword)),
            Change("SetPrivacy", (r, t) => r.SetPrivacy(t)),
            Change("SetEas", (r, t) => r.SetEas(t, true)),
            Change("SetMonzaQt", (r, t) => r.SetMonzaQt(t, 0x5A)),
        };

        private static KeyValuePair<string, Func<Reader, Target, Target>> Change(string name, Func<Reader, Target, Target> call)
        {
            return new KeyValuePair<string, Func<Reader, Target, Target>>(name, call);
        }

        private static Reader Field(int tags)
        {
            Reader reader = Emulator.Start(11, tags, 0);
            foreach (Tag tag in reader.Inventory())
                reader.WriteWords(tag, Bank.Reserved, 0, new byte[] { 0, 0x5E, 0xC7, 0xE7 });
            return reader;
        }

        // Every tag's banks, by its EPC: what the field holds.
        private static Dictionary<string, string> Memory(Reader reader)
        {
            var seen = new Dictionary<string, string>();
            foreach (Tag tag in reader.Inventory())
                seen[tag.Epc] = string.Join("/", new[] { Bank.Reserved, Bank.Epc, Bank.User }.Select(
                    bank => BitConverter.ToString(reader.ReadWords(tag, bank, 0, bank == Bank.User ? 16 : 8 - (bank == Bank.Reserved ? 4 : 0)))));
            return seen;
        }

        private static string Text(Dictionary<string, string> memory)
        {
            return string.Join(";", memory.OrderBy(p => p.Key).Select(p => p.Key + "=" + p.Value));
        }

        private static string EpcOf(Target target)
        {
            return target.EpcHex;
        }

        private static void OneTagRule()
        {
            using (Reader crowd = Field(6))
            {
                string before = Text(Memory(crowd));
                foreach (var change in Changes)
                {
                    var refused = Assert.Throws<SeveralTagsException>(() => change.Value(crowd, Target.Any), change.Key);
                    Assert.Equal(6, refused.Count, change.Key + ": how many answered");
                    Assert.True(refused.Message.EndsWith("6 tags in the field; name the one to change"), refused.Message);
                }
                Assert.Equal(before, Text(Memory(crowd)), "nothing changed");
                Assert.True(!crowd.EasAlarm() && !crowd.CheckPrivacy(), "no EAS bit, no privacy");
            }
            foreach (var change in Changes)
            {
                using (Reader reader = Field(6))
                {
                    Dictionary<string, string> before = Memory(reader);
                    string victim = before.Keys.OrderBy(k => k).ElementAt(2);
                    Target changed = change.Value(reader, victim);
                    Assert.Equal(victim, EpcOf(changed), change.Key + " returns the tag named");
                    Dictionary<string, string> after = Memory(reader);
                    foreach (var other in before.Where(p => p.Key != victim))
                        Assert.Equal(other.Value, after.ContainsKey(other.Key) ? after[other.Key] : null, change.Key + ": tag " + other.Key);
                }
                using (Reader lone = Field(1))
                {
                    string only = lone.Inventory()[0].Epc;
                    Assert.Equal(only, EpcOf(change.Value(lone, Target.Any)), change.Key + " changes the only tag");
                }
            }
            using (Reader empty = Field(0))
                foreach (var change in Changes)
                    Assert.Equal(Statuses.NoTag, Assert.Throws<VelkorException>(() => change.Value(empty, Target.Any), change.Key).Status,
                                 change.Key + ": no tag in the field");
        }

        private static void CommissionResumes()
        {
            string journal = Path.Combine(Path.GetTempPath(), "velkor-dotnet-" + Guid.NewGuid().ToString("N") + ".csv");
            try
            {
                using (Reader reader = Emulator.Start(1, 0, 0))
                {
                    Emulator.Feed(reader, 20);
                    var options = new CommissionOptions
                    {
                        Gtin = "80614141123458", PrefixLength = 7, SerialFrom = 1000, Count = 20, Journal = journal,
                    };
                    var killed = Assert.Throws<CoreException>(() => reader.Commission(options, null,
                        (stage, taken) => stage == CommissionStage.AfterWrite && taken == 7), "ended at a stage");
                    Assert.Equal(8, killed.Kind, "stopped");
                    Assert.Equal("stopped", killed.Summary.End, "summary");
                    var events = new List<string>();
                    Commissioned done = reader.Commission(options, (name, json) => events.Add(name));
                    Assert.Equal("complete 20 of 20, 0 interrupted",
                                 done.End + " " + done.Done + " of " + done.Total + ", " + done.Interrupted + " interrupted", "resumed");
                    Assert.True(events.Contains("interrupted"), "the cut write is reported");
                    string[][] lines = File.ReadAllLines(journal).Skip(1).Select(l => l.Split(',')).ToArray();
                    for (int serial = 1000; serial < 1020; ++serial)
                        Assert.Equal("writing,ok", string.Join(",", lines.Where(l => l[1] == serial.ToString()).Select(l => l[5])),
                                     "serial " + serial);
                    string issued = string.Join(",", lines.Where(l => l[5] == "ok").Select(l => l[2]).OrderBy(e => e));
                    Assert.Equal(issued, string.Join(",", Emulator.Gen2Epcs(reader).OrderBy(e => e)), "each tag holds one serial");
                }
            }
            finally
            {
                File.Delete(journal);
            }
        }

        private static void VoidedSerial()
        {
            string journal = Path.Combine(Path.GetTempPath(), "velkor-dotnet-" + Guid.NewGuid().ToString("N") + ".csv");
            try
            {
                using (Reader reader = Emulator.Start(1, 0, 0))
                {
                    Emulator.Feed(reader, 4);
                    var options = new CommissionOptions
                    {
                        Gtin = "80614141123458", PrefixLength = 7, SerialFrom = 1000, Count = 5, Journal = journal,
                        Voids = new[] { "1003" },
                    };
                    Commissioned done = reader.Commission(options);
                    Assert.Equal("complete 4", done.End + " " + done.Done, "four issued, one void");
                    string[][] lines = File.ReadAllLines(journal).Skip(1).Select(l => l.Split(',')).ToArray();
                    Assert.Equal("void", string.Join(",", lines.Where(l => l[1] == "1003").Select(l => l[5])), "serial 1003");
                    string voided = lines.First(l => l[1] == "1003")[2];
                    Assert.True(!Emulator.Gen2Epcs(reader).Contains(voided), "no tag holds the voided serial");
                }
            }
            finally
            {
                File.Delete(journal);
            }
        }
    }
}
