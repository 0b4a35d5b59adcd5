using System;
using System.Collections.Concurrent;
using System.Collections.Generic;
using System.Globalization;
using System.Runtime.InteropServices;
using System.Threading;

namespace Velkor
{
    // Inventory round after round on the core's watch (the one `velkor
    // inventory --watch` runs).  The watch reports through callbacks on a
    // worker thread, which hands each round's reads to the iterator and waits,
    // with the reader free, until the caller asks for the next round.
    public sealed partial class Reader
    {
        /// <summary>Raised when Watch loses the reader, and when it is back.</summary>
        public event EventHandler<VelkorException> ReaderLost;
        public event EventHandler ReaderBack;

        private WatchJob watching;  // the watch running; Dispose ends it

        /// <summary>One Read per tag per round, timed in UTC to the
        /// millisecond (rounds 0: endless), paced by the core as the tool
        /// paces its rounds.  A lost reader (status 0x30 or 0x37) is looked
        /// for again every retryEvery and the reads carry on when it is back;
        /// with reconnect false the VelkorException is thrown instead.  A
        /// round that fails otherwise is skipped, as the tool does.  Leaving
        /// the loop stops the watch.</summary>
        public IEnumerable<Read> Watch(Mask mask = null, int rounds = 0, TimeSpan interval = default(TimeSpan),
                                       bool reconnect = true, TimeSpan? retryEvery = null)
        {
            TimeSpan retry = retryEvery ?? TimeSpan.FromSeconds(1);
            for (int done = 0; rounds == 0 || done < rounds;)
            {
                var options = new AppNative.WatchOptions
                {
                    Mask = AppNative.MaskOf(mask), Rounds = (uint)(rounds == 0 ? 0 : rounds - done),
                    IntervalMs = (int)interval.TotalMilliseconds,
                };
                int lostStatus = 0;
                var job = new WatchJob(this, options, done);
                try
                {
                    while (lostStatus == 0)
                    {
                        object item = job.Next();
                        if (item == null) yield break;
                        var lost = item as WatchJob.Lost;
                        if (lost != null)
                        {
                            done = lost.Rounds;
                            if (!reconnect || !CanReconnect) throw new VelkorException(lost.Status, "inventory");
                            lostStatus = lost.Status;
                            continue;
                        }
                        var failure = item as Exception;
                        if (failure != null) throw failure;
                        var reads = (List<Read>)item;
                        done = reads.Count > 0 ? reads[0].Round : done + 1;
                        foreach (Read read in reads) yield return read;
                        job.More();
                    }
                }
                finally
                {
                    job.Cancel();
                }
                WaitForReader(new VelkorException(lostStatus, "inventory"), retry);
            }
        }

        private void CancelWatch()
        {
            WatchJob job = watching;
            if (job != null) job.Cancel();
        }

        private void WaitForReader(VelkorException error, TimeSpan retry)
        {
            if (ReaderLost != null) ReaderLost(this, error);
            while (true)
            {
                Thread.Sleep(retry);
                try
                {
                    Reconnect();
                }
                catch (VelkorException)
                {
                    continue;
                }
                if (ReaderBack != null) ReaderBack(this, EventArgs.Empty);
                return;
            }
        }

        // One run of the core's watch on a worker thread, round by round.
        private sealed class WatchJob
        {
            internal sealed class Lost
            {
                internal int Rounds, Status;
            }

            private sealed class End { }

            private readonly Reader reader;
            private AppNative.WatchOptions options;
            private readonly int offset;
            private IntPtr stop;
            private readonly BlockingCollection<object> items = new BlockingCollection<object>();
            private readonly SemaphoreSlim goOn = new SemaphoreSlim(0);
            private readonly AppNative.EventCallback onEvent;  // kept alive while the core holds it
            private readonly Thread thread;
            private List<Read> reads = new List<Read>();
            private volatile bool cancelled;

            internal WatchJob(Reader reader, AppNative.WatchOptions options, int offset)
            {
                this.reader = reader;
                this.options = options;
                this.offset = offset;
                stop = AppNative.velkor_app_stop_new();
                onEvent = OnEvent;
                thread = new Thread(Run) { IsBackground = true, Name = "velkor-watch" };
                reader.watching = this;
                thread.Start();
            }

            private void Run()
            {
                object end = new End();
                try
                {
                    var callbacks = new AppNative.Callbacks { OnEvent = Marshal.GetFunctionPointerForDelegate(onEvent) };
                    AppNative.WatchSummary summary;
                    reader.RunCore("watch", (IntPtr s, out AppNative.Error e) =>
                        AppNative.velkor_app_watch(s, ref options, ref callbacks, stop, out summary, out e));
                }
                catch (Exception failure)
                {
                    end = failure;
                }
                items.Add(end);
            }

            private void OnEvent(IntPtr namePointer, IntPtr jsonPointer, IntPtr user)
            {
                string name = AppNative.Utf8(namePointer), json = AppNative.Utf8(jsonPointer);
                if (name == "read")
                {
                    DateTime time = DateTime.ParseExact(Field(json, "time"), "yyyy-MM-dd'T'HH:mm:ss.fff'Z'",
                        CultureInfo.InvariantCulture, DateTimeStyles.AssumeUniversal | DateTimeStyles.AdjustToUniversal);
                    reads.Add(new Read(int.Parse(Field(json, "round")) + offset, time, Field(json, "epc"),
                                       int.Parse(Field(json, "antenna"))));
                }
                else if (name == "round")
                {
                    items.Add(reads);
                    reads = new List<Read>();
                    // The caller's turn: the reader is free until it asks for more.
                    Monitor.Exit(reader.turn);
                    try
                    {
                        goOn.Wait();
                    }
                    finally
                    {
                        Monitor.Enter(reader.turn);
                    }
                    if (cancelled) AppNative.velkor_app_stop_request(stop);
                }
                else if (name == "reader-lost")
                {
                    // The reader is the binding's to open again: this job ends here.
                    AppNative.velkor_app_stop_request(stop);
                    string status = Field(json, "status");
                    items.Add(new Lost { Rounds = int.Parse(Field(json, "rounds")) + offset,
                                         Status = status == null || status == "0" ? Statuses.CommError : int.Parse(status) });
                }
            }

            // A number's or a string's value of a flat field in the core's document.
            private static string Field(string json, string key)
            {
                string quoted = "\"" + key + "\":";
                int at = json.IndexOf(quoted, StringComparison.Ordinal);
                if (at < 0) return null;
                at += quoted.Length;
                if (json[at] == '"')
                    return json.Substring(at + 1, json.IndexOf('"', at + 1) - at - 1);
                int end = at;
                while (end < json.Length && (char.IsDigit(json[end]) || json[end] == '-')) ++end;
                return json.Substring(at, end - at);
            }

            /// <summary>The next round's reads, a Lost, an exception, or null at the end.</summary>
            internal object Next()
            {
                object item = items.Take();
                return item is End ? null : item;
            }

            internal void More() { goOn.Release(); }

            internal void Cancel()
            {
                lock (this)
                {
                    if (stop == IntPtr.Zero) return;
                    if (reader.watching == this) reader.watching = null;
                    if (thread.IsAlive)
                    {
                        cancelled = true;
                        AppNative.velkor_app_stop_request(stop);
                        goOn.Release();
                        thread.Join();
                    }
                    AppNative.velkor_app_stop_free(stop);
                    stop = IntPtr.Zero;
                }
            }
        }
    }
}
