#include "platform/ForcedExit.h"

#include <QFile>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

namespace brivano::platform {

namespace {

std::mutex filesMutex;

QStringList& filesToRemove() {
    static QStringList files;
    return files;
}

}  // namespace

ForcedExit::ForcedExit(std::chrono::milliseconds grace, std::function<void()> beforeExit)
    : grace_(grace), beforeExit_(std::move(beforeExit)), timer_([this] { waitForTheEnd(); }) {}

ForcedExit::~ForcedExit() {
    {
        const std::lock_guard lock(mutex_);
        disarmed_ = true;
    }
    changed_.notify_all();
    timer_.join();
}

void ForcedExit::arm(int exitStatus) {
    {
        const std::lock_guard lock(mutex_);
        if (armed_)
            return;
        armed_ = true;
        exitStatus_ = exitStatus;
    }
    changed_.notify_all();
}

void ForcedExit::waitForTheEnd() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return armed_ || disarmed_; });
    if (disarmed_ || changed_.wait_for(lock, grace_, [this] { return disarmed_; }))
        return;
    if (beforeExit_)
        beforeExit_();
    {
        const std::lock_guard files(filesMutex);
        for (const QString& path : filesToRemove())
            QFile::remove(path);
    }
    std::fflush(stderr);
    // No destructors: the main thread is still inside the call that holds
    // it, with the objects they would free.
    std::_Exit(exitStatus_);
}

void removeAtForcedExit(const QString& path) {
    const std::lock_guard lock(filesMutex);
    filesToRemove().append(path);
}

void keepAtForcedExit(const QString& path) {
    const std::lock_guard lock(filesMutex);
    filesToRemove().removeOne(path);
}

}  // namespace brivano::platform
