// The binding against the shipped library and the emulator library.
using System;
using System.Collections.Generic;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;

namespace Velkor.Tests
{
    internal static class ReaderTests
    {
        internal static IEnumerable<KeyValuePair<string, Action>> All()
        {
            var tests = new Dictionary<string, Action>
            {
                { "inventory finds the population, by mask too", Inventory },
                { "read, write and lock round trip", ReadWriteLock },
                { "failures raise VelkorException with their status", Failures },
                { "arguments are checked before anything is sent", Arguments },
                { "refusals say what is wrong in a sentence", Sentences },
                { "every P/Invoke declaration finds its entry point", EntryPoints },
                { "dispose closes the handle", DisposeCloses },
                { "the other families answer", OtherFamilies },
                { "watch carries on across an unplugged reader", WatchAcrossUnplug },
                { "the EPC codec decodes and encodes both ways", EpcCodec },
            };
            return tests;
        }

        private static void Inventory()
        {
            using (Reader reader = Emulator.Start(7))
            {
                List<Tag> tags = reader.Inventory();
                string[] epcs = Emulator.Gen2Epcs(reader);
                Assert.Equal(6, tags.Count, "tags of the default population");
                Assert.Equal(string.Join(",", epcs.OrderBy(e => e)),
                             string.Join(",", tags.Select(t => t.Epc).OrderBy(e => e)), "EPCs");
                List<Tag> masked = reader.Inventory(new Mask(tags[2].EpcBytes.Take(4).ToArray()));
                Assert.Equal(tags[2].Epc, masked.Single().Epc, "the one tag the mask matches");
            }
            using (Reader empty = Emulator.Start(7, 0))
                Assert.Equal(0, empty.Inventory().Count, "an empty field");
        }

        private static void ReadWriteLock()
        {
            using (Reader reader = Emulator.Start(7))
            {
                List<Tag> tags = reader.Inventory();
                Tag tag = tags[1];
                var data = new byte[] { 0xC0, 0xFF, 0xEE, 0x01 };
                foreach (Target target in new Target[] { tag, tag.Epc, new Mask(tag.EpcBytes) })
                {
                    reader.WriteWords(target, Bank.User, 2, data);
                    Assert.Equal(BitConverter.ToString(data),
                                 BitConverter.ToString(reader.ReadWords(target, Bank.User, 2, 2)), "words read back");
                    data[3]++;
                }
                Assert.Equal("00-00", BitConverter.ToString(reader.ReadWords(tags[2], Bank.User, 2, 1)), "another tag");
                reader.WriteWords(tag, Bank.Reserved, 2, new byte[] { 0xC0, 0xDE, 0xC0, 0xDE });
                reader.Lock(tag, LockField.User, LockAction.Lock, 0xC0DEC0DE);
                var error = Assert.Throws<VelkorException>(
                    () => reader.WriteWords(tag, Bank.User, 0, new byte[] { 1, 2 }), "a locked bank");
                Assert.Equal(0xFC, error.Status, "status");
                Assert.Equal((int?)0x04, error.TagError, "tag error");
                Assert.Equal("write", error.Function, "function (the core's operation)");
                reader.WriteWords(tag, Bank.User, 0, new byte[] { 1, 2 }, 0xC0DEC0DE);
            }
        }

        private static void Failures()
        {
            using (Reader reader = Emulator.Start(7))
            {
                foreach (int status in new[] { 0xFE, 0xFF, 0xFB })
                {
                    Emulator.Inject(reader, Emulator.Fault.Status, (byte)status);
                    var error = Assert.Throws<VelkorException>(() => reader.Info(), "an injected status");
                    Assert.Equal(status, error.Status, "status");
                    Assert.Equal(VelkorException.StatusText(status), error.Text, "text");
                    Assert.Equal("information", error.Function, "function (the core's operation)");
                }
                Emulator.Inject(reader, Emulator.Fault.Echo, 0x22);
                Assert.Equal(Statuses.CommandMismatch,
                             Assert.Throws<VelkorException>(() => reader.Dac(), "another command's reply").Status, "status");
                Emulator.Disconnect(reader);
                var lost = Assert.Throws<VelkorException>(() => reader.Inventory(), "an unplugged reader");
                Assert.Equal(Statuses.CommError, lost.Status, "status");
                Assert.Equal("no complete reply in time", lost.Text, "text");
            }
        }

