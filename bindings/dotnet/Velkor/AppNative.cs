// The application core's C API (velkor_app.h, libvelkor_app), as P/Invoke
// declarations and the structures it fills.  What the core decides (record
// and information decoding, the one-tag rule, the watch, commissioning) the
// binding asks it; it decides none of that itself.
using System;
using System.Runtime.InteropServices;
using System.Text;

namespace Velkor
{
    internal static class AppNative
    {
        private const string Lib = "velkor_app";
        private const CallingConvention Call = CallingConvention.Cdecl;

        internal const int Ok = 0, Reader = 1, Link = 2, NoTag = 3, SeveralTags = 4, BadInput = 5,
                           FileError = 6, Busy = 7, Stopped = 8, NotFound = 9, Conflict = 10;

        [StructLayout(LayoutKind.Sequential)]
        internal struct Error
        {
            internal int Kind, Status, TagError, Tags;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 512)] internal byte[] Words;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 64)] internal byte[] Operation;

            internal string WordsText { get { return Text(Words); } }
            internal string OperationText { get { return Text(Operation); } }
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct TagRecord
        {
            internal uint Round;
            internal long UnixMs;
            internal int Antenna, EpcLength;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 255)] internal byte[] Epc;
            internal int TidLength;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 255)] internal byte[] Tid;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 192)] internal byte[] Uri;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct MaskRecord
        {
            internal int Bank, BitAddress, Bits, Length;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 32)] internal byte[] Bytes;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct TargetRecord
        {
            internal int EpcLength;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 62)] internal byte[] Epc;
            internal MaskRecord Mask;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 4)] internal byte[] Password;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct RegionRecord { internal int Region, Lowest, Highest; }

        [StructLayout(LayoutKind.Sequential)]
        internal struct InfoRecord
        {
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 12)] internal byte[] Block;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 4)] internal byte[] Serial;
            internal int FirmwareMajor, FirmwareMinor, Type, Gen2, Iso6B;
            internal RegionRecord Region, Packed;
            internal int PowerDbm, ScanTimeMs, Antenna, Beep, CommType;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct ConfigRecord
        {
            internal int Mode, Interval;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 2)] internal int[] Response;
            internal int TagType, EasSensitivity;
            internal MaskRecord Mask;
            internal int TriggerTime;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 2)] internal int[] Tid;
            [MarshalAs(UnmanagedType.ByValArray, SizeConst = 2)] internal int[] WorkTime;
            internal int ScanTimeMs, Antenna;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct Callbacks
        {
            internal IntPtr OnEvent, OnStage, Idle, User;
        }

        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate void EventCallback(IntPtr name, IntPtr json, IntPtr user);
        [UnmanagedFunctionPointer(CallingConvention.Cdecl)]
        internal delegate int StageCallback(int stage, uint taken, IntPtr user);

        [StructLayout(LayoutKind.Sequential)]
        internal struct WatchOptions
        {
            internal MaskRecord Mask;
            internal int Tid, Decode;
            internal uint Rounds;
            internal long DurationMs;
            internal int IntervalMs;
            internal long DepartAfterMs;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct WatchSummary
        {
            internal uint Rounds, Failed;
            internal int Stopped;
            internal long ElapsedMs;
            internal int Unique, Reads;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct CommissionOptions
        {
            internal IntPtr Gtin;
            internal int PrefixLength;
            internal ulong SerialFrom, Count;
            internal IntPtr PlanFile;
            internal int Filter;
            internal IntPtr Scheme, Journal, AccessPassword, Lock;
            internal int LockCount;
            internal long TimeoutMs;
            internal IntPtr Voids;
            internal int VoidCount;
        }

        [StructLayout(LayoutKind.Sequential)]
        internal struct CommissionSummary
        {
            internal int End;
            internal long Done, Total, ThisRun, ElapsedMs;
            internal int Interrupted;
        }

        [DllImport(Lib, CallingConvention = Call)] internal static extern IntPtr velkor_app_adopt(IntPtr handle, byte address);
        [DllImport(Lib, CallingConvention = Call)] internal static extern IntPtr velkor_app_address(IntPtr session);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_close(IntPtr session, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_inventory(IntPtr session, ref MaskRecord mask, int tid, int decode, IntPtr tags, int room, out int count, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_decode_records(byte[] list, int length, int tagCount, int tid, IntPtr tags, int room, out int count);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_settle(IntPtr session, ref TargetRecord target, string operation, out TargetRecord settled, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_write(IntPtr session, ref TargetRecord target, int bank, int pointer, byte[] data, int length, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_erase(IntPtr session, ref TargetRecord target, int bank, int pointer, int words, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_write_epc(IntPtr session, ref TargetRecord target, byte[] epc, int length, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_lock(IntPtr session, ref TargetRecord target, int field, int action, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_kill(IntPtr session, ref TargetRecord target, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_privacy(IntPtr session, ref TargetRecord target, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_eas(IntPtr session, ref TargetRecord target, int on, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_block_lock(IntPtr session, ref TargetRecord target, int block, out TargetRecord changed, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_read_info(IntPtr session, int withSerial, out InfoRecord info, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_read_config(IntPtr session, out ConfigRecord config, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_set_power(IntPtr session, int dbm, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_set_region(IntPtr session, int region, int lowest, int highest, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_set_beep(IntPtr session, int setting, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_info_json(ref InfoRecord info, int index, string path, int address, byte[] json, UIntPtr room);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_config_json(ref ConfigRecord config, byte[] json, UIntPtr room);
        [DllImport(Lib, CallingConvention = Call)] internal static extern IntPtr velkor_app_stop_new();
        [DllImport(Lib, CallingConvention = Call)] internal static extern void velkor_app_stop_request(IntPtr stop);
        [DllImport(Lib, CallingConvention = Call)] internal static extern void velkor_app_stop_free(IntPtr stop);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_watch(IntPtr session, ref WatchOptions options, ref Callbacks callbacks, IntPtr stop, out WatchSummary summary, out Error error);
        [DllImport(Lib, CallingConvention = Call)] internal static extern int velkor_app_commission(IntPtr session, ref CommissionOptions options, ref Callbacks callbacks, IntPtr stop, out CommissionSummary summary, out Error error);

        internal static string Text(byte[] text)
        {
            if (text == null) return "";
            int end = Array.IndexOf(text, (byte)0);
            return Encoding.UTF8.GetString(text, 0, end < 0 ? text.Length : end);
        }

        internal static string Utf8(IntPtr text)
        {
            if (text == IntPtr.Zero) return null;
            int length = 0;
            while (Marshal.ReadByte(text, length) != 0) ++length;
            var bytes = new byte[length];
            Marshal.Copy(text, bytes, 0, length);
            return Encoding.UTF8.GetString(bytes);
        }

        internal static MaskRecord NoMask()
        {
            return new MaskRecord { Bytes = new byte[32] };
        }

        internal static MaskRecord MaskOf(Mask mask)
        {
            MaskRecord record = NoMask();
            if (mask == null) return record;
            record.Bank = (int)mask.Bank;
            record.BitAddress = mask.BitAddress;
            record.Bits = mask.Bits;
            record.Length = mask.Data.Length;
            Array.Copy(mask.Data, record.Bytes, mask.Data.Length);
            return record;
        }

        internal static TargetRecord TargetOf(Target target, uint password)
        {
            var record = new TargetRecord
            {
                Epc = new byte[62], Mask = NoMask(),
                Password = new[] { (byte)(password >> 24), (byte)(password >> 16), (byte)(password >> 8), (byte)password },
            };
            if (target == null || target == Target.Any) return record;
            if (target.Mask != null)
            {
                record.Mask = MaskOf(target.Mask);
                return record;
            }
            record.EpcLength = target.Epc.Length;
            Array.Copy(target.Epc, record.Epc, target.Epc.Length);
            return record;
        }

        /// <summary>The tag an operation changed, as the core settled it.</summary>
        internal static Target Changed(TargetRecord record)
        {
            if (record.EpcLength > 0)
            {
                var epc = new byte[record.EpcLength];
                Array.Copy(record.Epc, epc, epc.Length);
                return Target.ByEpc(epc);
            }
            MaskRecord m = record.Mask;
            var data = new byte[m.Length];
            Array.Copy(m.Bytes, data, data.Length);
            return Target.ByMask(new Mask(data, (Bank)m.Bank, m.BitAddress, m.Bits));
        }

        /// <summary>The binding's exception for what the core reported.</summary>
        internal static Exception Failure(Error error)
        {
            string operation = error.OperationText, words = error.WordsText;
            switch (error.Kind)
            {
                case SeveralTags: return new SeveralTagsException(error.Tags, operation, words);
                case NoTag: return new VelkorException(Statuses.NoTag, operation);
                case Reader: return new VelkorException(error.Status, operation, error.TagError);
                case Link: return new VelkorException(error.Status != 0 ? error.Status : Statuses.CommError, operation);
                case BadInput: return new ArgumentException(operation + ": " + words);
                default: return new CoreException(error.Kind, operation, words);
            }
        }

        internal static void Check(int result, Error error)
        {
            if (result != Ok) throw Failure(error);
        }

        internal static readonly int TagRecordSize = Marshal.SizeOf(typeof(TagRecord));

        /// <summary>count tags of the core's array at tags.</summary>
        internal static TagRecord[] TagsAt(IntPtr tags, int count)
        {
            var records = new TagRecord[count];
            for (int i = 0; i < count; ++i)
                records[i] = (TagRecord)Marshal.PtrToStructure(new IntPtr(tags.ToInt64() + (long)i * TagRecordSize), typeof(TagRecord));
            return records;
        }

        internal static string EpcOf(TagRecord tag)
        {
            return Hex.Format(tag.Epc, 0, tag.EpcLength);
        }
    }
}
