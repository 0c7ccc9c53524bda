// A vector whose new elements are default-initialised: for plain numbers,
// left as they are. Growing one by a hundred million elements then touches
// no memory; the threads that fill the elements fault the pages in, in
// parallel, instead of one thread zeroing them all first (a fresh page costs
// about 2 microseconds, several times what filling it costs).
//
// Every element made by resize must be written before it is read.
#pragma once

#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace ombrix::base {

template <typename T, typename Base = std::allocator<T>>
class DefaultInitAllocator : public Base {
 public:
  template <typename U>
  struct rebind {
    using other =
        DefaultInitAllocator<U, typename std::allocator_traits<Base>::template rebind_alloc<U>>;
  };

  using Base::Base;

  template <typename U>
  void construct(U* at) noexcept(std::is_nothrow_default_constructible_v<U>) {
    ::new (static_cast<void*>(at)) U;
  }
  template <typename U, typename... Args>
  void construct(U* at, Args&&... args) {
    std::allocator_traits<Base>::construct(static_cast<Base&>(*this), at,
                                           std::forward<Args>(args)...);
  }
};

template <typename T>
using DefaultInitVector = std::vector<T, DefaultInitAllocator<T>>;

}  // namespace ombrix::base
