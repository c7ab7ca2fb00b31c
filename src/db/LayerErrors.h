#pragma once

#include "db/Error.h"

namespace brivano::db {

// Errors that the data-access layer raises on its own. They never enter a
// connection's error list. The numbers are ADO's for the same situations.
enum LayerErrorNumber : long {
    kItemNotFound = 3265,
    kNoCurrentRow = 3021,
    kOperationNotAllowed = 3219,
    kObjectClosed = 3704,
    kObjectOpen = 3705,
    kConnectionLost = 3709,
};

Error connectionClosedError();
Error connectionOpenError();
Error resultSetClosedError();
Error noCurrentRowError();
Error fieldNotFoundError(const QString& name);
Error fieldPositionError(int position, int count);
Error cannotMoveBackError();
Error tooManyRowsError();
// The connection to the database went away under an operation (`cause`):
// every later operation of the connection fails at once with this error,
// instead of trying a database that is not there.
Error connectionLostError(const Error& cause);

// True for an error that means the connection itself failed (SQLSTATE
// class 08, or the lost connection above), not one statement or value.
bool isConnectionFailure(const Error& error);

}  // namespace brivano::db
