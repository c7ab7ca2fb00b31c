#include "texts/Texts.h"

#include <QLocale>
#include <QStringList>
#include <cerrno>
#include <cstring>

namespace brivano::texts {

QString tableInProgress(const QString& table) {
    return QStringLiteral("Export Tabella ") + table + QStringLiteral("...");
}

QString tableCompleted(const QString& table, std::int32_t records) {
    return QStringLiteral("Export Tabella ") + table + QStringLiteral("...Completato (") +
           QString::number(records) + QStringLiteral(" Records)");
}

QString tableNotExported(const QString& table) {
    return QStringLiteral("Export Tabella ") + table + QStringLiteral("...Non esportata");
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

QString utf8CodePageWarning() {
    return QStringLiteral(
        "Attenzione: la tabella codici del sistema è 65001 (UTF-8): il file di esportazione è "
        "scritto in UTF-8");
}

QString tableQualityWarning(const QString& table, std::int64_t ambiguousValues,
                            std::int64_t replacedCharacters) {
    QStringList parts;
    if (ambiguousValues > 0)
        parts
            << QStringLiteral("%1 valori non si rileggeranno senza ambiguità").arg(ambiguousValues);
    if (replacedCharacters > 0)
        parts << QStringLiteral(
                     "%1 caratteri sostituiti da \"?\" (la tabella codici non li "
                     "contiene)")
                     .arg(replacedCharacters);
    return QStringLiteral("Attenzione: %1: %2").arg(table, parts.join(QStringLiteral("; ")));
}

QString groupButtonName(const QString& group) {
    return QStringLiteral("Gruppo %1").arg(group);
}

QString groupButtonHelp(const QString& group) {
    return QStringLiteral("Mostra le tabelle del gruppo %1").arg(group);
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

QString cannotReadSettings(const QString& path, const QString& reason) {
    return QStringLiteral("Impossibile leggere il file delle impostazioni %1: %2")
        .arg(path, reason);
}

QString settingsLineTooLong(qsizetype mostBytes) {
    return QStringLiteral("la prima riga supera i %1 byte: non è una stringa di connessione")
        .arg(mostBytes);
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

QString unknownConnectionKey(const QString& key, QStringView provider) {
    return QStringLiteral(
               "La stringa di connessione contiene la chiave \"%1\", che il provider %2 non "
               "conosce")
        .arg(key, provider);
}

QString invalidConnectionValue(const QString& key, const QString& value) {
    return QStringLiteral(
               "Il valore \"%1\" della chiave %2 della stringa di connessione non è "
               "valido")
        .arg(value, key);
}

QString cannotStopStatement(const QString& reason) {
    return QStringLiteral("Impossibile fermare l'istruzione in corso sul database: %1").arg(reason);
}

namespace {

QString secondsText(int seconds) {
    return seconds == 1 ? QStringLiteral("1 secondo") : QStringLiteral("%1 secondi").arg(seconds);
}

}  // namespace

QString connectTimedOut(const QString& server, int seconds) {
    return QStringLiteral("Tempo scaduto: il server %1 non ha risposto alla connessione entro %2")
        .arg(server, secondsText(seconds));
}

QString readTimedOut(const QString& server, int seconds) {
    return QStringLiteral("Tempo scaduto: il server %1 non ha inviato dati per %2")
        .arg(server, secondsText(seconds));
}

QString driverGaveNoMessage(const char* call, long returnCode) {
    return QStringLiteral("%1 non riuscita (codice %2) e il driver non dà alcun messaggio")
        .arg(QString::fromLatin1(call))
        .arg(returnCode);
}

namespace {

// An HRESULT as Windows shows it: 0x80004005.
QString hresultText(long result) {
    return QStringLiteral("0x%1").arg(
        QString::number(static_cast<quint32>(result), 16).toUpper().rightJustified(8, u'0'));
}

}  // namespace

QString adoUnavailable(long result) {
    return QStringLiteral("ADO (ADODB.Connection) non è disponibile su questo sistema (HRESULT %1)")
        .arg(hresultText(result));
}

QString adoGaveNoMessage(const char* call, long result) {
    return QStringLiteral("%1 non riuscita (HRESULT %2) e ADO non dà alcun messaggio")
        .arg(QString::fromLatin1(call), hresultText(result));
}

QString adoCallFailed(const char* call, long result, const QString& reason) {
    return QStringLiteral("%1 non riuscita (HRESULT %2): %3")
        .arg(QString::fromLatin1(call), hresultText(result), reason);
}

QString adoValueWithoutText(const QString& column, int variantType, long result) {
    return QStringLiteral(
               "Il valore della colonna %1 (VARIANT di tipo %2) non ha una forma di testo "
               "(HRESULT %3)")
        .arg(column)
        .arg(variantType)
        .arg(hresultText(result));
}

QString pgUnexpectedValue(const QString& column) {
    return QStringLiteral(
               "Il server PostgreSQL ha inviato un valore della colonna %1 in una "
               "forma inattesa")
        .arg(column);
}

QString invalidValue(const QString& column, const QString& shown, QStringView validType) {
    return QStringLiteral("La colonna %1 contiene \"%2\", che non è %3")
        .arg(column, shown, validType.toString());
}

QString textCutAtNul(const QString& column) {
    return QStringLiteral(
               "La colonna %1 contiene un carattere NUL: il testo è scritto solo fino a quel punto")
        .arg(column);
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

QString exportFileInUse(const QString& path) {
    return QStringLiteral("Il file di esportazione %1 è in uso da un'altra esportazione").arg(path);
}

QString exportFolderNotSynced(const QString& path) {
    return QStringLiteral(
               "Il file di esportazione %1 è stato sostituito, ma la sua cartella non è stata "
               "scritta sul disco")
        .arg(path);
}

QString exportFileIsFolder(const QString& path) {
    return QStringLiteral("Il file di esportazione %1 è una cartella").arg(path);
}

QString exportFileIsNoFile(const QString& path) {
    return QStringLiteral("Il file di esportazione %1 non è un file, un dispositivo o una pipe")
        .arg(path);
}

QString systemReason(int errorNumber) {
    switch (errorNumber) {
        case ENOSPC:
            return QStringLiteral("Spazio esaurito sul dispositivo");
        case EFBIG:
            return QStringLiteral("File troppo grande");
#ifdef EDQUOT  // not every C library names it (Windows' has no quotas' number)
        case EDQUOT:
            return QStringLiteral("Quota disco superata");
#endif
        case EACCES:
            return QStringLiteral("Permesso negato");
        case EPERM:
            return QStringLiteral("Operazione non permessa");
        case EROFS:
            return QStringLiteral("File system in sola lettura");
        case EIO:
            return QStringLiteral("Errore di input/output");
        case ENOENT:
            return QStringLiteral("File o cartella inesistente");
        case ENOTDIR:
            return QStringLiteral("Un elemento del percorso non è una cartella");
        case EISDIR:
            return QStringLiteral("È una cartella");
        case ELOOP:
            return QStringLiteral("Troppi collegamenti simbolici");
        case ENAMETOOLONG:
            return QStringLiteral("Nome del file troppo lungo");
        case EPIPE:
            return QStringLiteral("Il lettore della pipe ha chiuso");
        case ENXIO:
            return QStringLiteral("Dispositivo o indirizzo inesistente");
        case ETXTBSY:
            return QStringLiteral("File di testo occupato");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("Troppi file aperti");
        case EINTR:
            return QStringLiteral("Chiamata di sistema interrotta");
        default:
            return QStringLiteral("errore di sistema %1 (%2)")
                .arg(errorNumber)
                .arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

QString withReason(const QString& what, int errorNumber) {
    return what + QStringLiteral(": ") + systemReason(errorNumber);
}

QString cannotReadExportFile(const QString& path) {
    return QStringLiteral("Impossibile leggere il file di esportazione %1").arg(path);
}

QString exportFileIsEmpty(const QString& path) {
    return QStringLiteral("Il file %1 è vuoto: non è un file di esportazione").arg(path);
}

QString notAnExportFile(const QString& path) {
    return QStringLiteral(
               "Il file %1 non è un file di esportazione: la sua prima riga non è "
               "l'intestazione di una tabella")
        .arg(path);
}

QString columnByPosition(int position) {
    return QStringLiteral("#%1").arg(position);
}

QString italianNumber(std::int64_t number) {
    static const QLocale italian(QLocale::Italian, QLocale::Italy);
    return italian.toString(static_cast<qlonglong>(number));
}

}  // namespace brivano::texts
