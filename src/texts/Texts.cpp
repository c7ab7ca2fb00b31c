#include "texts/Texts.h"

namespace brivano::texts {

QString tableInProgress(const QString& table) {
    return QStringLiteral("Export Tabella ") + table + QStringLiteral("...");
}

QString tableCompleted(const QString& table, std::int32_t records) {
    return QStringLiteral("Export Tabella ") + table + QStringLiteral("...Completato (") +
           QString::number(records) + QStringLiteral(" Records)");
}

QString reportLine(const QString& table, const QString& description) {
    return table + QStringLiteral(" - ") + description;
}

QString tableStatus(const QString& table, std::int64_t rows) {
    QString text = QStringLiteral("Export Tabella ") + table + QStringLiteral("; TotRecors: ");
    if (rows >= 0)
        text += QString::number(rows);
    return text;
}

QString rowsStatus(std::int32_t rowsDone) {
    return QStringLiteral(" Elaborati:") + QString::number(rowsDone);
}

QString printFailed(const QString& reason) {
    return QStringLiteral("Stampa non riuscita: %1").arg(reason);
}

QString noSuchPrinter(const QString& name) {
    return QStringLiteral("la stampante \"%1\" non esiste").arg(name);
}

QString invalidFontSize(double points) {
    return QStringLiteral("dimensione del carattere non valida (%1)").arg(points);
}

QString cannotCreateSpoolFile(const QString& reason) {
    return QStringLiteral("impossibile creare il file temporaneo di stampa (%1)").arg(reason);
}

QString cannotWritePdf(const QString& path) {
    return QStringLiteral("impossibile scrivere il file \"%1\"").arg(path);
}

QString cannotPrepareForPrinter(const QString& printer) {
    return QStringLiteral("impossibile preparare il documento per la stampante \"%1\"")
        .arg(printer);
}

QString missingSlot(int index) {
    return QStringLiteral("Casella SelTab(%1) mancante").arg(index);
}

QString slotOutOfRange(int index) {
    return QStringLiteral("Indice SelTab(%1) fuori intervallo").arg(index);
}

QString invalidSlotState(int state) {
    return QStringLiteral("Stato %1 non valido per una casella").arg(state);
}

QString groupTooLong(const QString& group, qsizetype tables, int slotCount) {
    return QStringLiteral("Il gruppo \"%1\" ha %2 tabelle, al massimo %3")
        .arg(group)
        .arg(tables)
        .arg(slotCount);
}

QString missingPicture(const QString& path) {
    return QStringLiteral("Immagine %1 mancante o illeggibile").arg(path);
}

QString noMessageLine(int index) {
    return QStringLiteral("L'elenco non ha la riga %1").arg(index);
}

QString noColumnNamed(const QString& name) {
    return QStringLiteral("Il risultato non ha una colonna di nome \"%1\"").arg(name);
}

QString noColumnAt(int position, int count) {
    return QStringLiteral("Il risultato non ha la colonna %1 (ne ha %2)").arg(position).arg(count);
}

QString connectionLost(const QString& cause) {
    return QStringLiteral("Connessione al database persa: %1").arg(cause);
}

QString invalidPort(const QString& port) {
    return QStringLiteral("La porta \"%1\" della stringa di connessione non è un numero valido")
        .arg(port);
}

QString cannotStopStatement(const QString& reason) {
    return QStringLiteral("Impossibile fermare l'istruzione in corso sul database: %1").arg(reason);
}

QString driverGaveNoMessage(const char* call, long returnCode) {
    return QStringLiteral("%1 non riuscita (codice %2) e il driver non dà alcun messaggio")
        .arg(QString::fromLatin1(call))
        .arg(returnCode);
}

QString invalidValue(const QString& column, const QString& shown, QStringView validType) {
    return QStringLiteral("La colonna %1 contiene \"%2\", che non è %3")
        .arg(column, shown, validType.toString());
}

QString validValueOfType(int typeCode) {
    return QStringLiteral("un valore valido di tipo %1").arg(typeCode);
}

QString codePageUnavailable(int codePage, const QString& reason) {
    return QStringLiteral("La tabella codici %1 non è disponibile: %2").arg(codePage).arg(reason);
}

QString cannotEncode(int codePage, const QString& reason) {
    return QStringLiteral("Testo non convertibile nella tabella codici %1: %2")
        .arg(codePage)
        .arg(reason);
}

QString cannotDecode(int codePage, const QString& reason) {
    return QStringLiteral("Testo illeggibile nella tabella codici %1: %2")
        .arg(codePage)
        .arg(reason);
}

QString exportFileAlreadyOpen(const QString& path) {
    return QStringLiteral("Il file di esportazione %1 è già aperto").arg(path);
}

QString exportFileNotOpen(const QString& path) {
    return QStringLiteral("Il file di esportazione %1 non è aperto").arg(path);
}

QString cannotCreateExportFile(const QString& path) {
    return QStringLiteral("Impossibile creare il file di esportazione %1").arg(path);
}

QString cannotWriteExportFile(const QString& path) {
    return QStringLiteral("Impossibile scrivere il file di esportazione %1").arg(path);
}

QString cannotReplaceExportFile(const QString& path) {
    return QStringLiteral("Impossibile sostituire il file di esportazione %1").arg(path);
}

}  // namespace brivano::texts
