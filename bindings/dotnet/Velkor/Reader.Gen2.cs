using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;

namespace Velkor
{
    // Gen2 tags: inventory, memory, EPC, lock and kill, privacy, EAS, Monza QT.
    public sealed partial class Reader
    {
        // Request data bytes 0 and 1 of every inventory: VELKOR_INVENTORY_PARAM0/1 of velkor.h.
        internal const byte InventoryParam0 = 0x04, InventoryParam1 = 0x00;
        private const int ShortPointer = 0xFF;
        private const int MaxInventory = 6000;

        // The identifier and mask group of a tag command, as the C functions take them.
        private sealed class TargetArgs
        {
            internal byte[] Epc = new byte[1];
            internal byte Words;
            internal byte MaskBank;
            internal byte[] MaskAddress = new byte[2];
            internal byte MaskBits;
            internal byte[] MaskData = new byte[1];

            internal TargetArgs(Target target)
            {
                if (target == null || target == Target.Any) return;
                if (target.Mask != null)
                {
                    Words = 0xFF;  // the mask form
                    MaskBank = (byte)target.Mask.Bank;
                    MaskAddress = new[] { (byte)(target.Mask.BitAddress >> 8), (byte)target.Mask.BitAddress };
                    MaskBits = (byte)target.Mask.Bits;
                    MaskData = target.Mask.Data;
                    return;
                }
                Epc = target.Epc;
                Words = (byte)(target.Epc.Length / 2);
            }
        }

        private const int InventoryRoom = 2000;  // the most tags one identifier list holds

        /// <summary>The Gen2 tags in the field (those mask matches, when
        /// given), as the core's round decodes them; an empty field is an
        /// empty list.</summary>
        public List<Tag> Inventory(Mask mask = null)
        {
            AppNative.MaskRecord selection = AppNative.MaskOf(mask);
            IntPtr room = Marshal.AllocHGlobal(InventoryRoom * AppNative.TagRecordSize);
            try
            {
                int count = 0;
                RunCore("inventory", (IntPtr s, out AppNative.Error e) =>
                    AppNative.velkor_app_inventory(s, ref selection, 0, 0, room, InventoryRoom, out count, out e));
                var tags = new List<Tag>();
                foreach (AppNative.TagRecord r in AppNative.TagsAt(room, Math.Min(count, InventoryRoom)))
                    tags.Add(new Tag(AppNative.EpcOf(r), r.Antenna));
                return tags;
            }
            finally
            {
                Marshal.FreeHGlobal(room);
            }
        }

        // Per tag one byte of EPC length, then the EPC: the core's decoding.
        private static List<Tag> DecodeTags(string function, int status, byte[] records, int total, int antenna)
        {
            int end = Math.Max(0, Math.Min(total, records.Length));
            int room = Math.Max(1, end / 2);
            IntPtr array = Marshal.AllocHGlobal(room * AppNative.TagRecordSize);
            try
            {
                int count;
                int result = AppNative.velkor_app_decode_records(records, end, 0, 0, array, room, out count);
                if (result != AppNative.Ok)
                    throw new VelkorException(status, function, -1,
                        "malformed reply: a tag record runs past the list's " + end + " bytes");
                var tags = new List<Tag>();
                foreach (AppNative.TagRecord r in AppNative.TagsAt(array, Math.Min(count, room)))
                    tags.Add(new Tag(AppNative.EpcOf(r), antenna));
                return tags;
            }
            finally
            {
                Marshal.FreeHGlobal(array);
            }
        }

        // A core operation under the one-tag rule: the tag it changed.
        private delegate int Change(IntPtr session, ref AppNative.TargetRecord target,
                                    out AppNative.TargetRecord changed, out AppNative.Error error);

        private Target Changing(string operation, Target tag, uint password, Change change)
        {
            AppNative.TargetRecord target = AppNative.TargetOf(tag, password);
            AppNative.TargetRecord changed = default(AppNative.TargetRecord);
            RunCore(operation, (IntPtr s, out AppNative.Error e) => change(s, ref target, out changed, out e));
            return AppNative.Changed(changed);
        }

