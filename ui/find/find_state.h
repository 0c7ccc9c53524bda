// What the window keeps of the find box: the found files it shows and the
// worker that finds them. The worker reads the window's scan result, so
// the state that holds this is to declare it after that result (it is
// destroyed, and its thread joined, first).
#pragma once

#include <functional>
#include <utility>

#include "app/find/files_below.h"
#include "app/find/latest_query_runner.h"

namespace ombrix::ui {

struct FindState {
  explicit FindState(std::function<void()> wakeWindow) : runner(std::move(wakeWindow)) {}

  // True while the found list is shown in the Files list's place.
  bool shown = false;
  app::FileMatches found;
  app::LatestQueryRunner runner;
};

}  // namespace ombrix::ui
