#include "platform/workers_win32.h"

#include <memory>
#include <vector>

namespace kiv {
namespace {

// Never destroyed: a worker may end while static objects are torn down in a
// process that did not wait for it. SRW locks need no teardown either.
SRWLOCK lock = SRWLOCK_INIT;
std::vector<HANDLE>& Threads() {  // under lock: the workers not known to have ended
    static auto* threads = new std::vector<HANDLE>;
    return *threads;
}
ProcessEnd processEnd = nullptr;

DWORD WINAPI Work(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(
        static_cast<std::function<void()>*>(parameter));
    try {
        (*work)();
    } catch (...) {  // NOLINT(bugprone-empty-catch): a worker tells its own failures
    }
    return 0;
}

// Closes the handles of the workers that have ended. Under lock.
void ForgetEnded(std::vector<HANDLE>& threads) {
    std::erase_if(threads, [](HANDLE thread) {
        if (WaitForSingleObject(thread, 0) != WAIT_OBJECT_0) return false;
        CloseHandle(thread);
        return true;
    });
}

}  // namespace

bool StartWorker(std::function<void()> work) {
    std::unique_ptr<std::function<void()>> owned;
    std::vector<HANDLE>* threads = nullptr;
    try {
        owned = std::make_unique<std::function<void()>>(std::move(work));
        AcquireSRWLockExclusive(&lock);
        threads = &Threads();
        ForgetEnded(*threads);
        threads->reserve(threads->size() + 1);  // the handle is kept once the thread runs
    } catch (const std::bad_alloc&) {
        if (threads != nullptr) ReleaseSRWLockExclusive(&lock);
        return false;
    }
    std::function<void()>* const handed = owned.release();  // the thread's, once it runs
    const HANDLE thread = CreateThread(nullptr, 0, Work, handed, 0, nullptr);
    if (thread == nullptr) {
        owned.reset(handed);  // nothing runs it
    } else {
        threads->push_back(thread);
    }
    ReleaseSRWLockExclusive(&lock);
    return thread != nullptr;
}

bool WorkersEnded(DWORD boundMs) {
    const ULONGLONG deadline = GetTickCount64() + boundMs;
    for (;;) {
        AcquireSRWLockExclusive(&lock);
        ForgetEnded(Threads());
        const HANDLE running = Threads().empty() ? nullptr : Threads().front();
        HANDLE waited = nullptr;
        if (running != nullptr)
            DuplicateHandle(GetCurrentProcess(), running, GetCurrentProcess(), &waited, SYNCHRONIZE,
                            FALSE, 0);
        ReleaseSRWLockExclusive(&lock);
        if (running == nullptr) return true;
        if (waited == nullptr) return false;
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
        const DWORD waitedFor = WaitForSingleObject(waited, left);
        CloseHandle(waited);
        if (waitedFor != WAIT_OBJECT_0) return false;
    }
}

void EndWithWorkers(UINT exitCode, DWORD boundMs) {
    if (WorkersEnded(boundMs)) return;
    if (processEnd != nullptr) {
        processEnd(exitCode);
        return;
    }
    // Not ExitProcess: it tears the DLLs down after stopping the threads, and
    // one stopped while it held a lock their teardown takes would hang the
    // end. The settings are written by now; nothing else is wanted of it.
    TerminateProcess(GetCurrentProcess(), exitCode);
}

void SetProcessEndSeam(ProcessEnd seam) {
    processEnd = seam;
}

}  // namespace kiv
