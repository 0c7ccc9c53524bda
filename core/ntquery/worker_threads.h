// How the directory-query engine starts its worker threads: a seam so tests
// can make thread creation fail, which the system only does under resource
// exhaustion.
#pragma once

#include <functional>
#include <thread>

namespace ombrix::core {

// Starts body on a new thread stored in thread; false (thread untouched)
// when no thread could be started.
using WorkerThreadStarter = std::function<bool(std::function<void()> body, std::thread& thread)>;

// std::thread, with its std::system_error turned into false.
bool StartStdThread(std::function<void()> body, std::thread& thread);

}  // namespace ombrix::core
