using System;
using System.Runtime.InteropServices;

namespace Velkor
{
    /// <summary>A device handle from discovery (or an emulator): closed once,
    /// when the Reader is disposed or collected.</summary>
    public sealed class ReaderHandle : SafeHandle
    {
        private readonly Action<IntPtr> release;

        /// <summary>Takes ownership of handle; release closes it
        /// (CloseUSBPort when null).</summary>
        public ReaderHandle(IntPtr handle, Action<IntPtr> release = null)
            : base(new IntPtr(-1), true)
        {
            this.release = release;
            SetHandle(handle);
        }

        /// <summary>All bits set is the invalid-handle value.</summary>
        public override bool IsInvalid
        {
            get { return handle == new IntPtr(-1); }
        }

        protected override bool ReleaseHandle()
        {
            if (release != null)
                release(handle);
            else
                Native.CloseUSBPort(handle);
            return true;
        }
    }
}
