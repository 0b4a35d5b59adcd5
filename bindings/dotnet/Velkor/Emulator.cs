using System;
using System.Runtime.InteropServices;

namespace Velkor
{
    /// <summary>The reader emulator of libvelkor_emulator.so (Linux only), for
    /// tests and trying the binding without a reader.</summary>
    public static class Emulator
    {
        private const string Lib = "velkor_emulator";

        [DllImport(Lib)] private static extern int velkor_emulator_start(ulong seed, int gen2Tags, int iso6bTags);
        [DllImport(Lib)] private static extern int velkor_emulator_stop(int handle);
        [DllImport(Lib)] private static extern int velkor_emulator_disconnect(int handle);
        [DllImport(Lib)] private static extern int velkor_emulator_inject(int handle, int fault, int value);
        [DllImport(Lib)] private static extern int velkor_emulator_gen2_count(int handle);
        [DllImport(Lib)] private static extern int velkor_emulator_gen2_epc(int handle, int index, byte[] epc, int size);

        /// <summary>Faults the emulator applies to its next reply.</summary>
        public enum Fault { Status = 1, Echo = 2, CorruptCrc = 3, Silence = 4, EmptyReports = 5, StrayByte = 6 }

        /// <summary>A reader served by a new emulator whose tags are made from
        /// seed; the defaults are those of `velkor --emulate`.  Disposing it
        /// stops the emulator; Reconnect plugs in a fresh one, same seed.</summary>
        public static Reader Start(ulong seed = 1, int gen2Tags = 6, int iso6bTags = 2)
        {
            Check.InRange("gen2Tags", gen2Tags, 0, 1000);
            Check.InRange("iso6bTags", iso6bTags, 0, 1000);
            Func<ReaderHandle> start = () =>
            {
                int handle = velkor_emulator_start(seed, gen2Tags, iso6bTags);
                if (handle < 0) throw new InvalidOperationException("the emulator could not make its socket pair");
                return new ReaderHandle(new IntPtr(handle), h => velkor_emulator_stop(h.ToInt32()));
            };
            return new Reader(start(), 0xFF, start);
        }

        private static int Handle(Reader reader) { return reader.NativeHandle.ToInt32(); }

        /// <summary>Unplugs the emulated reader: every command fails from now on.</summary>
        public static void Disconnect(Reader reader) { velkor_emulator_disconnect(Handle(reader)); }

        /// <summary>Applies fault to the reply of the next command.</summary>
        public static void Inject(Reader reader, Fault fault, byte value = 0)
        {
            velkor_emulator_inject(Handle(reader), (int)fault, value);
        }

        /// <summary>The EPCs (hex) of the Gen2 tags in the field, killed ones included.</summary>
        public static string[] Gen2Epcs(Reader reader)
        {
            int handle = Handle(reader);
            var epcs = new string[Math.Max(0, velkor_emulator_gen2_count(handle))];
            var buffer = new byte[255];
            for (int i = 0; i < epcs.Length; ++i)
                epcs[i] = Hex.Format(buffer, 0, Math.Max(0, velkor_emulator_gen2_epc(handle, i, buffer, buffer.Length)));
            return epcs;
        }

        /// <summary>Whether an emulator still runs behind this handle value.</summary>
        public static bool Running(int handle) { return velkor_emulator_gen2_count(handle) >= 0; }
    }
}