        // The one-tag rule, by the core, for a command it does not run.
        private Target Settle(string operation, Target tag, uint password)
        {
            return Changing(operation, tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) => AppNative.velkor_app_settle(s, ref t, operation, out c, out e));
        }

        /// <summary>Words of bank from wordPtr on (1 to 120 words, pointers to
        /// 65535), two bytes each.</summary>
        public byte[] ReadWords(Target tag, Bank bank, int wordPtr, int wordCount, uint password = 0)
        {
            Velkor.Check.Defined("bank", bank);
            Velkor.Check.InRange("wordPtr", wordPtr, 0, 0xFFFF);
            var data = new byte[2 * Velkor.Check.InRange("wordCount", wordCount, 1, 120)];
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            if (wordPtr > ShortPointer)
            {
                var pointer = new[] { (byte)(wordPtr >> 8), (byte)wordPtr };
                RunTag("ExtReadData_G2", (ref byte a, ref int e, ReaderHandle h) => Native.ExtReadData_G2(
                    ref a, t.Epc, t.Words, (byte)bank, pointer, (byte)wordCount, pw, t.MaskBank,
                    t.MaskAddress, t.MaskBits, t.MaskData, data, ref e, h));
            }
            else
            {
                RunTag("ReadData_G2", (ref byte a, ref int e, ReaderHandle h) => Native.ReadData_G2(
                    ref a, t.Epc, t.Words, (byte)bank, (byte)wordPtr, (byte)wordCount, pw, t.MaskBank,
                    t.MaskAddress, t.MaskBits, t.MaskData, data, ref e, h));
            }
            return data;
        }