        private static void Arguments()
        {
            using (Reader reader = Emulator.Start(7))
            {
                // (the argument the refusal names, the call)
                var cases = new List<Tuple<string, Action>>
                {
                    Tuple.Create<string, Action>("wordCount", () => reader.ReadWords(Target.Any, Bank.User, 0, 121)),
                    Tuple.Create<string, Action>("wordPtr", () => reader.ReadWords(Target.Any, Bank.User, 0x10000, 1)),
                    Tuple.Create<string, Action>("data", () => reader.WriteWords(Target.Any, Bank.User, 0, new byte[3])),
                    Tuple.Create<string, Action>("epc", () => Target.ByEpc(new byte[64])),
                    Tuple.Create<string, Action>("bits", () => new Mask(new byte[32])),
                    Tuple.Create<string, Action>("count", () => reader.Read6B(new byte[8], 0, 201)),
                    Tuple.Create<string, Action>("id", () => reader.Read6B(new byte[7], 0, 1)),
                    Tuple.Create<string, Action>("year", () => reader.Clock = new DateTime(1999, 1, 1)),
                    Tuple.Create<string, Action>("keyboard work parameter 1",
                        () => reader.KeyboardParameters = new byte[] { 5, 0, 0, 0, 0, 0 }),
                    Tuple.Create<string, Action>("index", () => Reader.Open(-1)),
                    // Enum arguments cast from numbers no member has.
                    Tuple.Create<string, Action>("bank", () => reader.ReadWords(Target.Any, (Bank)7, 0, 1)),
                    Tuple.Create<string, Action>("bank", () => reader.WriteWords(Target.Any, (Bank)7, 0, new byte[2])),
                    Tuple.Create<string, Action>("bank", () => reader.Erase(Target.Any, (Bank)7, 0, 1)),
                    Tuple.Create<string, Action>("bank", () => reader.Inventory(new Mask(new byte[] { 1 }, (Bank)4))),
                    Tuple.Create<string, Action>("field", () => reader.Lock(Target.Any, (LockField)5, LockAction.Lock)),
                    Tuple.Create<string, Action>("action", () => reader.Lock(Target.Any, LockField.User, (LockAction)4)),
                    Tuple.Create<string, Action>("mode", () => reader.SetWorkMode((WorkMode)4)),
                    Tuple.Create<string, Action>("type", () => reader.SelectTagType((TagType)2)),
                    Tuple.Create<string, Action>("condition", () => reader.Inventory6B((Condition)4)),
                    Tuple.Create<string, Action>("fault", () => Emulator.Inject(reader, (Emulator.Fault)99)),
                };
                foreach (var c in cases)
                {
                    // A status waits for the next command: still there afterwards, nothing was sent.
                    Emulator.Inject(reader, Emulator.Fault.Status, 0xFE);
                    var error = Assert.Throws<ArgumentOutOfRangeException>(c.Item2, c.Item1);
                    Assert.Equal(c.Item1, error.ParamName, "the argument named");
                    Assert.Equal(0xFE, Assert.Throws<VelkorException>(() => reader.Dac(), c.Item1 + ": the next command").Status,
                                 c.Item1 + ": nothing sent before the refusal");
                }
            }
        }

