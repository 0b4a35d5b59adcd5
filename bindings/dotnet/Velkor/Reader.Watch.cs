using System;
using System.Collections.Generic;
using System.Threading;

namespace Velkor
{
    // Inventory round after round, as `velkor inventory --watch` runs them.
    public sealed partial class Reader
    {
        /// <summary>Raised when Watch loses the reader, and when it is back.</summary>
        public event EventHandler<VelkorException> ReaderLost;
        public event EventHandler ReaderBack;

        /// <summary>One Read per tag per round, timed in UTC (rounds 0: endless).  A lost
        /// reader (status 0x30 or 0x37) is looked for again every retryEvery
        /// and the reads carry on when it is back; with reconnect false the
        /// VelkorException is thrown instead.  A round that fails otherwise
        /// is skipped, as the tool does.</summary>
        public IEnumerable<Read> Watch(Mask mask = null, int rounds = 0, TimeSpan interval = default(TimeSpan),
                                       bool reconnect = true, TimeSpan? retryEvery = null)
        {
            TimeSpan retry = retryEvery ?? TimeSpan.FromSeconds(1);
            for (int done = 0; rounds == 0 || done < rounds;)
            {
                if (done > 0 && interval > TimeSpan.Zero) Thread.Sleep(interval);
                List<Tag> tags;
                try
                {
                    tags = Inventory(mask);
                }
                catch (VelkorException error)
                {
                    bool lostLink = error.Status == Statuses.CommError || error.Status == Statuses.InvalidHandle;
                    if (!lostLink) continue;
                    if (!reconnect || !CanReconnect) throw;
                    WaitForReader(error, retry);
                    continue;
                }
                ++done;
                DateTime now = DateTime.UtcNow;
                foreach (Tag tag in tags) yield return new Read(done, now, tag.Epc, tag.Antenna);
            }
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
    }
}
