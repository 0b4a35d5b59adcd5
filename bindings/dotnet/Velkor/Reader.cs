using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;

namespace Velkor
{
    /// <summary>One open reader.  Dispose it (or use it in a using block) to
    /// close its handle; an undisposed Reader's handle is closed when it is
    /// collected.  Calls on one Reader from several threads take turns, as the
    /// library requires for one handle.  Every method throws
    /// ArgumentOutOfRangeException for an argument out of its range, before
    /// anything is sent, and VelkorException for every failure that comes from
    /// the reader or the link.</summary>
    public sealed partial class Reader : IDisposable
    {
        private const int MaxDevices = 100;
        private const int MaxChannels = 51;
        private ReaderHandle handle;
        private readonly Func<ReaderHandle> reopen;
        private readonly object turn = new object();
        private byte address;
        private IntPtr session;  // the core's session over the handle, made at its first use

        /// <summary>A reader over handle; reopen, when given, opens it again
        /// for Reconnect.</summary>
        public Reader(ReaderHandle handle, byte address = 0xFF, Func<ReaderHandle> reopen = null)
        {
            if (handle == null) throw new ArgumentNullException("handle");
            this.handle = handle;
            this.address = address;
            this.reopen = reopen;
        }

        private void LetGo()
        {
            if (session == IntPtr.Zero) return;
            AppNative.Error unused;  // an adopted session keeps no state file to fail on
            AppNative.velkor_app_close(session, out unused);
            session = IntPtr.Zero;
        }

        // Runs one function of the core on the session, under the turn lock;
        // the core and the direct calls share the address byte.
        internal delegate int CoreCommand(IntPtr session, out AppNative.Error error);

        internal void RunCore(string operation, CoreCommand command)
        {
            lock (turn)
            {
                if (handle.IsClosed) throw new VelkorException(Statuses.InvalidHandle, operation);
                // The direct commands need no core: the session comes when one is run.
                if (session == IntPtr.Zero)
                {
                    // The core needs the reader library and the codec: loaded
                    // first from where the config says, the core's needs are met.
                    Native.GetReturnCodeText(0);
                    Epc.Load();
                    session = AppNative.velkor_app_adopt(handle.DangerousGetHandle(), address);
                    if (session == IntPtr.Zero) throw new OutOfMemoryException("no memory for the core's session");
                }
                IntPtr shared = AppNative.velkor_app_address(session);
                Marshal.WriteByte(shared, address);
                AppNative.Error error;
                int result;
                try
                {
                    result = command(session, out error);
                }
                finally
                {
                    address = Marshal.ReadByte(shared);
                }
                AppNative.Check(result, error);
            }
        }

        /// <summary>Every reader attached, each opened and greeted; an empty
        /// list when none is.</summary>
        public static List<Reader> All()
        {
            var readers = new List<Reader>();
            IntPtr[] handles = OpenAll();
            for (int i = 0; i < handles.Length; ++i)
                readers.Add(new Reader(new ReaderHandle(handles[i]), 0xFF, Opener(i)));
            return readers;
        }

        /// <summary>Reader index of those attached (as `velkor --device`).</summary>
        /// <param name="index">the reader, counted from 0.</param>
        /// <returns>the reader, open.</returns>
        /// <exception cref="ArgumentOutOfRangeException">index outside 0 to 99.</exception>
        /// <exception cref="ReaderNotFoundException">no reader index is attached.</exception>
        public static Reader Open(int index = 0)
        {
            Func<ReaderHandle> opener = Opener(Velkor.Check.InRange("index", index, 0, MaxDevices - 1));
            return new Reader(opener(), 0xFF, opener);
        }

        private static IntPtr[] OpenAll()
        {
            // The library fills an array of HANDLEs on Windows, of ints elsewhere.
            int size = Platform.IsWindows ? IntPtr.Size : 4;
            IntPtr room = Marshal.AllocHGlobal(size * MaxDevices);
            try
            {
                int count;
                int status = Native.GetDeviceList(room, out count);
                if (status == Statuses.CommError) return new IntPtr[0];  // also "none found"
                Reader.Check(status, "GetDeviceList");
                var handles = new IntPtr[Math.Max(0, Math.Min(count, MaxDevices))];
                for (int i = 0; i < handles.Length; ++i)
                    handles[i] = size == 4 ? new IntPtr(Marshal.ReadInt32(room, 4 * i))
                                           : Marshal.ReadIntPtr(room, size * i);
                return handles;
            }
            finally
            {
                Marshal.FreeHGlobal(room);
            }
        }