        /// <summary>Writes data (1 to 32 whole words) to bank from wordPtr
        /// on, under the one-tag rule: the tag named, else the only one in the
        /// field (SeveralTagsException, with nothing written, when several
        /// answer).  Returns the tag written.</summary>
        public Target WriteWords(Target tag, Bank bank, int wordPtr, byte[] data, uint password = 0)
        {
            Velkor.Check.Defined("bank", bank);
            if (data == null || data.Length % 2 != 0)
                throw new ArgumentOutOfRangeException("data", "tag memory is written in whole words");
            Velkor.Check.InRange("data words", data.Length / 2, 1, 32);
            Velkor.Check.InRange("wordPtr", wordPtr, 0, 0xFFFF);
            return Changing("write", tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) =>
                AppNative.velkor_app_write(s, ref t, (int)bank, wordPtr, data, data.Length, out c, out e));
        }

        /// <summary>Erases wordCount (1 to 255) words of bank from wordPtr (0
        /// to 255) on, under the one-tag rule; returns the tag erased.</summary>
        public Target Erase(Target tag, Bank bank, int wordPtr, int wordCount, uint password = 0)
        {
            Velkor.Check.Defined("bank", bank);
            byte pointer = Velkor.Check.Byte("wordPtr", wordPtr);
            byte count = (byte)Velkor.Check.InRange("wordCount", wordCount, 1, 255);
            return Changing("erase", tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) =>
                AppNative.velkor_app_erase(s, ref t, (int)bank, pointer, count, out c, out e));
        }

        /// <summary>Gives a tag a new EPC (1 to 25 whole words): the tag named,
        /// else the only one in the field.  Returns the tag as it was named
        /// before.</summary>
        public Target WriteEpc(byte[] epc, uint password = 0, Target tag = null)
        {
            if (epc == null || epc.Length % 2 != 0 || epc.Length < 2 || epc.Length > 50)
                throw new ArgumentOutOfRangeException("epc", "a new EPC is 1 to 25 whole words");
            return Changing("write epc", tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) =>
                AppNative.velkor_app_write_epc(s, ref t, epc, epc.Length, out c, out e));
        }

        /// <summary>Locks or unlocks one field of the tag, under the one-tag
        /// rule; returns the tag locked.</summary>
        public Target Lock(Target tag, LockField field, LockAction action, uint password = 0)
        {
            Velkor.Check.Defined("field", field);
            Velkor.Check.Defined("action", action);
            return Changing("lock", tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) =>
                AppNative.velkor_app_lock(s, ref t, (int)field, (int)action, out c, out e));
        }

        /// <summary>The block lock with its parameter byte, under the one-tag
        /// rule; returns the tag.</summary>
        public Target BlockLock(Target tag, byte blockParam, uint password = 0)
        {
            return Changing("block lock", tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) =>
                AppNative.velkor_app_block_lock(s, ref t, blockParam, out c, out e));
        }

        /// <summary>Kills the tag for good with its non-zero kill password,
        /// under the one-tag rule; returns the tag killed.</summary>
        public Target Kill(Target tag, uint killPassword)
        {
            return Changing("kill", tag, killPassword, AppNative.velkor_app_kill);
        }

        /// <summary>Puts the named tag (Any: the only one in the field) into
        /// privacy; returns the tag.</summary>
        public Target SetPrivacy(Target tag, uint password = 0)
        {
            return Changing("privacy", tag, password, AppNative.velkor_app_privacy);
        }

        /// <summary>Takes the tags the password opens out of privacy.</summary>
        public void ResetPrivacy(uint password = 0)
        {
            byte[] pw = Password(password);
            RunTag("ResetPrivacy_G2", (ref byte a, ref int e, ReaderHandle h) => Native.ResetPrivacy_G2(ref a, pw, ref e, h));
        }

        /// <summary>Whether a tag in the field is in privacy.</summary>
        public bool CheckPrivacy()
        {
            byte state = 0;
            RunTag("CheckPrivacy_G2", (ref byte a, ref int e, ReaderHandle h) => Native.CheckPrivacy_G2(ref a, out state, ref e, h));
            return state != 0;
        }

        /// <summary>Sets or clears the tag's EAS bit, under the one-tag rule;
        /// returns the tag.</summary>
        public Target SetEas(Target tag, bool on, uint password = 0)
        {
            return Changing("eas", tag, password, (IntPtr s, ref AppNative.TargetRecord t,
                out AppNative.TargetRecord c, out AppNative.Error e) =>
                AppNative.velkor_app_eas(s, ref t, on ? 1 : 0, out c, out e));
        }

        /// <summary>Whether a tag with its EAS bit set is in the field.</summary>
        public bool EasAlarm()
        {
            int error = -1;
            int status = Call("EASAlarm_G2", (ref byte a, ReaderHandle h) => Native.EASAlarm_G2(ref a, ref error, h));
            if (status == Statuses.NoTag) return false;  // the reader's "no alarm"
            Check(status, "EASAlarm_G2", error);
            return true;
        }

        /// <summary>The tag's Monza QT work parameter byte.</summary>
        public byte MonzaQt(Target tag, uint password = 0)
        {
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            byte value = 0;
            RunTag("GetMonza4QTWorkParamter_G2", (ref byte a, ref int e, ReaderHandle h) => Native.GetMonza4QTWorkParamter_G2(
                ref a, t.Epc, t.Words, pw, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, out value, ref e, h));
            return value;
        }

        /// <summary>Writes the tag's Monza QT work parameter byte, under the
        /// one-tag rule; returns the tag.</summary>
        public Target SetMonzaQt(Target tag, byte value, uint password = 0)
        {
            Target settled = Settle("Monza QT", tag, password);
            var t = new TargetArgs(settled);
            byte[] pw = Password(password);
            RunTag("SetMonza4QTWorkParamter_G2", (ref byte a, ref int e, ReaderHandle h) => Native.SetMonza4QTWorkParamter_G2(
                ref a, t.Epc, t.Words, value, pw, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
            return settled;
        }
    }
}
