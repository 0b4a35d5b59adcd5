using System;

namespace Velkor
{
    /// <summary>What the binding must know of the operating system: the
    /// library's device handle is a HANDLE on Windows and an int descriptor
    /// elsewhere.</summary>
    internal static class Platform
    {
        internal static readonly bool IsWindows = Environment.OSVersion.Platform == PlatformID.Win32NT;
    }
}
