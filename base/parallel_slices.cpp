#include "base/parallel_slices.h"

#include <algorithm>
#include <exception>
#include <thread>
#include <vector>

namespace ombrix::base {

void RunInSlices(std::uint64_t count, std::uint64_t workers,
                 const std::function<void(std::uint64_t begin, std::uint64_t end)>& body,
                 const ThreadStarter& startWorker) {
  if (count == 0) {
    return;
  }
  workers = std::clamp<std::uint64_t>(workers, 1, count);
  const std::uint64_t sliceLength = (count + workers - 1) / workers;
  const std::uint64_t sliceCount = (count + sliceLength - 1) / sliceLength;
  std::vector<std::exception_ptr> failures(sliceCount);
  const auto runSlice = [&](std::uint64_t slice) {
    try {
      body(slice * sliceLength, std::min(count, (slice + 1) * sliceLength));
    } catch (...) {
      failures[slice] = std::current_exception();
    }
  };

  std::vector<std::thread> threads(sliceCount - 1);
  std::uint64_t started = 0;
  while (started + 1 < sliceCount) {
    const std::uint64_t slice = started + 1;
    if (!startWorker([&runSlice, slice] { runSlice(slice); }, threads[started])) {
      break;
    }
    ++started;
  }
  runSlice(0);
  for (std::uint64_t slice = started + 1; slice < sliceCount; ++slice) {
    runSlice(slice);
  }
  for (std::uint64_t t = 0; t < started; ++t) {
    threads[t].join();
  }
  for (const std::exception_ptr& failure : failures) {
    if (failure) std::rethrow_exception(failure);
  }
}

}  // namespace ombrix::base
