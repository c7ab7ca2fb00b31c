#include "platform/Console.h"

#include <io.h>
#include <windows.h>

namespace brivano::platform {
namespace {

// The numbers a shell counts an interrupt and a termination by, so that
// brivano-export ends with 130 and 143 as on Linux.
constexpr int kInterrupt = 2;
constexpr int kTerminate = 15;
constexpr int kKilledBase = 128;
// Windows ends the process this long after a console close event anyway;
// the handler waits a little less for the export to take its file back.
constexpr DWORD kCloseGraceMs = 4000;

std::atomic<int> firstSignal{0};
std::atomic<std::atomic<bool>*> stopFlagToSet{nullptr};
HANDLE wakeEvent = nullptr;      // the first stop request came, or the watcher ends
HANDLE finishedEvent = nullptr;  // the watcher is gone: the program is ending
std::atomic<bool> quitting{false};

int signalFor(DWORD event) {
    return event == CTRL_C_EVENT ? kInterrupt : kTerminate;
}

// Runs on a thread that Windows starts for each console event.
BOOL WINAPI handle(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
        case CTRL_BREAK_EVENT:
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            break;
        default:
            return FALSE;
    }
    const int signal = signalFor(event);
    int expected = 0;
    if (!firstSignal.compare_exchange_strong(expected, signal)) {
        // A second request ends the program at once, with the code of the
        // first; exit() from this thread would not reliably carry it.
        TerminateProcess(GetCurrentProcess(), static_cast<UINT>(kKilledBase + expected));
        return TRUE;
    }
    if (std::atomic<bool>* flag = stopFlagToSet.load())
        flag->store(true);
    SetEvent(wakeEvent);
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) {
        // The process ends when this returns: give the export the time to
        // stop and take back its temporary file first.
        WaitForSingleObject(finishedEvent, kCloseGraceMs);
    }
    return TRUE;
}

}  // namespace

StopSignalWatcher::StopSignalWatcher(std::atomic<bool>& stopFlag,
                                     std::function<void()> onFirstSignal)
    : onFirstSignal_(std::move(onFirstSignal)) {
    stopFlagToSet.store(&stopFlag);
    quitting.store(false);
    wakeEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    finishedEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (wakeEvent != nullptr) {
        thread_ = std::thread([this] {
            for (;;) {
                if (WaitForSingleObject(wakeEvent, INFINITE) != WAIT_OBJECT_0 || quitting.load())
                    return;
                onFirstSignal_();
            }
        });
    }
    SetConsoleCtrlHandler(handle, TRUE);
}

StopSignalWatcher::~StopSignalWatcher() {
    SetConsoleCtrlHandler(handle, FALSE);
    if (thread_.joinable()) {
        quitting.store(true);
        SetEvent(wakeEvent);
        thread_.join();
    }
    if (finishedEvent != nullptr)
        SetEvent(finishedEvent);
    // finishedEvent stays open: a close handler may still be waiting on it.
    if (wakeEvent != nullptr)
        CloseHandle(wakeEvent);
    wakeEvent = nullptr;
    stopFlagToSet.store(nullptr);
}

int StopSignalWatcher::received() {
    return firstSignal.load();
}

void surviveFailedWrites() {
    // A failed write on Windows is an error return already: no signal to
    // keep from ending the program.
}

bool isTerminal(std::FILE* stream) {
    // _isatty() is true for NUL as well; only a console has a console mode.
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace brivano::platform