        private static void Sentences()
        {
            // (the call, the exception it throws, the first line of its message)
            var cases = new List<Tuple<Action, Type, string>>
            {
                Tuple.Create<Action, Type, string>(() => GC.KeepAlive((Target)"ABC"), typeof(ArgumentException),
                    "epc \"ABC\" is not whole bytes: it has 3 hex digits, an odd number"),
                Tuple.Create<Action, Type, string>(() => GC.KeepAlive((Target)"E2X0"), typeof(ArgumentException),
                    "epc \"E2X0\" is not hex text: 'X' is no hex digit"),
                Tuple.Create<Action, Type, string>(() => Epc.Decode("30 7"), typeof(EpcException),
                    "hex \"30 7\" is not whole bytes: it has 3 hex digits, an odd number"),
                Tuple.Create<Action, Type, string>(() => { throw new ReaderNotFoundException(0, 0); },
                    typeof(ReaderNotFoundException), "no reader found: check the USB cable, and that the udev rule " +
                    "is installed (see README.md), or use the emulator: Emulator.Start()"),
                Tuple.Create<Action, Type, string>(() => { throw new ReaderNotFoundException(2, 1); },
                    typeof(ReaderNotFoundException),
                    "there is no reader 2: 1 reader is attached, counted from 0 (Reader.All() opens them)"),
            };
            foreach (var c in cases)
            {
                Exception error = Assert.Throws<Exception>(c.Item1, c.Item3);
                Assert.Equal(c.Item2, error.GetType(), c.Item3);
                Assert.Equal(c.Item3, error.Message.Split('\n')[0], "the message");
            }
            // Fewer than a hundred readers are attached wherever the tests run.
            var missing = Assert.Throws<ReaderNotFoundException>(() => Reader.Open(99), "reader 99");
            Assert.Equal(Statuses.CommError, missing.Status, "the status discovery returned");
            Assert.True(missing.Message.StartsWith("there is no reader 99") || missing.Message.StartsWith("no reader found"),
                        "a sentence: " + missing.Message);
        }

        [DllImport("libc", SetLastError = true)] private static extern int socketpair(int domain, int type, int protocol, int[] fds);
        [DllImport("libc")] private static extern int fcntl(int fd, int command);
        [DllImport("libc")] private static extern int close(int fd);

        private static void DisposeCloses()
        {
            // A reader over a bare descriptor: Dispose closes it through the library.
            var fds = new int[2];
            Assert.Equal(0, socketpair(1 /* AF_UNIX */, 5 /* SOCK_SEQPACKET */, 0, fds), "socketpair");
            var bare = new Reader(new ReaderHandle(new IntPtr(fds[0])));
            Assert.True(fcntl(fds[0], 1 /* F_GETFD */) >= 0, "open before Dispose");
            bare.Dispose();
            Assert.Equal(-1, fcntl(fds[0], 1), "closed after Dispose");
            bare.Dispose();  // twice does nothing
            Assert.Equal(Statuses.InvalidHandle,
                         Assert.Throws<VelkorException>(() => bare.Info(), "a call after Dispose").Status, "status");
            close(fds[1]);

            // An emulated reader: Dispose stops the emulator behind it.
            Reader emulated = Emulator.Start(7);
            IntPtr handle = emulated.NativeHandle;
            Assert.True(Emulator.Running(handle), "running before Dispose");
            emulated.Dispose();
            Assert.True(!Emulator.Running(handle), "stopped after Dispose");
        }

        private static void OtherFamilies()
        {
            using (Reader r = Emulator.Start(7))
            {
                List<string> ids = r.Inventory6B();
                Assert.Equal(2, ids.Count, "6B tags");
                byte[] id = Enumerable.Range(0, 8).Select(i => Convert.ToByte(ids[0].Substring(2 * i, 2), 16)).ToArray();
                Assert.Equal(2, r.Write6B(id, 20, new byte[] { 7, 8 }), "6B bytes written");
                Assert.Equal("07-08", BitConverter.ToString(r.Read6B(id, 20, 2)), "6B read back");
                Assert.Equal(6, r.BufferedInventory()[0], "buffer holds");
                Assert.Equal(6, r.ReadBuffer().Count, "buffer read");
                r.ClearBuffer();
                Assert.Equal(0, r.BufferCount(), "buffer cleared");
                r.SetWorkMode(WorkMode.Auto);
                r.SetMask(new Mask(new byte[] { 0xAB, 0xC0 }, Bank.Tid, 16, 12));
                Config config = r.Config();
                Assert.Equal((int)WorkMode.Auto, config.Mode, "work mode");
                Assert.Equal(12, config.Mask.Bits, "mask bits");
                r.Clock = new DateTime(2031, 7, 14, 9, 26, 53);
                Assert.Equal(new DateTime(2031, 7, 14, 9, 26, 53), r.Clock, "clock");
                r.SetRegion(1, 3, 12);
                ReaderInfo info = r.Info();
                Assert.Equal("1 3 12", info.Region + " " + info.LowestChannel + " " + info.HighestChannel, "region");
                r.KeyboardParameters = new byte[] { 2, 9, 15, 1, 0, 200 };
                Assert.Equal("02-09-0F-01-00-C8", BitConverter.ToString(r.KeyboardParameters), "keyboard");
                r.RevDelay = 9;
                Assert.Equal(9, (int)r.RevDelay, "rev delay");
                Assert.Equal(128, (int)r.Dac(), "DAC");
                Assert.Equal(148, r.AdjustmentParameters().Length, "adjustment parameters");
                r.SetEas(r.Inventory()[0], true);
                Assert.True(r.EasAlarm(), "EAS alarm");
                Assert.Equal(15, Reader.Channels(4).Count, "channels of region 4");
            }
        }

