#pragma once

#include "db/Error.h"
#include "db/ado/AdoInterfaces.h"

namespace brivano::db::ado {

// The error of an ADO call that returned `result`, worded as the other
// providers word theirs. A failure of the provider (the database, its
// driver) is read from the connection's Errors collection: its first
// error that is not a warning, with the native code as the number, the
// SQLSTATE and the description on one line. ADO's own failures (an object
// closed, a row that is not there) never enter that collection: they come
// with ADO's number (3704, 3021, ...) and the description that the call
// left in its IErrorInfo. `connection` may be null.
Error adoFailure(HRESULT result, AdoConnection* connection, const char* call);

// True for an HRESULT that ADO raises itself (FACILITY_CONTROL, as in
// 0x800A0E78 for 3704), not one passed on from the provider.
bool isAdoOwnFailure(HRESULT result);

}  // namespace brivano::db::ado
