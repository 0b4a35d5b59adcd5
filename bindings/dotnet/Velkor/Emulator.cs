using System;
using System.Runtime.InteropServices;

namespace Velkor
{
    /// <summary>The reader emulator, for tests and for trying the binding
    /// without a reader: libvelkor_emulator.so on Linux, which serves a
    /// socket pair, and velkor_emulator.dll on Windows, which serves a named
    /// pipe.  Either way the reader it gives takes every call a reader on the
    /// USB port does.</summary>
    public static class Emulator
    {
        private const string Lib = "velkor_emulator";
        // The emulator exports its functions with the C calling convention.
        private const CallingConvention Call = CallingConvention.Cdecl;

        // velkor_emulator_start returns a VelkorHandle: a pointer-sized HANDLE
        // on Windows, an int descriptor elsewhere, whose upper half a
        // pointer-sized return value would leave undefined.  The handle
        // arguments are pointer-sized on both, as in Native.
        [DllImport(Lib, CallingConvention = Call, EntryPoint = "velkor_emulator_start")]
        private static extern IntPtr StartPipe(ulong seed, int gen2Tags, int iso6bTags);
        [DllImport(Lib, CallingConvention = Call, EntryPoint = "velkor_emulator_start")]
        private static extern int StartSocket(ulong seed, int gen2Tags, int iso6bTags);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_emulator_stop(IntPtr handle);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_emulator_disconnect(IntPtr handle);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_emulator_inject(IntPtr handle, int fault, int value);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_emulator_gen2_count(IntPtr handle);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_emulator_feed(IntPtr handle, int count);
        [DllImport(Lib, CallingConvention = Call)] private static extern int velkor_emulator_gen2_epc(IntPtr handle, int index, byte[] epc, int size);

        private static readonly IntPtr Invalid = new IntPtr(-1);

        /// <summary>Faults the emulator applies to its next reply (the
        /// VelkorEmulatorFault values of velkor_emulator.h).</summary>
        public enum Fault
        {
            Status = 1, Echo = 2, CorruptCrc = 3, Silence = 4, EmptyReports = 5, StrayByte = 6,
            LateReport = 7, ZeroPadding = 8, LengthMore = 9, LengthLess = 10, ZeroResidueReport = 11,
            StopReading = 12, RestAfterGiveUp = 13,
        }

        /// <summary>A reader served by a new emulator whose tags are made from
        /// seed; the defaults are those of `velkor --emulate`.  Disposing it
        /// stops the emulator; Reconnect plugs in a fresh one, same seed.</summary>
        /// <param name="seed">the population's seed: the same seed, the same tags.</param>
        /// <param name="gen2Tags">Gen2 tags in the field, 0 to 1000.</param>
        /// <param name="iso6bTags">ISO 18000-6B tags in the field, 0 to 1000.</param>
        /// <returns>the emulated reader.</returns>
        /// <exception cref="ArgumentOutOfRangeException">a count out of its range.</exception>
        /// <exception cref="InvalidOperationException">the emulator could not make its link.</exception>
        /// <exception cref="DllNotFoundException">the emulator library cannot be found.</exception>
        public static Reader Start(ulong seed = 1, int gen2Tags = 6, int iso6bTags = 2)
        {
            Check.InRange("gen2Tags", gen2Tags, 0, 1000);
            Check.InRange("iso6bTags", iso6bTags, 0, 1000);
            Func<ReaderHandle> start = () =>
            {
                IntPtr handle = Platform.IsWindows ? StartPipe(seed, gen2Tags, iso6bTags)
                                                   : new IntPtr(StartSocket(seed, gen2Tags, iso6bTags));
                if (handle == Invalid)
                    throw new InvalidOperationException("the emulator could not make its link to the host");
                return new ReaderHandle(handle, h => velkor_emulator_stop(h));
            };
            return new Reader(start(), 0xFF, start);
        }

        /// <summary>Queues count fresh Gen2 tags, placed on the reader one at a
        /// time: the next once the EPC of the last one placed has changed, as
        /// at an encoding station.</summary>
        /// <param name="reader">a reader from Start.</param>
        /// <param name="count">fresh tags, 0 to 1000.</param>
        /// <exception cref="ArgumentOutOfRangeException">count out of its range.</exception>
        public static void Feed(Reader reader, int count)
        {
            velkor_emulator_feed(reader.NativeHandle, Check.InRange("count", count, 0, 1000));
        }

        /// <summary>Unplugs the emulated reader: every command fails from now on.</summary>
        /// <param name="reader">a reader from Start.</param>
        public static void Disconnect(Reader reader) { velkor_emulator_disconnect(reader.NativeHandle); }

        /// <summary>Applies fault to the reply of the next command.</summary>
        /// <param name="reader">a reader from Start.</param>
        /// <param name="fault">the fault.</param>
        /// <param name="value">the fault's value (see velkor_emulator.h).</param>
        /// <exception cref="ArgumentOutOfRangeException">fault is no member of Fault.</exception>
        public static void Inject(Reader reader, Fault fault, byte value = 0)
        {
            velkor_emulator_inject(reader.NativeHandle, (int)Check.Defined("fault", fault), value);
        }

        /// <summary>The EPCs (hex) of the Gen2 tags in the field, killed ones included.</summary>
        /// <param name="reader">a reader from Start.</param>
        /// <returns>one EPC per tag; none for a reader the emulator does not serve.</returns>
        public static string[] Gen2Epcs(Reader reader)
        {
            IntPtr handle = reader.NativeHandle;
            var epcs = new string[Math.Max(0, velkor_emulator_gen2_count(handle))];
            var buffer = new byte[255];
            for (int i = 0; i < epcs.Length; ++i)
                epcs[i] = Hex.Format(buffer, 0, Math.Max(0, velkor_emulator_gen2_epc(handle, i, buffer, buffer.Length)));
            return epcs;
        }

        /// <summary>Whether an emulator still runs behind a handle.</summary>
        /// <param name="handle">a reader's NativeHandle.</param>
        /// <returns>true while an emulator serves it.</returns>
        public static bool Running(IntPtr handle) { return velkor_emulator_gen2_count(handle) >= 0; }
    }
}
