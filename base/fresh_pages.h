// The first write to a page of fresh memory costs a page fault, and the
// operating system zeroes the page: about 2 microseconds per 4 KiB page on
// our machines, several times what filling the page costs afterwards. A
// block of a hundred megabytes about to be filled by one thread spends most
// of its time there; faulting its pages in on several threads first takes
// that off the filling thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace ombrix::base {

// Writes a zero byte to every page that lies wholly or partly in
// [storage, storage + bytes) and starts at or after storage, on up to
// `workers` threads. The bytes must be owned by the caller and hold no live
// objects: their contents are not kept.
void FaultInPages(void* storage, std::size_t bytes, std::uint64_t workers);

}  // namespace ombrix::base
