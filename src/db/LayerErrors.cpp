#include "db/LayerErrors.h"
#include "texts/Texts.h"

namespace brivano::db {

Error connectionClosedError() {
    return Error(kObjectClosed, texts::kConnectionClosed.toString());
}

Error connectionOpenError() {
    return Error(kObjectOpen, texts::kConnectionAlreadyOpen.toString());
}

Error resultSetClosedError() {
    return Error(kObjectClosed, texts::kResultSetClosed.toString());
}

Error noCurrentRowError() {
    return Error(kNoCurrentRow, texts::kNoCurrentRow.toString());
}

Error fieldNotFoundError(const QString& name) {
    return Error(kItemNotFound, texts::noColumnNamed(name));
}

Error fieldPositionError(int position, int count) {
    return Error(kItemNotFound, texts::noColumnAt(position, count));
}

Error cannotMoveBackError() {
    return Error(kOperationNotAllowed, texts::kCannotMoveBack.toString());
}

Error tooManyRowsError() {
    return Error(kOperationNotAllowed, texts::kTooManyRows.toString());
}

Error connectionLostError(const Error& cause) {
    return Error(kConnectionLost, texts::connectionLost(cause.description()), cause.sqlState());
}

bool isConnectionFailure(const Error& error) {
    return error.number() == kConnectionLost || error.sqlState().startsWith(u"08");
}

}  // namespace brivano::db
