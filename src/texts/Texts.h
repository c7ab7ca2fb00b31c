#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstdint>

// Every text the operator reads that is Brivano's own, in one place: the
// window's captions, the export run's lines and messages, and the
// descriptions of the failures that Brivano itself detects. The words of a
// database or its driver are passed on as they come and are not here.
namespace brivano::texts {

// The window.
inline constexpr QStringView kApplicationTitle = u"Brivano";
inline constexpr QStringView kWindowTitle = u"EXPORT TABELLE";
inline constexpr QStringView kFirstStepNumber = u"1.";
inline constexpr QStringView kFirstStep = u"Selezionare le Tabelle";
inline constexpr QStringView kTickAll = u"Seleziona tutti";
inline constexpr QStringView kUntickAll = u"Annulla selezione";
inline constexpr QStringView kUnassignedSlot = u"Check1";
inline constexpr QStringView kStartButton = u"Creazione Tabelle";
inline constexpr QStringView kSecondStepNumber = u"2.";
inline constexpr QStringView kStartExport = u"Start Export";
inline constexpr QStringView kPictureHint = u"Conferma";
inline constexpr QStringView kPrintButton = u"Stampa Errori";
inline constexpr QStringView kPrint = u"Stampa";

// What a screen reader says of the window's controls.
inline constexpr QStringView kConnectionBoxName = u"Stringa di connessione";
inline constexpr QStringView kConnectionBoxHelp =
    u"La stringa con cui l'esportazione si collega al database";
inline constexpr QStringView kMessageListName = u"Elenco dei messaggi";
inline constexpr QStringView kMessageListHelp =
    u"L'avanzamento e gli errori dell'ultima esportazione";
inline constexpr QStringView kStartName = u"Avvia esportazione";
inline constexpr QStringView kStartHelp =
    u"Esporta le tabelle selezionate nel file di esportazione";
inline constexpr QStringView kPrintName = u"Stampa l'elenco dei messaggi";
inline constexpr QStringView kPrintHelp =
    u"Stampa l'elenco dei messaggi sulla stampante predefinita";
inline constexpr QStringView kTickAllHelp = u"Seleziona tutte le tabelle del gruppo";
inline constexpr QStringView kUntickAllHelp = u"Toglie la selezione a tutte le tabelle del gruppo";
QString groupButtonName(const QString& group);
QString groupButtonHelp(const QString& group);

// The export run: message list, status line and message boxes.
inline constexpr QStringView kNothingTicked = u"Selezionare almeno una tabella";
inline constexpr QStringView kExportCompleted = u"Esportazione Completata!";
inline constexpr QStringView kExportCompletedWithErrors =
    u"Esportazione completata con errori: vedere l'elenco";
inline constexpr QStringView kExportNotDone = u"Esportazione non eseguita: vedere l'elenco";
QString tableInProgress(const QString& table);
QString tableCompleted(const QString& table, std::int32_t records);
QString tableNotExported(const QString& table);
QString reportLine(const QString& table, const QString& description);
// Label5, before the table's size is known (`rows` < 0) and after.
QString tableStatus(const QString& table, std::int64_t rows = -1);
// Label7.
QString rowsStatus(std::int32_t rowsDone);

// brivano-export's warning after a table whose file will not read back as
// it was.
// The system's code page is UTF-8 (65001): the file is not in an ANSI one.
QString utf8CodePageWarning();
QString tableQualityWarning(const QString& table, std::int64_t ambiguousValues,
                            std::int64_t replacedCharacters);

// The printed message list.
inline constexpr QStringView kPrintTitle = u"ELENCO ERRORI";
QString printFailed(const QString& reason);
inline constexpr QStringView kNoPrinter = u"nessuna stampante disponibile";
QString noSuchPrinter(const QString& name);
QString invalidFontSize(double points);
inline constexpr QStringView kCannotStartPage = u"impossibile iniziare una nuova pagina";
inline constexpr QStringView kCannotFinishDocument = u"impossibile completare il documento";
QString cannotCreateSpoolFile(const QString& reason);
QString cannotWritePdf(const QString& path);
QString cannotPrepareForPrinter(const QString& printer);

// The settings file.
QString cannotReadSettings(const QString& path, const QString& reason);
inline constexpr QStringView kSettingsNotAFile =
    u"non è un file ordinario (una FIFO, un dispositivo o un socket)";
QString settingsLineTooLong(qsizetype mostBytes);

// Failures of the window's own parts.
QString missingSlot(int index);
QString slotOutOfRange(int index);
QString invalidSlotState(int state);
QString groupTooLong(const QString& group, qsizetype tables, int slotCount);
QString missingPicture(const QString& path);
QString noMessageLine(int index);

// Failures of the data-access layer itself, not of the database.
inline constexpr QStringView kConnectionClosed = u"La connessione è chiusa";
inline constexpr QStringView kConnectionAlreadyOpen = u"La connessione è già aperta";
inline constexpr QStringView kResultSetClosed =
    u"Il risultato non è più leggibile: la sua connessione è stata chiusa";
inline constexpr QStringView kNoCurrentRow = u"Il risultato non ha una riga corrente";
QString noColumnNamed(const QString& name);
QString noColumnAt(int position, int count);
inline constexpr QStringView kCannotMoveBack =
    u"Il risultato si legge solo in avanti e ha già lasciato la prima riga";
inline constexpr QStringView kTooManyRows =
    u"Il risultato ha più righe di quante ne conti un intero a 32 bit";
inline constexpr QStringView kNoConnection = u"Nessuna connessione al database";
QString connectionLost(const QString& cause);
inline constexpr QStringView kConnectionDead = u"il driver segnala la connessione interrotta";
inline constexpr QStringView kResultSetSuperseded =
    u"Il risultato non è più leggibile: la connessione ha eseguito un altro comando";
QString invalidPort(const QString& port);
// A key of a built-in provider's connection string that it does not take,
// and a value it cannot use.
QString unknownConnectionKey(const QString& key, QStringView provider);
QString invalidConnectionValue(const QString& key, const QString& value);
QString cannotStopStatement(const QString& reason);
// A built-in provider's waits on its server: a limit that ran out, a stop.
QString connectTimedOut(const QString& server, int seconds);
QString readTimedOut(const QString& server, int seconds);
inline constexpr QStringView kStoppedOnRequest =
    u"Interrotto su richiesta mentre si attendeva il server";
inline constexpr QStringView kCannotWaitForServer = u"Impossibile attendere la risposta del server";
inline constexpr QStringView kNoDataSource =
    u"[SQLite]La stringa di connessione non indica il file da aprire (Data Source)";
QString driverGaveNoMessage(const char* call, long returnCode);
// ADO on Windows: not installed, a call that failed without a word, and a
// value that has no text form.
QString adoUnavailable(long result);
QString adoGaveNoMessage(const char* call, long result);
// ... where Windows has a text for the HRESULT (`reason`, in its language).
QString adoCallFailed(const char* call, long result, const QString& reason);
QString adoValueWithoutText(const QString& column, int variantType, long result);
// The built-in PostgreSQL provider, when the server sends what it cannot read.
inline constexpr QStringView kPgUnexpectedRow =
    u"Il server PostgreSQL ha inviato una riga in una forma inattesa";
QString pgUnexpectedValue(const QString& column);

// A stored value that is not one of its column's type: "a valid <type>".
QString invalidValue(const QString& column, const QString& shown, QStringView validType);
QString textCutAtNul(const QString& column);
inline constexpr QStringView kValidInteger = u"un intero valido";
inline constexpr QStringView kValidUnsigned = u"un intero senza segno valido";
inline constexpr QStringView kValidReal = u"un numero in virgola mobile valido";
inline constexpr QStringView kValidDecimal = u"un numero decimale valido";
inline constexpr QStringView kValidBoolean = u"un valore booleano valido";
inline constexpr QStringView kValidDate = u"una data valida";
inline constexpr QStringView kValidTime = u"un'ora valida";
inline constexpr QStringView kValidTimestamp = u"una data e ora valida";
QString validValueOfType(int typeCode);

// Code pages and the export file.
QString codePageUnavailable(int codePage, const QString& reason);
QString cannotEncode(int codePage, const QString& reason);
QString cannotDecode(int codePage, const QString& reason);
QString exportFileAlreadyOpen(const QString& path);
QString exportFileNotOpen(const QString& path);
QString cannotCreateExportFile(const QString& path);
QString cannotWriteExportFile(const QString& path);
QString cannotReplaceExportFile(const QString& path);
QString exportFileInUse(const QString& path);
QString exportFolderNotSynced(const QString& path);
QString exportFileIsFolder(const QString& path);
QString exportFileIsNoFile(const QString& path);
// A failure's reason as the system gives it, in the operator's language.
QString systemReason(int errorNumber);
QString withReason(const QString& what, int errorNumber);

// The database side's own failures.
inline constexpr QStringView kSeveralStatements =
    u"Il comando contiene più di un'istruzione: ne è ammessa una sola";

// Reading an export file back (brivano-check).
QString cannotReadExportFile(const QString& path);
QString exportFileIsEmpty(const QString& path);
QString notAnExportFile(const QString& path);
// A column whose name cannot be read, by its position from 1.
QString columnByPosition(int position);
// A number as the operator reads it: "4.210".
QString italianNumber(std::int64_t number);
// The parts of a block's summary line.
QString checkSummary(const QString& table, const QString& what);
QString checkColumnsAndRows(std::int64_t columns, std::int64_t rows);
QString checkShortBlock(std::int64_t columns, std::int64_t announced, std::int64_t found);
QString checkEmptied(std::int64_t announced);
inline constexpr QStringView kCheckEmptyTable = u"tabella vuota";
inline constexpr QStringView kCheckNoProblem = u"nessun problema";
// "3 righe ambigue (righe 118, 240, 977: colonna Note)"; `more` lines
// beyond those shown.
QString checkAmbiguousLines(std::int64_t count, const QString& shownLines, std::int64_t more,
                            const QStringList& columns);
QString checkLineList(const QList<std::int64_t>& lines);
// The detail of one problem line and of what a block holds beyond it.
QString checkProblem(std::int64_t line, const QStringList& columns, const QStringList& faults);
QString checkContinuation(std::int64_t splitLine);
QString checkMoreProblems(std::int64_t count);
QString checkExtraRows(std::int64_t announced, std::int64_t found);
inline constexpr QStringView kFaultExtraFields =
    u"più campi che colonne: una virgola dentro un valore senza apici";
inline constexpr QStringView kFaultMissingFields =
    u"meno campi che colonne: la riga finisce dentro un valore (un a capo CR LF nel testo)";
inline constexpr QStringView kFaultUnclosedQuote = u"un apice che nessun apice chiude";
inline constexpr QStringView kFaultMissingQuote = u"un valore senza gli apici della sua colonna";
inline constexpr QStringView kFaultTextAfterQuote = u"testo dopo l'apice di chiusura";
inline constexpr QStringView kFaultLineBreak = u"un a capo (CR o LF da solo) dentro la riga";
inline constexpr QStringView kFaultAmbiguousName =
    u"un nome di colonna con una virgola o una parentesi quadra chiusa";
inline constexpr QStringView kFaultUnexpectedLine = u"una riga fuori posto o di tipo sconosciuto";
inline constexpr QStringView kFaultWrongFieldCount =
    u"una riga delle colonne con più o meno campi che colonne";
inline constexpr QStringView kFaultBadNumber =
    u"un tipo, una dimensione o un attributo non numerico";
inline constexpr QStringView kFaultFileEndsInLine = u"il file finisce dentro la riga";
inline constexpr QStringView kFaultControlByte =
    u"un carattere di controllo (NUL o altro, non la tabulazione) dentro la riga";
QString checkLineTooLong(qsizetype mostBytes);

}  // namespace brivano::texts
