#include "tools/serve/event_hub.h"

#include <algorithm>

#include "tools/serve/event_stream_text.h"

namespace velkor::serve {

std::string EventSubscription::take() {
  std::lock_guard<std::mutex> lock(hub_->mutex_);
  std::string text;
  for (const auto &entry : queue_) text += *entry;
  queue_.clear();
  return text;
}

bool EventSubscription::dropped() const {
  std::lock_guard<std::mutex> lock(hub_->mutex_);
  return dropped_;
}

void EventSubscription::close() { hub_->forget(this); }

EventSubscription::~EventSubscription() { close(); }

EventHub::EventHub(HubLimits limits, SteadyClock clock)
    : limits_(limits), clock_(std::move(clock)), next_keep_alive_(clock_() + limits_.keep_alive) {}

std::function<void()> EventHub::queue_locked(EventSubscription &s,
                                             const std::shared_ptr<const std::string> &text) {
  if (s.dropped_) return {};
  if (s.queue_.size() >= limits_.queue) {
    // Too slow: the client goes, and resumes from the history if it can.
    s.dropped_ = true;
    s.queue_.clear();
    return s.wake_;
  }
  const bool was_empty = s.queue_.empty();
  s.queue_.push_back(text);
  return was_empty ? s.wake_ : std::function<void()>{};
}

std::uint64_t EventHub::publish(std::string_view type, std::string_view data) {
  std::vector<std::function<void()>> wakes;
  std::uint64_t id;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    id = ++last_id_;
    auto text = std::make_shared<const std::string>(event_text(id, type, data));
    history_.push_back(text);
    history_bytes_ += text->size();
    while (history_.size() > 1 &&
           (history_.size() > limits_.history || history_bytes_ > limits_.history_bytes)) {
      history_bytes_ -= history_.front()->size();
      history_.pop_front();
    }
    for (EventSubscription *s : clients_)
      if (auto wake = queue_locked(*s, text)) wakes.push_back(std::move(wake));
  }
  for (const auto &wake : wakes) wake();
  return id;
}

std::shared_ptr<EventSubscription> EventHub::subscribe(std::optional<std::uint64_t> after,
                                                       std::function<void()> wake) {
  std::shared_ptr<EventSubscription> s(new EventSubscription(this));
  std::lock_guard<std::mutex> lock(mutex_);
  s->wake_ = std::move(wake);
  if (after) {
    const std::uint64_t first = last_id_ - history_.size() + 1;  // oldest held
    const std::uint64_t seen = *after > last_id_ ? 0 : *after;
    std::string backlog = seen + 1 < first ? overflow_text(first - seen - 1) : "";
    for (std::uint64_t id = std::max(seen + 1, first); id <= last_id_; ++id)
      backlog += *history_[id - first];
    if (!backlog.empty()) s->queue_.push_back(std::make_shared<const std::string>(backlog));
  }
  clients_.push_back(s.get());
  return s;
}

void EventHub::forget(EventSubscription *s) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!s->open_) return;
  s->open_ = false;
  s->wake_ = nullptr;
  clients_.erase(std::remove(clients_.begin(), clients_.end(), s), clients_.end());
}

std::chrono::steady_clock::time_point EventHub::keep_alive() {
  std::vector<std::function<void()>> wakes;
  std::chrono::steady_clock::time_point next;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto now = clock_();
    if (now >= next_keep_alive_) {
      auto text = std::make_shared<const std::string>(keep_alive_text());
      for (EventSubscription *s : clients_)
        if (auto wake = queue_locked(*s, text)) wakes.push_back(std::move(wake));
      next_keep_alive_ = now + limits_.keep_alive;
    }
    next = next_keep_alive_;
  }
  for (const auto &wake : wakes) wake();
  return next;
}

std::size_t EventHub::clients() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return clients_.size();
}

std::uint64_t EventHub::last_id() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return last_id_;
}

}  // namespace velkor::serve