        private static Func<ReaderHandle> Opener(int index)
        {
            return () =>
            {
                IntPtr[] handles = OpenAll();
                for (int i = 0; i < handles.Length; ++i)
                    if (i != index) Native.CloseUSBPort(handles[i]);
                if (index >= handles.Length) throw new ReaderNotFoundException(index, handles.Length);
                return new ReaderHandle(handles[index]);
            };
        }

        /// <summary>The library's version, "major.minor.patch".</summary>
        public static string SdkVersion()
        {
            var version = new byte[3];
            Check(Native.GetSDKVersion(version), "GetSDKVersion");
            return version[0] + "." + version[1] + "." + version[2];
        }

        /// <summary>A region's channel texts ("920.125 MHz", ...); empty for a
        /// region without a plan.</summary>
        public static List<string> Channels(int region)
        {
            var texts = new IntPtr[MaxChannels];
            Native.GetChannelList(region, texts);
            var channels = new List<string>();
            try
            {
                foreach (IntPtr text in texts)
                {
                    if (text == IntPtr.Zero) break;
                    channels.Add(Marshal.PtrToStringAnsi(text));
                }
            }
            finally
            {
                Native.FreeChannelList(texts);
            }
            return channels;
        }

        /// <summary>The reader address the commands are sent to.</summary>
        public byte Address { get { return address; } set { address = value; } }

        public bool IsClosed { get { return disposed; } }

        /// <summary>The raw device handle (for the emulator and diagnostics).</summary>
        public IntPtr NativeHandle { get { return handle.DangerousGetHandle(); } }

        /// <summary>Closes the handle; disposing twice does nothing.</summary>
        public void Dispose()
        {
            CancelWatch();
            lock (turn)
            {
                disposed = true;
                LetGo();
                handle.Dispose();
            }
        }

        /// <summary>Lets go of the handle and opens the reader again;
        /// VelkorException while it is not back, or when it cannot be reopened
        /// (a disposed reader, or one made from a bare handle).</summary>
        public void Reconnect()
        {
            lock (turn)
            {
                if (!CanReconnect)
                    throw new VelkorException(Statuses.InvalidHandle, "Reconnect");
                LetGo();
                handle.Dispose();
                handle = reopen();
            }
        }

        private bool disposed;

        /// <summary>Whether Reconnect can open this reader again.</summary>
        public bool CanReconnect { get { return reopen != null && !disposed; } }

        internal static void Check(int status, string function, int tagError = -1)
        {
            if (status != Statuses.Ok) throw new VelkorException(status, function, tagError);
        }

        // Runs one C function with the address and handle, under the turn lock.
        private delegate int Command(ref byte address, ReaderHandle handle);

        private int Call(string function, Command command)
        {
            lock (turn)
            {
                if (handle.IsClosed) throw new VelkorException(Statuses.InvalidHandle, function);
                return command(ref address, handle);
            }
        }

        private void Run(string function, Command command) { Check(Call(function, command), function); }

        // A tag command: the tag error code is the second thing checked.
        private delegate int TagCommand(ref byte address, ref int errorCode, ReaderHandle handle);

        private void RunTag(string function, TagCommand command)
        {
            int error = -1;
            int status = Call(function, (ref byte a, ReaderHandle h) => command(ref a, ref error, h));
            Check(status, function, error);
        }

        // The one-byte getters and setters, by their C function.
        private delegate int ByteGetter(ref byte address, out byte value, ReaderHandle handle);
        private delegate int ByteSetter(ref byte address, byte value, ReaderHandle handle);

        private byte GetByte(string function, ByteGetter getter)
        {
            byte value = 0;
            Run(function, (ref byte a, ReaderHandle h) => getter(ref a, out value, h));
            return value;
        }

        private void SetByte(string function, ByteSetter setter, byte value)
        {
            Run(function, (ref byte a, ReaderHandle h) => setter(ref a, value, h));
        }

        private static byte[] Password(uint password)
        {
            return new[] { (byte)(password >> 24), (byte)(password >> 16), (byte)(password >> 8), (byte)password };
        }
    }
}
