// The one way this program starts a thread. Creating a thread fails only
// when the system is out of resources, and then std::thread throws: a
// std::system_error, or a std::bad_alloc for the thread's state. Either
// escaping a pool that already holds joinable threads would end in
// std::terminate, so starting reports failure as a value instead, and the
// caller goes on with the threads it has. Tests replace the starter to make
// the n-th start fail.
#pragma once

#include <functional>
#include <thread>

namespace ombrix::base {

// Starts body on a new thread stored in thread; false (thread untouched)
// when no thread could be started.
using ThreadStarter = std::function<bool(std::function<void()> body, std::thread& thread)>;

// std::thread, with any exception from starting it turned into false.
bool StartStdThread(std::function<void()> body, std::thread& thread);

}  // namespace ombrix::base
