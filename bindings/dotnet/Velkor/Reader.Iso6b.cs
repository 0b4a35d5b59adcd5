using System;
using System.Collections.Generic;

namespace Velkor
{
    // ISO 18000-6B tags, named by their 8-byte identifier.
    public sealed partial class Reader
    {
        private static byte[] Id6B(byte[] id)
        {
            if (id == null || id.Length != 8)
                throw new ArgumentOutOfRangeException("id", "a 6B identifier is 8 bytes");
            return id;
        }

        /// <summary>The identifiers (hex) of the 6B tags whose bytes from start
        /// on compare as condition with data, for the bytes byteMask selects
        /// (0: every tag).</summary>
        public List<string> Inventory6B(Condition condition = Condition.Eq, byte start = 0, byte byteMask = 0,
                                        byte[] data = null)
        {
            Velkor.Check.Defined("condition", condition);
            byte[] compared = data ?? new byte[8];
            if (compared.Length != 8) throw new ArgumentOutOfRangeException("data", "the compared data is 8 bytes");
            var list = new byte[248];
            byte antenna = 0;
            int count = 0;
            int status = Call("InventoryMultiple_6B", (ref byte a, ReaderHandle h) => Native.InventoryMultiple_6B(
                ref a, (byte)condition, start, byteMask, compared, out antenna, list, out count, h));
            var ids = new List<string>();
            if (status == Statuses.NoTag) return ids;
            Check(status, "InventoryMultiple_6B");
            for (int i = 0; i < Math.Max(0, Math.Min(count, list.Length / 8)); ++i)
                ids.Add(Hex.Format(list, 8 * i, 8));
            return ids;
        }

        /// <summary>count (1 to 200) bytes of the tag's memory from start on.</summary>
        public byte[] Read6B(byte[] id, byte start, int count)
        {
            var data = new byte[Velkor.Check.InRange("count", count, 1, 200)];
            Id6B(id);
            RunTag("ReadData_6B", (ref byte a, ref int e, ReaderHandle h) =>
                Native.ReadData_6B(ref a, id, start, (byte)count, data, ref e, h));
            return data;
        }

        /// <summary>Writes data (1 to 48 bytes) from start on; returns the bytes written.</summary>
        public int Write6B(byte[] id, byte start, byte[] data)
        {
            if (data == null) throw new ArgumentNullException("data");
            Velkor.Check.InRange("data length", data.Length, 1, 48);
            Id6B(id);
            byte written = 0;
            RunTag("WriteData_6B", (ref byte a, ref int e, ReaderHandle h) =>
                Native.WriteData_6B(ref a, id, start, data, (byte)data.Length, out written, ref e, h));
            return written;
        }

        /// <summary>Locks the byte at byteAddress for good.</summary>
        public void Lock6B(byte[] id, byte byteAddress)
        {
            Id6B(id);
            RunTag("Lock_6B", (ref byte a, ref int e, ReaderHandle h) => Native.Lock_6B(ref a, id, byteAddress, ref e, h));
        }

        /// <summary>Whether the byte at byteAddress is locked.</summary>
        public bool IsLocked6B(byte[] id, byte byteAddress)
        {
            Id6B(id);
            byte state = 0;
            RunTag("CheckLock_6B", (ref byte a, ref int e, ReaderHandle h) =>
                Native.CheckLock_6B(ref a, id, byteAddress, out state, ref e, h));
            return state != 0;
        }
    }
}
