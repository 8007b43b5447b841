#pragma once
// What start-up and shut-down call in the task code.

#include <string>

namespace nav {

// Start-up: reads every task of the task file `path` into the task list;
// false when the file could not be opened (the list stays empty).
bool ReadTaskFile(const std::wstring& path);

// Exit: stops the task statistics thread and waits for it.
void StopTaskStatistics();

}  // namespace nav
