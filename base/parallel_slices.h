// Splitting the indices [0, count) into a few consecutive slices run on
// short-lived threads, for passes over large arrays whose elements are
// independent of each other. The calling thread runs the first slice
// itself; every thread is joined before the call returns. A slice whose
// thread cannot be started runs on the calling thread, so the work is done
// either way, only slower. An exception thrown by a slice never leaves its
// thread: it is kept and thrown again here once every thread has joined.
#pragma once

#include <cstdint>
#include <functional>

#include "base/thread_starter.h"

namespace ombrix::base {

// body(begin, end) is called once per slice; the slices are disjoint and
// together cover [0, count). At most `workers` slices (at least one).
void RunInSlices(std::uint64_t count, std::uint64_t workers,
                 const std::function<void(std::uint64_t begin, std::uint64_t end)>& body,
                 const ThreadStarter& startWorker = StartStdThread);

}  // namespace ombrix::base
