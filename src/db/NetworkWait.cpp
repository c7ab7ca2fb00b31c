#include "db/NetworkWait.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "db/ConnectionString.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// How often the stop check is asked while a server keeps silent.
constexpr int kSliceMilliseconds = 100;
// ODBC's SQLSTATEs for a time limit that ran out and an operation cancelled.
constexpr QStringView kTimeoutExpired = u"HYT00";
constexpr QStringView kOperationCancelled = u"HY008";
// A day: more is surely a slip, and would overflow the clock's arithmetic.
constexpr int kMaxSeconds = 24 * 60 * 60;

constexpr QStringView kConnectKeys[] = {u"Connect Timeout", u"Timeout"};
constexpr QStringView kReadKeys[] = {u"Read Timeout"};

std::optional<int> seconds(QStringView connectionString, std::initializer_list<QStringView> keys) {
    for (const QStringView key : keys) {
        const std::optional<QString> value = connectionAttribute(connectionString, key);
        if (!value || value->trimmed().isEmpty())
            continue;
        bool ok = false;
        const int number = value->trimmed().toInt(&ok);
        if (!ok || number < 0 || number > kMaxSeconds)
            throw Error(0, texts::invalidConnectionValue(key.toString(), *value),
                        QStringLiteral("HY000"));
        return number;
    }
    return std::nullopt;
}

}  // namespace

const QStringView kWaitLimitKeys[3] = {kConnectKeys[0], kConnectKeys[1], kReadKeys[0]};

WaitLimits waitLimitsOf(QStringView connectionString) {
    WaitLimits limits;
    if (const std::optional<int> connect =
            seconds(connectionString, {kConnectKeys[0], kConnectKeys[1]}))
        limits.connectSeconds = *connect;
    if (const std::optional<int> read = seconds(connectionString, {kReadKeys[0]}))
        limits.readSeconds = *read;
    return limits;
}

void NetworkWait::setLimits(WaitLimits limits, QString server) {
    limits_ = limits;
    server_ = std::move(server);
}

NetworkWait::Clock::time_point NetworkWait::deadline(Phase phase) const {
    const int limit = phase == Phase::Connect ? limits_.connectSeconds : limits_.readSeconds;
    if (limit == 0)
        return Clock::time_point::max();
    return Clock::now() + std::chrono::seconds(limit);
}

platform::SocketReadiness NetworkWait::wait(platform::SocketHandle socket,
                                            platform::SocketInterest interest,
                                            Clock::time_point deadline, Phase phase,
                                            Clock::time_point returnAt) const {
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= returnAt && returnAt < deadline)
            return {};
        if (now >= deadline) {
            const int limit =
                phase == Phase::Connect ? limits_.connectSeconds : limits_.readSeconds;
            throw Error(0,
                        phase == Phase::Connect ? texts::connectTimedOut(server_, limit)
                                                : texts::readTimedOut(server_, limit),
                        kTimeoutExpired.toString());
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::min(deadline, returnAt) - now);
        const int slice = static_cast<int>(
            std::min<std::chrono::milliseconds::rep>(left.count() + 1, kSliceMilliseconds));
        std::error_code error;
        const platform::SocketReadiness ready =
            platform::waitForSocket(socket, interest, slice, error);
        if (error)
            throw Error(error.value(),
                        texts::withReason(texts::kCannotWaitForServer.toString(), error.value()));
        if (!ready.timedOut())
            return ready;
        checkStop();
    }
}

void NetworkWait::checkStop() const {
    if (stopCheck_ && stopCheck_())
        throw stoppedError();
}

Error stoppedError() {
    return Error(0, texts::kStoppedOnRequest.toString(), kOperationCancelled.toString());
}

bool isStopped(const Error& error) {
    return error.sqlState() == kOperationCancelled && error.number() == 0 &&
           error.description() == texts::kStoppedOnRequest;
}

bool isTimedOut(const Error& error) {
    return error.sqlState() == kTimeoutExpired;
}

}  // namespace brivano::db
