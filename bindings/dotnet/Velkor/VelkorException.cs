using System;
using System.Runtime.InteropServices;

namespace Velkor
{
    /// <summary>A library call that did not succeed: Status is the code it
    /// returned, Text the status in the library's words (the velkor tool's),
    /// TagError the tag's error code after status 0xFC (else null), Function
    /// the C function.</summary>
    public class VelkorException : Exception
    {
        public int Status { get; private set; }
        public string Text { get; private set; }
        public int? TagError { get; private set; }
        public string Function { get; private set; }

        public VelkorException(int status, string function, int tagError = -1, string detail = null)
            : base(Describe(function, status, tagError, detail))
        {
            Status = status;
            Text = StatusText(status);
            Function = function;
            if (status == Statuses.TagError && tagError >= 0) TagError = tagError;
        }

        /// <summary>A failure whose whole message the caller words.</summary>
        /// <param name="status">what the C function returned.</param>
        /// <param name="function">the C function.</param>
        /// <param name="message">the message, a whole sentence.</param>
        protected VelkorException(int status, string function, string message) : base(message)
        {
            Status = status;
            Text = StatusText(status);
            Function = function;
        }

        /// <summary>What a status means ("no tag in the field").</summary>
        public static string StatusText(int status)
        {
            return Marshal.PtrToStringAnsi(Native.GetReturnCodeText(status));
        }

        /// <summary>What a tag error code means ("memory locked").</summary>
        public static string TagErrorText(int code)
        {
            return Marshal.PtrToStringAnsi(Native.GetTagErrorText(code));
        }

        /// <summary>"0xFB (no tag in the field)", with the tag error for
        /// 0xFC, as the velkor tool prints a status.</summary>
        public static string Describe(int status, int tagError = -1)
        {
            string text = string.Format("0x{0:X2} ({1}", status & 0xFF, StatusText(status));
            if (status == Statuses.TagError && tagError >= 0) text += ": " + TagErrorText(tagError);
            return text + ")";
        }

        private static string Describe(string function, int status, int tagError, string detail)
        {
            string text = function + " failed with " + Describe(status, tagError);
            return detail == null ? text : text + ": " + detail;
        }
    }

    /// <summary>The status codes the binding itself looks at.</summary>
    public static class Statuses
    {
        public const int Ok = 0x00;
        public const int InventoryComplete = 0x01;
        public const int CommError = 0x30;
        public const int CrcError = 0x31;
        public const int InvalidHandle = 0x37;
        public const int NoTag = 0xFB;
        public const int TagError = 0xFC;
        public const int CommandMismatch = 0xEE;
        public const int ParameterError = 0xFF;
    }
}
