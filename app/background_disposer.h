// Frees what takes long to free off the window thread: the previous scan's
// tree (tens of millions of nodes take seconds to release) goes here when
// a new scan starts. The value is destroyed on the worker's own thread,
// which the disposer joins when it is destroyed. Whatever T holds, it only
// needs to be movable.
#pragma once

#include <memory>
#include <new>
#include <utility>

#include "app/background_worker.h"

namespace ombrix::app {

template <typename T>
class BackgroundDisposer {
 public:
  explicit BackgroundDisposer(const base::ThreadStarter& startThread = base::StartStdThread)
      : worker_(startThread) {}

  void Dispose(T value) {
    try {
      // A job must be copyable; the shared owner makes a movable-only value
      // fit, and the job is the only owner.
      auto owner = std::make_shared<T>(std::move(value));
      worker_.Post([owner = std::move(owner)]() mutable { owner.reset(); });
    } catch (const std::bad_alloc&) {
      // No memory for the hand-over: the value is freed here, as it leaves.
    }
  }

 private:
  BackgroundWorker worker_;
};

}  // namespace ombrix::app
