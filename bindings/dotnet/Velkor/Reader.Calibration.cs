namespace Velkor
{
    // Calibration and self-test values, read only; their meaning is the reader's.
    public sealed partial class Reader
    {
        public byte Dac()
        {
            return GetByte("GetDAC", Native.GetDAC);
        }

        public byte CheckPowerParameter()
        {
            return GetByte("CheckPowerParameter", Native.CheckPowerParameter);
        }

        public byte[] StartInformation()
        {
            var b = new byte[9];
            Run("GetStartInformation", (ref byte a, ReaderHandle h) => Native.GetStartInformation(
                ref a, out b[0], out b[1], out b[2], out b[3], out b[4], out b[5], out b[6], out b[7], out b[8], h));
            return b;
        }

        /// <summary>The AD value request selects (a little-endian 16-bit number).</summary>
        public int AdValue(byte request)
        {
            var value = new byte[2];
            Run("GetADValue", (ref byte a, ReaderHandle h) => Native.GetADValue(ref a, request, value, h));
            return value[0] | value[1] << 8;
        }

        public byte[] AdjustmentParameters()
        {
            var block = new byte[148];
            Run("GetAdjustPara", (ref byte a, ReaderHandle h) => Native.GetAdjustPara(ref a, block, h));
            return block;
        }

        public byte[][] PowerCheck()
        {
            byte[] first = new byte[2], second = new byte[2];
            Run("GetCheckPWR", (ref byte a, ReaderHandle h) => Native.GetCheckPWR(ref a, first, second, h));
            return new[] { first, second };
        }

        public byte[] Qs()
        {
            var qs = new byte[2];
            Run("GetQS", (ref byte a, ReaderHandle h) => Native.GetQS(ref a, out qs[0], out qs[1], h));
            return qs;
        }
    }
}
