#include "db/LayerErrors.h"

namespace brivano::db {

Error connectionClosedError() {
    return Error(kObjectClosed, QStringLiteral("The connection is closed"));
}

Error connectionOpenError() {
    return Error(kObjectOpen, QStringLiteral("The connection is already open"));
}

Error resultSetClosedError() {
    return Error(kObjectClosed,
                 QStringLiteral("The result set is closed: its connection was closed"));
}

Error noCurrentRowError() {
    return Error(kNoCurrentRow, QStringLiteral("The result set has no current row"));
}

Error fieldNotFoundError(const QString& name) {
    return Error(kItemNotFound,
                 QStringLiteral("The result set has no column named \"%1\"").arg(name));
}

Error fieldPositionError(int position, int count) {
    return Error(
        kItemNotFound,
        QStringLiteral("The result set has no column %1 (it has %2)").arg(position).arg(count));
}

Error cannotMoveBackError() {
    return Error(kOperationNotAllowed,
                 QStringLiteral("The result set reads forward only and has left its first row"));
}

Error tooManyRowsError() {
    return Error(kOperationNotAllowed,
                 QStringLiteral("The result set has more rows than a 32-bit count can hold"));
}

}  // namespace brivano::db
