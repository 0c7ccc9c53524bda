#include "base/parallel_slices.h"

#include <gtest/gtest.h>

#include <mutex>
#include <stdexcept>
#include <vector>

namespace ombrix::base {
namespace {

struct SliceRecord {
  std::mutex mutex;
  std::vector<int> hits;
  std::size_t slices = 0;

  explicit SliceRecord(std::uint64_t count) : hits(count, 0) {}
  std::function<void(std::uint64_t, std::uint64_t)> Body() {
    return [this](std::uint64_t begin, std::uint64_t end) {
      const std::lock_guard<std::mutex> lock(mutex);
      ++slices;
      for (std::uint64_t i = begin; i < end; ++i) ++hits[i];
    };
  }
};

TEST(ParallelSlicesTest, SlicesCoverEveryIndexOnce) {
  struct Case {
    std::uint64_t count;
    std::uint64_t workers;
    std::size_t slices;
  };
  const Case cases[] = {{0, 4, 0},  {1, 4, 1},  {10, 0, 1}, {10, 1, 1},
                        {10, 3, 3}, {10, 4, 4}, {9, 4, 3},  {1000, 2, 2}};
  for (const Case& c : cases) {
    SliceRecord record(c.count);
    RunInSlices(c.count, c.workers, record.Body());
    EXPECT_EQ(record.slices, c.slices) << c.count << " / " << c.workers;
    EXPECT_EQ(record.hits, std::vector<int>(c.count, 1)) << c.count << " / " << c.workers;
  }
}

TEST(ParallelSlicesTest, SliceWhoseThreadDoesNotStartRunsOnTheCaller) {
  SliceRecord record(100);
  int starts = 0;
  const ThreadStarter refuseSecond = [&](std::function<void()> body, std::thread& thread) {
    if (++starts == 2) return false;
    return StartStdThread(std::move(body), thread);
  };
  RunInSlices(100, 4, record.Body(), refuseSecond);
  EXPECT_EQ(record.slices, 4u);
  EXPECT_EQ(record.hits, std::vector<int>(100, 1));
}

// The failing slice's exception reaches the caller; the other slices still
// ran to their end and every thread was joined.
TEST(ParallelSlicesTest, ExceptionOfASliceIsThrownOnTheCaller) {
  SliceRecord record(100);
  const auto body = record.Body();
  EXPECT_THROW(RunInSlices(100, 4,
                           [&](std::uint64_t begin, std::uint64_t end) {
                             body(begin, end);
                             if (begin == 50) throw std::runtime_error("slice failed");
                           }),
               std::runtime_error);
  EXPECT_EQ(record.hits, std::vector<int>(100, 1));
}

}  // namespace
}  // namespace ombrix::base
