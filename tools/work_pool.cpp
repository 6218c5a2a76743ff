#include "tools/work_pool.h"

#include <algorithm>

namespace zanhost::cli {

WorkPool::WorkPool() {
  const unsigned count = std::max(1u, std::thread::hardware_concurrency());
  for (unsigned i = 0; i < count; ++i) {
    threads_.emplace_back([this] { Work(); });
  }
}

WorkPool::~WorkPool() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    jobs_.clear();
  }
  changed_.notify_all();
  for (std::thread &thread : threads_) {
    thread.join();
  }
}

void WorkPool::Submit(std::function<void()> job) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failure_ || jobs_.size() < 2 * threads_.size(); });
  RethrowFailure();
  jobs_.push_back(std::move(job));
  lock.unlock();
  changed_.notify_all();
}

void WorkPool::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return failure_ || (jobs_.empty() && running_ == 0); });
  RethrowFailure();
}

void WorkPool::RethrowFailure() {
  if (failure_) {
    jobs_.clear();
    std::rethrow_exception(failure_);
  }
}

void WorkPool::Work() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (true) {
    changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (stopping_) {
      return;
    }
    std::function<void()> job = std::move(jobs_.front());
    jobs_.pop_front();
    ++running_;
    lock.unlock();
    std::exception_ptr failure;
    try {
      job();
    } catch (...) {
      failure = std::current_exception();
    }
    lock.lock();
    --running_;
    if (failure && !failure_) {
      failure_ = failure;
    }
    if (failure_) {
      jobs_.clear();
    }
    changed_.notify_all();
  }
}

}  // namespace zanhost::cli
