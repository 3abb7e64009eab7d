#pragma once

// Threads that work off the window's thread and that nothing waits for as
// they go: a reading or a look that a share which stopped answering may hold
// for the network's timeout. Each is kept track of until it has ended, so
// that the end of the program can wait for them, a bounded time, before
// anything static is torn down: a thread still running then would use what
// is being destroyed. Windows only.

#include <windows.h>

#include <functional>

namespace kiv {

// Runs `work` on a thread of its own. False when no thread could be had:
// nothing runs then. What `work` throws ends the work, not the program.
bool StartWorker(std::function<void()> work);

// Waits until every worker started has ended, `boundMs` at most: false
// when one still runs.
bool WorkersEnded(DWORD boundMs);

// After the window's loop: returns once no worker runs. One that still runs
// after `boundMs` ends the process here with `exitCode`, before a DLL or a
// static object is torn down (TerminateProcess: what the stopped threads
// held is never waited for).
void EndWithWorkers(UINT exitCode, DWORD boundMs);

// For tests: what ends the process (null: TerminateProcess).
using ProcessEnd = void (*)(UINT exitCode);
void SetProcessEndSeam(ProcessEnd seam);

}  // namespace kiv
