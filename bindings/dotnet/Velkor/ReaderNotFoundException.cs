namespace Velkor
{
    /// <summary>The reader asked for is not attached: none at all, or fewer
    /// than its index.  Status is what discovery returned (0x30); the message
    /// says what was found and what to check.  A VelkorException, so that a
    /// watch waits for the reader to come back.</summary>
    public sealed class ReaderNotFoundException : VelkorException
    {
        /// <summary>The index asked for.</summary>
        public int Index { get; private set; }
        /// <summary>How many readers are attached.</summary>
        public int Found { get; private set; }

        /// <summary>Reader index was asked for and found readers are attached.</summary>
        /// <param name="index">the index asked for.</param>
        /// <param name="found">the readers attached.</param>
        public ReaderNotFoundException(int index, int found)
            : base(Statuses.CommError, "GetDeviceList", Sentence(index, found))
        {
            Index = index;
            Found = found;
        }

        private static string Sentence(int index, int found)
        {
            if (found > 0)
                return string.Format("there is no reader {0}: {1} attached, counted from 0 (Reader.All() opens them)",
                                     index, found == 1 ? "1 reader is" : found + " readers are");
            // Only Linux has a udev rule to install.
            string access = Platform.IsWindows ? "" : ", and that the udev rule is installed (see README.md)";
            return "no reader found: check the USB cable" + access + ", or use the emulator: Emulator.Start()";
        }
    }
}
