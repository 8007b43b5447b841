#pragma once
// What start-up and shut-down call in the task code.

#include <string>

#include "nav/task_file.h"

namespace nav {

// Start-up: reads every task of the task file `path` into the task list
// (the list stays as it is when the file cannot be opened, or while a task
// of it is flown: nothing is then opened and error is 0).
TaskFileLoad ReadTaskFile(const std::wstring& path);

// Exit: stops the task statistics thread and waits for it.
void StopTaskStatistics();

}  // namespace nav
