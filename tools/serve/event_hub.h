// The event stream's hub: numbers every event, keeps a bounded history for
// clients that come back with Last-Event-ID, and hands each client its own
// bounded queue.  A client that falls a whole queue behind is dropped, so a
// slow one never holds up the others or the producer.  No sockets: the
// server drains each client's queue when told there is something to take.
#ifndef VELKOR_SERVE_EVENT_HUB_H
#define VELKOR_SERVE_EVENT_HUB_H

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velkor::serve {

/// The time events are stamped and keep-alives are timed by; tests pass
/// one they move by hand.
using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

struct HubLimits {
  std::size_t history = 4096;  ///< events kept for clients that resume
  std::size_t queue = 1024;    ///< entries waiting for one client before it is dropped
  std::chrono::milliseconds keep_alive{15000};
  std::size_t history_bytes = 8 << 20;  ///< the history's text at most
};

class EventHub;

/// One client's place on the stream.  Methods are thread-safe.
class EventSubscription {
 public:
  /// Everything queued so far as stream text (events, an overflow notice,
  /// keep-alive comments), in order; the queue is then empty.
  std::string take();
  /// True once the client fell a whole queue behind: its connection
  /// should end (it may come back with Last-Event-ID).
  bool dropped() const;
  /// Leaves the hub; nothing more is queued or woken.  Also on destruction.
  void close();
  ~EventSubscription();

 private:
  friend class EventHub;
  explicit EventSubscription(EventHub *hub) : hub_(hub) {}
  EventHub *hub_;
  // Guarded by the hub's mutex.
  std::deque<std::shared_ptr<const std::string>> queue_;
  bool dropped_ = false;
  bool open_ = true;
  std::function<void()> wake_;
};

class EventHub {
 public:
  /// clock: steady time; the first keep-alive is due keep_alive after now.
  EventHub(HubLimits limits, SteadyClock clock);

  /// Numbers the event (1, 2, ...) and queues it for every client; returns
  /// its number.  data is a JSON document's text, type its name ("read").
  /// Thread-safe; never waits for a client.
  std::uint64_t publish(std::string_view type, std::string_view data);

  /// A new client.  With after (its Last-Event-ID), it gets every event
  /// numbered after it still in the history, preceded by an overflow notice
  /// of how many it missed beyond the history (an id the hub never gave,
  /// from before a restart, counts as having seen none); without, it gets
  /// the events that come next.  The backlog is one entry of its queue, so
  /// a client that resumes far behind is not dropped for it.  wake is called, from whichever thread
  /// queued it, when its queue goes from empty to holding something or it
  /// is dropped; it must not call back into the hub.  The hub must outlive
  /// the subscription.
  std::shared_ptr<EventSubscription> subscribe(std::optional<std::uint64_t> after,
                                               std::function<void()> wake);

  /// Queues a keep-alive comment for every client when one is due (every
  /// keep_alive of the clock); returns when the next is due.
  std::chrono::steady_clock::time_point keep_alive();

  /// Clients subscribed now.
  std::size_t clients() const;
  /// The number of the last event published (0: none yet).
  std::uint64_t last_id() const;

 private:
  friend class EventSubscription;
  // Queues text for s; drops s when its queue is full.  Returns the wake to
  // call once the lock is released, if any.
  std::function<void()> queue_locked(EventSubscription &s,
                                     const std::shared_ptr<const std::string> &text);
  void forget(EventSubscription *s);

  const HubLimits limits_;
  const SteadyClock clock_;
  mutable std::mutex mutex_;
  std::uint64_t last_id_ = 0;
  std::deque<std::shared_ptr<const std::string>> history_;  // events last_id_-size+1 .. last_id_
  std::size_t history_bytes_ = 0;
  std::vector<EventSubscription *> clients_;
  std::chrono::steady_clock::time_point next_keep_alive_;
};

}  // namespace velkor::serve

#endif  // VELKOR_SERVE_EVENT_HUB_H
