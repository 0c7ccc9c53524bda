// What the window keeps of the find box and the File types list: the found
// files and the types it shows and the workers that compute them. The
// workers read the window's scan result, so the state that holds this is
// to declare it after that result (it is destroyed, and its threads
// joined, first).
#pragma once

#include <functional>
#include <utility>

#include "app/find/file_types.h"
#include "app/find/files_below.h"
#include "app/find/latest_query_runner.h"

namespace ombrix::ui {

struct FindState {
  FindState(std::function<void()> wakeForFound, std::function<void()> wakeForTypes)
      : runner(std::move(wakeForFound)), typesRunner(std::move(wakeForTypes)) {}

  // True while the found list is shown in the Files list's place.
  bool shown = false;
  app::FileMatches found;
  app::LatestQueryRunner runner;

  // True while the File types list is shown in the Subfolders list's place.
  bool typesShown = false;
  app::FileTypeBreakdown types;
  // Its own worker: a type chosen asks the find's worker for its largest
  // files, which must not stop the breakdown of the next folder.
  app::LatestQueryRunner typesRunner;
};

}  // namespace ombrix::ui
