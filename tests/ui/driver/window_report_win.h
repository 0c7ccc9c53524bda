// Reads another process's window as a person would see it: its title,
// place and size, every child control with its id, class, text, rectangle
// and state, what the list views, combo boxes and the status bar hold, and
// the menu bar. Written as JSON.
#pragma once

#include <windows.h>

#include "tests/ui/driver/json_writer.h"

namespace ombrix::ui::driver {

void WriteWindowReport(JsonWriter& json, HWND window);

// The top-level windows of class `className` (any when empty) that belong
// to process `processId` (any when 0), visible ones only.
void WriteTopLevelWindows(JsonWriter& json, const wchar_t* className, DWORD processId);

}  // namespace ombrix::ui::driver
