using System;
using System.Collections.Generic;

namespace Velkor
{
    // Gen2 tags: inventory, memory, EPC, lock and kill, privacy, EAS, Monza QT.
    public sealed partial class Reader
    {
        private const int MaxInventory = 6000;
        // Request data bytes 0 and 1 of every inventory: VELKOR_INVENTORY_PARAM0/1 of velkor.h.
        internal const byte InventoryParam0 = 0x04, InventoryParam1 = 0x00;
        private const int ShortPointer = 0xFF;

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

        /// <summary>The Gen2 tags in the field (those mask matches, when
        /// given); an empty field is an empty list.</summary>
        public List<Tag> Inventory(Mask mask = null)
        {
            var t = new TargetArgs(mask);
            var records = new byte[MaxInventory];
            byte antenna = 0;
            int total = 0, count = 0;
            int status = Call("Inventory_G2", (ref byte a, ReaderHandle h) => Native.Inventory_G2(
                ref a, InventoryParam0, InventoryParam1, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, (byte)(mask != null ? 1 : 0),
                0, 0, 0, 0, 0, 0, 0, records, out antenna, out total, out count, h));
            if (status == Statuses.NoTag) return new List<Tag>();
            if (status < 0x01 || status > 0x04) throw new VelkorException(status, "Inventory_G2");
            return DecodeTags("Inventory_G2", status, records, total, antenna);
        }

        // Per tag one byte of EPC length, then the EPC.
        private static List<Tag> DecodeTags(string function, int status, byte[] records, int total, int antenna)
        {
            var tags = new List<Tag>();
            int end = Math.Max(0, Math.Min(total, records.Length));
            for (int i = 0; i < end; i += 1 + records[i])
            {
                if (i + 1 + records[i] > end)
                    throw new VelkorException(status, function, -1,
                        "malformed reply: tag record at byte " + i + " runs past the list's " + end + " bytes");
                tags.Add(new Tag(Hex.Format(records, i + 1, records[i]), antenna));
            }
            return tags;
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

        /// <summary>Writes data (1 to 32 whole words) to bank from wordPtr on.</summary>
        public void WriteWords(Target tag, Bank bank, int wordPtr, byte[] data, uint password = 0)
        {
            Velkor.Check.Defined("bank", bank);
            if (data == null || data.Length % 2 != 0)
                throw new ArgumentOutOfRangeException("data", "tag memory is written in whole words");
            byte words = (byte)Velkor.Check.InRange("data words", data.Length / 2, 1, 32);
            Velkor.Check.InRange("wordPtr", wordPtr, 0, 0xFFFF);
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            if (wordPtr > ShortPointer)
            {
                var pointer = new[] { (byte)(wordPtr >> 8), (byte)wordPtr };
                RunTag("ExtWriteData_G2", (ref byte a, ref int e, ReaderHandle h) => Native.ExtWriteData_G2(
                    ref a, t.Epc, words, t.Words, (byte)bank, pointer, data, pw, t.MaskBank, t.MaskAddress,
                    t.MaskBits, t.MaskData, ref e, h));
            }
            else
            {
                RunTag("WriteData_G2", (ref byte a, ref int e, ReaderHandle h) => Native.WriteData_G2(
                    ref a, t.Epc, words, t.Words, (byte)bank, (byte)wordPtr, data, pw, t.MaskBank,
                    t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
            }
        }

        /// <summary>Erases wordCount (1 to 255) words of bank from wordPtr (0 to 255) on.</summary>
        public void Erase(Target tag, Bank bank, int wordPtr, int wordCount, uint password = 0)
        {
            Velkor.Check.Defined("bank", bank);
            byte pointer = Velkor.Check.Byte("wordPtr", wordPtr);
            byte count = (byte)Velkor.Check.InRange("wordCount", wordCount, 1, 255);
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            RunTag("BlockErase_G2", (ref byte a, ref int e, ReaderHandle h) => Native.BlockErase_G2(
                ref a, t.Epc, t.Words, (byte)bank, pointer, count, pw, t.MaskBank, t.MaskAddress,
                t.MaskBits, t.MaskData, ref e, h));
        }

        /// <summary>Gives the tag in the field a new EPC (1 to 25 whole words).</summary>
        public void WriteEpc(byte[] epc, uint password = 0)
        {
            if (epc == null || epc.Length % 2 != 0 || epc.Length < 2 || epc.Length > 50)
                throw new ArgumentOutOfRangeException("epc", "a new EPC is 1 to 25 whole words");
            byte[] pw = Password(password);
            RunTag("WriteEPC_G2", (ref byte a, ref int e, ReaderHandle h) =>
                Native.WriteEPC_G2(ref a, pw, epc, (byte)(epc.Length / 2), ref e, h));
        }

        /// <summary>Locks or unlocks one field of the tag.</summary>
        public void Lock(Target tag, LockField field, LockAction action, uint password = 0)
        {
            Velkor.Check.Defined("field", field);
            Velkor.Check.Defined("action", action);
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            RunTag("Lock_G2", (ref byte a, ref int e, ReaderHandle h) => Native.Lock_G2(
                ref a, t.Epc, t.Words, (byte)field, (byte)action, pw, t.MaskBank, t.MaskAddress,
                t.MaskBits, t.MaskData, ref e, h));
        }

        /// <summary>The block lock with its parameter byte.</summary>
        public void BlockLock(Target tag, byte blockParam, uint password = 0)
        {
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            RunTag("BlockLock_G2", (ref byte a, ref int e, ReaderHandle h) => Native.BlockLock_G2(
                ref a, t.Epc, t.Words, pw, blockParam, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
        }

        /// <summary>Kills the tag for good with its non-zero kill password.</summary>
        public void Kill(Target tag, uint killPassword)
        {
            var t = new TargetArgs(tag);
            byte[] pw = Password(killPassword);
            RunTag("KillTag_G2", (ref byte a, ref int e, ReaderHandle h) => Native.KillTag_G2(
                ref a, t.Epc, t.Words, pw, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
        }

        /// <summary>Puts the named tag (Any: the first that answers) into privacy.</summary>
        public void SetPrivacy(Target tag, uint password = 0)
        {
            byte[] pw = Password(password);
            if (tag == null || tag == Target.Any)
            {
                RunTag("SetPrivacyWithoutEPC_G2", (ref byte a, ref int e, ReaderHandle h) =>
                    Native.SetPrivacyWithoutEPC_G2(ref a, pw, ref e, h));
                return;
            }
            var t = new TargetArgs(tag);
            RunTag("SetPrivacyByEPC_G2", (ref byte a, ref int e, ReaderHandle h) => Native.SetPrivacyByEPC_G2(
                ref a, t.Epc, t.Words, pw, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
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

        /// <summary>Sets or clears the tag's EAS bit.</summary>
        public void SetEas(Target tag, bool on, uint password = 0)
        {
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            RunTag("EASConfigure_G2", (ref byte a, ref int e, ReaderHandle h) => Native.EASConfigure_G2(
                ref a, t.Epc, t.Words, pw, (byte)(on ? 1 : 0), t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
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

        /// <summary>Writes the tag's Monza QT work parameter byte.</summary>
        public void SetMonzaQt(Target tag, byte value, uint password = 0)
        {
            var t = new TargetArgs(tag);
            byte[] pw = Password(password);
            RunTag("SetMonza4QTWorkParamter_G2", (ref byte a, ref int e, ReaderHandle h) => Native.SetMonza4QTWorkParamter_G2(
                ref a, t.Epc, t.Words, value, pw, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, ref e, h));
        }
    }
}