        private static void WatchAcrossUnplug()
        {
            using (Reader reader = Emulator.Start(5, 3))
            {
                int lost = 0, back = 0;
                reader.ReaderLost += (s, e) => ++lost;
                reader.ReaderBack += (s, e) => ++back;
                var rounds = new List<int>();
                DateTime now = DateTime.UtcNow;  // the core's times are to the millisecond
                DateTime before = now.AddTicks(-(now.Ticks % TimeSpan.TicksPerMillisecond));
                foreach (Read read in reader.Watch(null, 3, TimeSpan.Zero, true, TimeSpan.FromMilliseconds(10)))
                {
                    Assert.Equal(DateTimeKind.Utc, read.Time.Kind, "reads are timed in UTC");
                    Assert.True(read.Time >= before && read.Time <= DateTime.UtcNow, "the time of the round");
                    rounds.Add(read.Round);
                    if (rounds.Count == 1) Emulator.Disconnect(reader);
                }
                Assert.Equal("1,1,1,2,2,2,3,3,3", string.Join(",", rounds), "rounds");
                Assert.Equal(1, lost, "lost once");
                Assert.Equal(1, back, "back once");
                Emulator.Disconnect(reader);
                Assert.Throws<VelkorException>(() => reader.Watch(null, 1, TimeSpan.Zero, false).ToList(), "raising instead");
            }
        }

        // Mono binds each declaration at its first call: Prelink binds them all now.
        private static void EntryPoints()
        {
            int bound = 0;
            foreach (Type type in typeof(Reader).Assembly.GetTypes())
                foreach (MethodInfo method in type.GetMethods(BindingFlags.Static | BindingFlags.Public |
                                                              BindingFlags.NonPublic | BindingFlags.DeclaredOnly))
                {
                    if ((method.Attributes & MethodAttributes.PinvokeImpl) == 0) continue;
                    Marshal.Prelink(method);
                    ++bound;
                }
            Assert.True(bound > 0, "no declaration found");
        }

        private static void EpcCodec()
        {
            const string hex = "3074257BF7194E4000001A85";
            var epc = Epc.Decode(hex);
            Assert.Equal("sgtin-96 3 0614141 812345 6789",
                         epc.Scheme + " " + epc.Filter + " " + epc.CompanyPrefix + " " + epc.Reference + " " + epc.Serial,
                         "fields");
            Assert.Equal("urn:epc:tag:sgtin-96:3.0614141.812345.6789", epc.TagUri, "tag URI");
            Assert.Equal("urn:epc:id:sgtin:0614141.812345.6789", epc.IdUri, "pure-identity URI");
            Assert.Equal("(01)80614141123458(21)6789", epc.Gs1, "GS1 element string");
            Assert.Equal(hex, Epc.Encode(epc.TagUri), "from the tag URI");
            Assert.Equal(hex, Epc.Encode(epc.IdUri, 3, 96), "from the pure-identity URI");
            Assert.Equal(hex, Epc.EncodeGs1(EpcKey.Gtin, "80614141123458", 7, "6789", 3), "from the GTIN");
            var bad = Assert.Throws<EpcException>(() => Epc.EncodeGs1(EpcKey.Gtin, "80614141123459", 7, "1"),
                                                  "a wrong check digit");
            Assert.True(bad.Message.Contains("check digit"), "the message names it: " + bad.Message);
            Assert.True(Assert.Throws<EpcException>(() => Epc.Decode("307C257BF7194E4000001A85"), "partition 7")
                            .Message.Contains("partition"), "the message names the partition");
        }
    }
}
