#include "db/postgres/PgErrors.h"

#include "db/MessageText.h"

namespace brivano::db {

namespace {

QString field(const PGresult* result, int code) {
    const char* text = result != nullptr ? PQresultErrorField(result, code) : nullptr;
    return text == nullptr ? QString() : QString::fromUtf8(text);
}

}  // namespace

Error pgResultError(const PGresult* result, PGconn* connection) {
    const QString primary = field(result, PG_DIAG_MESSAGE_PRIMARY);
    if (primary.isEmpty()) {
        // Failures that libpq detects itself (a broken connection, a
        // message it cannot read) carry no SQLSTATE of the server's.
        const char* message =
            result != nullptr ? PQresultErrorMessage(result) : PQerrorMessage(connection);
        QString text = singleLineMessage(QString::fromUtf8(message));
        if (text.isEmpty())
            text = singleLineMessage(QString::fromUtf8(PQerrorMessage(connection)));
        QString state = field(result, PG_DIAG_SQLSTATE);
        if (state.isEmpty())
            state = kPgConnectionBroken.toString();
        return Error(0, text, state);
    }
    const QString severity = field(result, PG_DIAG_SEVERITY);
    const QString text = severity.isEmpty() ? primary : severity + QStringLiteral(": ") + primary;
    return Error(0, singleLineMessage(text), field(result, PG_DIAG_SQLSTATE));
}

Error pgConnectionError(PGconn* connection, QStringView sqlState) {
    const char* message = connection != nullptr ? PQerrorMessage(connection) : "";
    return Error(0, singleLineMessage(QString::fromUtf8(message)), sqlState.toString());
}

}  // namespace brivano::db
