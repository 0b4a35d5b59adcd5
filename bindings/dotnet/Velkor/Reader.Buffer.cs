using System.Collections.Generic;

namespace Velkor
{
    // The reader's own tag buffer.
    public sealed partial class Reader
    {
        /// <summary>Inventories Gen2 tags (those mask matches) into the
        /// buffer; returns the tags it holds and those seen this round.</summary>
        public int[] BufferedInventory(Mask mask = null)
        {
            var t = new TargetArgs(mask);
            int held = 0, seen = 0;
            Run("InventoryBuffer_G2", (ref byte a, ReaderHandle h) => Native.InventoryBuffer_G2(
                ref a, InventoryParam0, InventoryParam1, t.MaskBank, t.MaskAddress, t.MaskBits, t.MaskData, (byte)(mask != null ? 1 : 0),
                0, 0, 0, 0, 0, 0, 0, out held, out seen, h));
            return new[] { held, seen };
        }

        /// <summary>The tags in the buffer (antenna 0: the buffer keeps none).</summary>
        public List<Tag> ReadBuffer()
        {
            var records = new byte[MaxInventory];
            int total = 0, count = 0;
            int status = Call("ReadBuffer_G2", (ref byte a, ReaderHandle h) =>
                Native.ReadBuffer_G2(ref a, out total, out count, records, h));
            if (status != Statuses.InventoryComplete) throw new VelkorException(status, "ReadBuffer_G2");
            return DecodeTags("ReadBuffer_G2", status, records, total, 0);
        }

        public int BufferCount()
        {
            int count = 0;
            Run("GetBufferCnt_G2", (ref byte a, ReaderHandle h) => Native.GetBufferCnt_G2(ref a, out count, h));
            return count;
        }

        public void ClearBuffer() { Run("ClearBuffer_G2", (ref byte a, ReaderHandle h) => Native.ClearBuffer_G2(ref a, h)); }

        /// <summary>How many EPC bytes the buffer keeps per tag.</summary>
        public byte SaveLen
        {
            get { return GetByte("GetSaveLen", Native.GetSaveLen); }
            set { SetByte("SetSaveLen", Native.SetSaveLen, value); }
        }
    }
}
