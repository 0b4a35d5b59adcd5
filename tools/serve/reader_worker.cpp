#include "tools/serve/reader_worker.h"

#include <chrono>

namespace velkor::serve {

const char *state_name(ReaderState state) {
  switch (state) {
    case ReaderState::kIdle: return "idle";
    case ReaderState::kWatching: return "watching";
    case ReaderState::kCommissioning: return "commissioning";
    case ReaderState::kLost: return "lost";
  }
  return "idle";
}

ReaderWorker::ReaderWorker(std::string id, std::unique_ptr<app::Session> session,
                           nlohmann::json document)
    : id_(std::move(id)), session_(std::move(session)), path_(session_->path()),
      document_(std::move(document)),
      thread_([this] { loop(); }) {}

ReaderWorker::~ReaderWorker() {
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
    if (job_stop_) job_stop_->request_stop();
  }
  wake_.notify_all();
  thread_.join();
  (void)session_->finish();
}

void ReaderWorker::post(Task task) {
  {
    std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  wake_.notify_all();
}

bool ReaderWorker::start_job(ReaderState state, std::shared_ptr<app::StopSource> stop, Job job) {
  {
    std::lock_guard lock(mutex_);
    if (job_stop_ || ending_) return false;
    job_ = std::move(job);
    job_stop_ = std::move(stop);
    job_state_ = state;
  }
  wake_.notify_all();
  return true;
}

void ReaderWorker::stop_job(std::function<void()> done) {
  {
    std::lock_guard lock(mutex_);
    if (job_stop_) {
      job_stop_->request_stop();
      when_idle_.push_back(std::move(done));
      done = nullptr;
    }
  }
  wake_.notify_all();
  if (done) done();
}

ReaderState ReaderWorker::state() const {
  std::lock_guard lock(mutex_);
  if (lost_) return ReaderState::kLost;
  return job_stop_ ? job_state_ : ReaderState::kIdle;
}

bool ReaderWorker::busy() const {
  std::lock_guard lock(mutex_);
  return job_stop_ != nullptr;
}

void ReaderWorker::set_lost(bool lost) {
  std::lock_guard lock(mutex_);
  lost_ = lost;
}

nlohmann::json ReaderWorker::document() const {
  const ReaderState now = state();
  std::lock_guard lock(mutex_);
  nlohmann::json doc = document_;
  doc["state"] = state_name(now);
  return doc;
}

void ReaderWorker::set_document(nlohmann::json document) {
  std::lock_guard lock(mutex_);
  document_ = std::move(document);
}

void ReaderWorker::drain(std::unique_lock<std::mutex> &lock) {
  while (!tasks_.empty()) {
    Task task = std::move(tasks_.front());
    tasks_.pop_front();
    lock.unlock();
    task(*session_);
    lock.lock();
  }
}

void ReaderWorker::idle(int ms) {
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  std::unique_lock lock(mutex_);
  for (;;) {
    drain(lock);
    if (ending_ || (job_stop_ && job_stop_->stop_requested())) return;
    if (wake_.wait_until(lock, until) == std::cv_status::timeout) {
      drain(lock);
      return;
    }
  }
}

void ReaderWorker::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    drain(lock);
    if (job_) {
      Job job = std::move(job_);
      job_ = nullptr;
      lock.unlock();
      job(*session_, [this](int ms) { idle(ms); });
      lock.lock();
      job_stop_.reset();
      job_state_ = ReaderState::kIdle;
      std::vector<std::function<void()>> waiting = std::move(when_idle_);
      when_idle_.clear();
      lock.unlock();
      for (auto &done : waiting) done();
      lock.lock();
      continue;
    }
    if (ending_) return;
    wake_.wait(lock);
  }
}

}  // namespace velkor::serve
