#include "base/fresh_pages.h"

#include "base/parallel_slices.h"

namespace ombrix::base {

namespace {

// Systems with larger pages only get a few writes more than they need.
constexpr std::uintptr_t kPageBytes = 4096;

}  // namespace

void FaultInPages(void* storage, std::size_t bytes, std::uint64_t workers) {
  const auto start = reinterpret_cast<std::uintptr_t>(storage);
  const std::uintptr_t end = start + bytes;
  const std::uintptr_t firstPage = (start + kPageBytes - 1) & ~(kPageBytes - 1);
  if (bytes == 0 || firstPage >= end) {
    return;
  }
  const std::uint64_t pages = (end - firstPage + kPageBytes - 1) / kPageBytes;
  RunInSlices(pages, workers, [&](std::uint64_t begin, std::uint64_t stop) {
    for (std::uint64_t page = begin; page < stop; ++page) {
      // volatile: the compiler must not drop a store nobody reads.
      *reinterpret_cast<volatile unsigned char*>(firstPage + page * kPageBytes) = 0;
    }
  });
}

}  // namespace ombrix::base
