// Stopping a long job (a watch, a commissioning run) from outside it: the
// job holds a StopToken and looks at it between steps; whoever started it
// keeps the StopSource.  Each job has a source of its own, so one process
// runs several and stops them one by one.  The flag is a lock-free atomic:
// request_stop() may be called from a signal handler or another thread.
#ifndef VELKOR_APP_BASE_STOP_TOKEN_H
#define VELKOR_APP_BASE_STOP_TOKEN_H

#include <atomic>
#include <memory>

namespace velkor::app {

class StopToken {
 public:
  /// A token no one can stop.
  StopToken() = default;
  bool stop_requested() const noexcept {
    return flag_ && flag_->load(std::memory_order_acquire);
  }

 private:
  friend class StopSource;
  explicit StopToken(std::shared_ptr<const std::atomic<bool>> flag) : flag_(std::move(flag)) {}
  std::shared_ptr<const std::atomic<bool>> flag_;
};

class StopSource {
 public:
  StopSource() : flag_(std::make_shared<std::atomic<bool>>(false)) {}
  /// Asks every token of this source to stop.  Async-signal-safe.
  void request_stop() const noexcept { flag_->store(true, std::memory_order_release); }
  bool stop_requested() const noexcept { return flag_->load(std::memory_order_acquire); }
  StopToken token() const { return StopToken(flag_); }

  static_assert(std::atomic<bool>::is_always_lock_free,
                "a signal handler may only touch a lock-free atomic");

 private:
  std::shared_ptr<std::atomic<bool>> flag_;
};

}  // namespace velkor::app

#endif  // VELKOR_APP_BASE_STOP_TOKEN_H
