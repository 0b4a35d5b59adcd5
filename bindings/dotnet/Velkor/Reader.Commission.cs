using System;
using System.Collections.Generic;
using System.Runtime.InteropServices;
using System.Text;

namespace Velkor
{
    /// <summary>The points of one tag's commissioning that the stage callback sees.</summary>
    public enum CommissionStage
    {
        /// <summary>"writing" is in the journal, the tag untouched.</summary>
        BeforeWrite = 0,
        /// <summary>The EPC is on the tag, not read back.</summary>
        AfterWrite = 1,
        /// <summary>Done, locks and all; the outcome not yet logged.</summary>
        BeforeOutcome = 2,
    }

    /// <summary>What a commissioning run issues and how (as `velkor commission` takes it).</summary>
    public sealed class CommissionOptions
    {
        /// <summary>The GTIN of the serial range (or PlanFile instead).</summary>
        public string Gtin;
        /// <summary>Digits of the GTIN's company prefix.</summary>
        public int PrefixLength;
        /// <summary>The first serial and how many.</summary>
        public ulong SerialFrom, Count;
        /// <summary>A file of tag URIs or hex EPCs instead of Gtin.</summary>
        public string PlanFile;
        /// <summary>The filter value, 0 to 7.</summary>
        public int Filter;
        /// <summary>"sgtin-96", ...; null: the smallest that holds each identity.</summary>
        public string Scheme;
        /// <summary>The log's path, kept as a journal; null: in memory only.</summary>
        public string Journal;
        /// <summary>The access password set on each tag, or null.</summary>
        public uint? AccessPassword;
        /// <summary>The fields locked with it.</summary>
        public LockField[] Lock = new LockField[0];
        /// <summary>How long to wait for each next tag; zero: look once.</summary>
        public TimeSpan Timeout;
        /// <summary>Serials whose tags are lost, closed out first.</summary>
        public string[] Voids = new string[0];
    }

    /// <summary>How a commissioning run ended: End is "complete", "no tag
    /// came", "stopped" or "failed"; Done of Total identities are used
    /// (ThisRun in this run); Interrupted counts writes still cut short.</summary>
    public sealed class Commissioned
    {
        public string End;
        public long Done, Total, ThisRun, ElapsedMs;
        public int Interrupted;
    }

    // Commissioning on the core's engine: journal, resume, void.
    public sealed partial class Reader
    {
        private static readonly string[] Ends = { "complete", "no tag came", "stopped", "failed" };

        /// <summary>Commissions the tags placed on the reader one at a time,
        /// every step in the journal first; a rerun on the same journal
        /// resumes and never issues a serial twice.  onEvent gets each
        /// event's name and JSON document, onStage each stage of the n-th tag
        /// (true ends the run there at once, as a crash would); neither may
        /// use the reader.  Returns how a complete run ended; throws
        /// ArgumentException (a plan or journal that cannot be used),
        /// VelkorException (0xFB: no tag came; the reader's failure),
        /// CoreException (Kind 8: stopped; its Summary says how far the run
        /// got).</summary>
        public Commissioned Commission(CommissionOptions options, Action<string, string> onEvent = null,
                                       Func<CommissionStage, uint, bool> onStage = null)
        {
            if (options == null) throw new ArgumentNullException("options");
            if ((options.Gtin == null) == (options.PlanFile == null))
                throw new ArgumentException("commission takes a Gtin or a PlanFile", "options");
            var memory = new List<IntPtr>();
            Func<string, IntPtr> text = value =>
            {
                if (value == null) return IntPtr.Zero;
                byte[] bytes = Encoding.UTF8.GetBytes(value + "\0");
                IntPtr at = Marshal.AllocHGlobal(bytes.Length);
                Marshal.Copy(bytes, 0, at, bytes.Length);
                memory.Add(at);
                return at;
            };
            Func<byte[], IntPtr> block = bytes =>
            {
                IntPtr at = Marshal.AllocHGlobal(Math.Max(bytes.Length, 1));
                Marshal.Copy(bytes, 0, at, bytes.Length);
                memory.Add(at);
                return at;
            };
            try
            {
                var native = new AppNative.CommissionOptions
                {
                    Gtin = text(options.Gtin), PrefixLength = options.PrefixLength, SerialFrom = options.SerialFrom,
                    Count = options.Count, PlanFile = text(options.PlanFile),
                    Filter = Velkor.Check.InRange("Filter", options.Filter, 0, 7),
                    Scheme = text(options.Scheme), Journal = text(options.Journal),
                    TimeoutMs = (long)options.Timeout.TotalMilliseconds,
                };
                if (options.AccessPassword.HasValue) native.AccessPassword = block(Password(options.AccessPassword.Value));
                LockField[] fields = options.Lock ?? new LockField[0];
                var lockBytes = new byte[4 * fields.Length];
                for (int i = 0; i < fields.Length; ++i)
                    BitConverter.GetBytes((int)Velkor.Check.Defined("Lock", fields[i])).CopyTo(lockBytes, 4 * i);
                native.Lock = block(lockBytes);
                native.LockCount = fields.Length;
                string[] voids = options.Voids ?? new string[0];
                IntPtr voidList = Marshal.AllocHGlobal(IntPtr.Size * Math.Max(voids.Length, 1));
                memory.Add(voidList);
                for (int i = 0; i < voids.Length; ++i) Marshal.WriteIntPtr(voidList, IntPtr.Size * i, text(voids[i]));
                native.Voids = voidList;
                native.VoidCount = voids.Length;

                Exception thrown = null;
                AppNative.EventCallback events = (name, json, user) =>
                {
                    if (onEvent == null || thrown != null) return;
                    try { onEvent(AppNative.Utf8(name), AppNative.Utf8(json)); }
                    catch (Exception failure) { thrown = failure; }
                };
                AppNative.StageCallback stages = (stage, taken, user) =>
                {
                    if (thrown != null) return 1;
                    try { return onStage != null && onStage((CommissionStage)stage, taken) ? 1 : 0; }
                    catch (Exception failure) { thrown = failure; return 1; }
                };
                var callbacks = new AppNative.Callbacks
                {
                    OnEvent = Marshal.GetFunctionPointerForDelegate(events),
                    OnStage = Marshal.GetFunctionPointerForDelegate(stages),
                };
                var summary = new AppNative.CommissionSummary { End = -1 };
                try
                {
                    RunCore("commission", (IntPtr s, out AppNative.Error e) =>
                        AppNative.velkor_app_commission(s, ref native, ref callbacks, IntPtr.Zero, out summary, out e));
                }
                catch (CoreException failure)
                {
                    if (thrown != null) throw thrown;
                    failure.Summary = Outcome(summary);
                    throw;
                }
                GC.KeepAlive(events);
                GC.KeepAlive(stages);
                if (thrown != null) throw thrown;
                return Outcome(summary);
            }
            finally
            {
                foreach (IntPtr at in memory) Marshal.FreeHGlobal(at);
            }
        }

        private static Commissioned Outcome(AppNative.CommissionSummary s)
        {
            if (s.End < 0 || s.End >= Ends.Length) return null;
            return new Commissioned
            {
                End = Ends[s.End], Done = s.Done, Total = s.Total, ThisRun = s.ThisRun,
                ElapsedMs = s.ElapsedMs, Interrupted = s.Interrupted,
            };
        }
    }
}
