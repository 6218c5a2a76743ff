// Runs jobs (encoding and writing pictures) on every core while the caller
// renders the next frame. At most two jobs per thread wait, so memory stays
// bounded however many frames come. A job that throws stops the pool: the
// next Submit or Wait rethrows its exception, later jobs are dropped.
#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace zanhost::cli {

class WorkPool {
 public:
  WorkPool();
  // Drops the waiting jobs and joins the threads (running jobs finish).
  ~WorkPool();
  WorkPool(const WorkPool &) = delete;
  WorkPool &operator=(const WorkPool &) = delete;

  void Submit(std::function<void()> job);
  // Returns once every submitted job has run.
  void Wait();

 private:
  void Work();
  void RethrowFailure();

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<std::function<void()>> jobs_;
  size_t running_ = 0;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::vector<std::thread> threads_;
};

}  // namespace zanhost::cli
