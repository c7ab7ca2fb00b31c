#include "db/dialect/Dialect.h"

namespace brivano::db {

const Dialect& sqliteDialect();
const Dialect& postgresDialect();
const Dialect& mariaDbDialect();
const Dialect& otherDialect();

const Dialect& dialectOf(DatabaseKind kind) {
    switch (kind) {
        case DatabaseKind::Sqlite:
            return sqliteDialect();
        case DatabaseKind::PostgreSQL:
            return postgresDialect();
        case DatabaseKind::MariaDB:
            return mariaDbDialect();
        case DatabaseKind::Other:
            break;
    }
    return otherDialect();
}

QString enclosedCommand(QStringView command) {
    QStringView body = command.trimmed();
    while (body.endsWith(u';'))
        body = body.chopped(1).trimmed();
    return u'\n' + body.toString() + u'\n';
}

QString quotedWith(QStringView name, QChar quote) {
    QString quoted = name.toString();
    quoted.replace(quote, QString(2, quote));
    return quote + quoted + quote;
}

}  // namespace brivano::db
