#include "db/dialect/Snapshot.h"

#include <cstring>

#include "db/LayerErrors.h"

namespace brivano::db {
namespace {

bool given(const char* statement) {
    return *statement != '\0';
}

}  // namespace

template <typename Step>
bool Snapshot::attempt(Step&& step) {
    try {
        step();
        return true;
    } catch (const Error& error) {
        if (isConnectionFailure(error))
            throw;
        return false;
    }
}

void Snapshot::follow(const Dialect& dialect) {
    rules_ = &dialect.snapshot;
    scope_ = rules_->scope;
    inTransaction_ = false;
    ownTransaction_ = false;
}

void Snapshot::setUp() {
    if (scope_ != SnapshotScope::Table || !given(rules_->scopeQuery))
        return;
    attempt([&] {
        const std::optional<QString> answer = path_.value(rules_->scopeQuery);
        if (answer &&
            answer->compare(QLatin1StringView(rules_->runScopeAnswer), Qt::CaseInsensitive) == 0)
            scope_ = SnapshotScope::Run;
    });
}

void Snapshot::beginTable() {
    if (scope_ == SnapshotScope::None)
        return;
    if (!inTransaction_) {
        // A database that refuses the transaction is read as it is.
        const bool opened = attempt([&] {
            ownTransaction_ = !rules_->beginByStatement && path_.beginTransaction();
            if (!ownTransaction_)
                path_.run(rules_->begin);
        });
        if (!opened) {
            scope_ = SnapshotScope::None;
            return;
        }
        inTransaction_ = true;
    }
    if (given(rules_->tableBegin) && !attempt([&] { path_.run(rules_->tableBegin); }))
        endTransaction();
}

void Snapshot::endTable(bool completed) {
    if (!inTransaction_)
        return;
    try {
        closeTable(completed);
    } catch (const Error&) {
        // A table that failed has been reported, and a connection lost
        // under it with it: the path remembers the loss, and the next
        // table hears of it.
        inTransaction_ = false;
        if (completed)
            throw;
    }
}

void Snapshot::closeTable(bool completed) {
    if (given(rules_->tableBegin)) {
        // A statement that failed may have left the transaction aborted,
        // whatever the caller knows of it: going back to the savepoint
        // mends it. Where even that fails, the transaction is gone.
        const bool released = completed && attempt([&] { path_.run(rules_->tableEnd); });
        if (!released && !attempt([&] {
                path_.run(rules_->tableUndo);
                path_.run(rules_->tableEnd);
            }))
            endTransaction();
    }
    if (!completed && inTransaction_ && given(rules_->inTransactionQuery)) {
        attempt([&] {
            if (path_.value(rules_->inTransactionQuery) == QStringLiteral("0"))
                inTransaction_ = false;
        });
    }
    if (scope_ == SnapshotScope::Table && inTransaction_)
        endTransaction();
}

void Snapshot::endTransaction() {
    // Nothing was written: however the transaction ends, nothing is lost,
    // and the next table opens a new one.
    inTransaction_ = false;
    attempt([&] {
        if (ownTransaction_)
            path_.endTransaction();
        else
            path_.run(rules_->end);
    });
}

void Snapshot::finish() {
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    if (ownTransaction_)
        path_.endTransaction();
    else
        path_.run(rules_->end);
}

void Snapshot::abandon() noexcept {
    // The session goes, and its transaction with it.
    inTransaction_ = false;
}

}  // namespace brivano::db
