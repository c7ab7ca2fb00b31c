#include "export/TableBlockWriter.h"

#include <algorithm>
#include <cstring>

#include "db/AdoTypes.h"
#include "db/LayerErrors.h"
#include "export/CleanText.h"
#include "export/ExportFormat.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

constexpr QStringView kSelectFrom = u"Select * from ";
constexpr qsizetype kLineReserve = 4096;

}  // namespace

TableBlockWriter::TableBlockWriter(db::Connection* connection, ExportFile& file, ExportHost& host,
                                   FailureRule reportRunError, const QLocale& locale)
    : connection_(connection),
      file_(file),
      host_(host),
      reportRunError_(std::move(reportRunError)),
      valueText_(locale, file.codePage()),
      codePage_(file.codePage()) {
    line_.reserve(kLineReserve);
}

TableBlockWriter::~TableBlockWriter() = default;

template <typename Step>
auto TableBlockWriter::tableStep(Step&& step) -> decltype(step()) {
    try {
        return step();
    } catch (const Error& error) {
        throw TableFailure{error};
    }
}

template <typename Step>
bool TableBlockWriter::entryStep(Step&& step) {
    try {
        step();
        return true;
    } catch (const Error& error) {
        if (db::isConnectionFailure(error))
            throw TableFailure{error};
        reportRunError_(error);
        return false;
    }
}

std::unique_ptr<db::ResultSet> TableBlockWriter::execute(const QString& query) {
    if (connection_ == nullptr)
        throw Error(0, texts::kNoConnection.toString());
    return connection_->execute(query);
}

void TableBlockWriter::writeLine() {
    file_.writeLine(line_.view());
}

void TableBlockWriter::writeHeader(const QString& tableName, std::int32_t lastColumn,
                                   std::int32_t lastRow) {
    line_.truncate(0);
    line_.append(letterOf(LineKind::Header));
    line_.append(kSeparator);
    codePage_.appendUtf16(tableName, line_);
    line_.append(kSeparator);
    valueText_.appendInteger(lastColumn, line_);
    line_.append(kSeparator);
    valueText_.appendInteger(lastRow, line_);
    writeLine();
}

TableBlockWriter::Outcome TableBlockWriter::WriteTableBlock(const QString& tableName) {
    const QString query = kSelectFrom.toString() + tableName;
    resultSet_.reset();
    ambiguousValues_ = 0;
    codePage_.resetReplacements();
    Outcome outcome;
    // Whatever cannot be known leaves the table without a block: a header
    // "0,0" or a header alone would tell the receiving installation that the
    // table is empty, or was emptied, when nobody knows.
    const std::optional<db::RowArrayBounds> bounds = measure(query, tableName);
    if (!bounds)
        return outcome;
    try {
        file_.beginBlock();
        try {
            if (bounds->rows == 0)
                writeHeader(tableName, 0, 0);
            else
                outcome.rowsDone = writeRows(query, tableName);
        } catch (const TableFailure& failure) {
            // The lines of a table that could not be read to its end would
            // promise rows that never come: they are taken back.
            resultSet_.reset();
            file_.discardBlock();
            reportRunError_(failure.error);
            return {outcome.rowsDone, false};
        }
        file_.endBlock();
        outcome.written = !host_.stopRequested();
        outcome.ambiguousValues = ambiguousValues_;
        outcome.replacedCharacters = codePage_.replacements();
    } catch (const Error& error) {
        // The file itself failed: it is reported once, and nothing more
        // reaches it.
        reportRunError_(error);
        outcome.written = false;
    }
    resultSet_.reset();
    return outcome;
}

std::optional<db::RowArrayBounds> TableBlockWriter::measure(const QString& query,
                                                            const QString& tableName) {
    // Label5 names the table once the query has run, also when it failed:
    // the status line follows the steps, whatever became of them.
    try {
        resultSet_ = execute(query);
        host_.setTableStatus(texts::tableStatus(tableName));
        if (resultSet_->atEnd())
            return db::RowArrayBounds{};
        const db::RowArrayBounds bounds = resultSet_->readAllRows();
        lastColumn_ = bounds.columns - 1;
        lastRow_ = bounds.rows - 1;
        return bounds;
    } catch (const Error& error) {
        host_.setTableStatus(texts::tableStatus(tableName));
        resultSet_.reset();
        reportRunError_(error);
        return std::nullopt;
    }
}

std::int32_t TableBlockWriter::writeRows(const QString& query, const QString& tableName) {
    // The second reading is made, and asked whether it has rows, before the
    // header is written. Any earlier result of the connection goes first.
    resultSet_.reset();
    try {
        resultSet_ = execute(query);
    } catch (const Error& error) {
        host_.setTableStatus(texts::tableStatus(tableName, std::int64_t{lastRow_} + 1));
        throw TableFailure{error};
    }
    host_.setTableStatus(texts::tableStatus(tableName, std::int64_t{lastRow_} + 1));
    const bool emptied = tableStep([&] { return resultSet_->atEnd(); });
    writeHeader(tableName, lastColumn_, lastRow_);
    if (emptied)  // emptied between the two readings: the header alone
        return 0;
    tableStep([&] { resultSet_->moveFirst(); });
    writeColumnLines();
    resolveColumns();
    return writeDataLines();
}

std::int32_t TableBlockWriter::writeDataLines() {
    std::int32_t rowsDone = 0;
    // A result that cannot say where it stands, or cannot move on, has
    // nothing more to give: the table is not read whole.
    while (!tableStep([&] { return resultSet_->atEnd(); })) {
        ++rowsDone;
        line_.truncate(0);
        line_.append(letterOf(LineKind::Data));
        for (Column& column : columns_)
            appendEntry(column);
        writeLine();
        host_.rowsDone(rowsDone);
        tableStep([&] { resultSet_->moveNext(); });
        host_.yield();
        if (host_.stopRequested())
            break;  // the run throws the whole file away
    }
    if (rowsDone > 0)
        host_.setRowsStatus(texts::rowsStatus(rowsDone));
    return rowsDone;
}

template <typename Entry>
void TableBlockWriter::writeColumnLine(LineKind kind, Entry&& entry) {
    line_.truncate(0);
    line_.append(letterOf(kind));
    for (std::int32_t k = 0; k <= lastColumn_; ++k) {
        line_.append(kSeparator);
        const qsizetype entryStart = line_.size();
        if (!entryStep([&] { entry(k, resultSet_->field(static_cast<int>(k))); }))
            line_.truncate(entryStart);  // an empty entry keeps the columns aligned
    }
    writeLine();
}

void TableBlockWriter::writeColumnLines() {
    if (fieldTypes_.size() < static_cast<size_t>(lastColumn_) + 1)
        fieldTypes_.resize(static_cast<size_t>(lastColumn_) + 1, db::adEmpty);
    writeColumnLine(LineKind::Names, [&](std::int32_t, db::Field& field) {
        const QString name = field.name();
        line_.append(kNameOpen);
        codePage_.appendUtf16(name, line_);
        line_.append(kNameClose);
    });
    // A type that cannot be read must not pass on an earlier table's type.
    std::fill_n(fieldTypes_.begin(), lastColumn_ + 1, std::int16_t{db::adEmpty});
    writeColumnLine(LineKind::Types, [&](std::int32_t k, db::Field& field) {
        const std::int16_t type = field.type();
        fieldTypes_[static_cast<size_t>(k)] = type;
        valueText_.appendInteger(type, line_);
    });
    writeColumnLine(LineKind::Sizes, [&](std::int32_t, db::Field& field) {
        valueText_.appendInteger(field.definedSize(), line_);
    });
    writeColumnLine(LineKind::Attributes, [&](std::int32_t, db::Field& field) {
        valueText_.appendInteger(field.attributes(), line_);
    });
}

void TableBlockWriter::resolveColumns() {
    // The value is reached by the column's name and its type by position;
    // both are fixed for the table, so they are looked up here, not per row.
    columns_.assign(static_cast<size_t>(lastColumn_) + 1, Column{});
    for (std::int32_t k = 0; k <= lastColumn_; ++k) {
        Column& column = columns_[static_cast<size_t>(k)];
        column.quoting = entryQuoting(fieldTypes_[static_cast<size_t>(k)]);
        entryStep([&] {
            const QString name = resultSet_->field(static_cast<int>(k)).name();
            column.field = &resultSet_->field(name);
        });
    }
}

void TableBlockWriter::appendEntry(Column& column) {
    line_.append(kSeparator);
    if (column.field == nullptr)
        return;  // reported when the column was looked up
    const qsizetype entryStart = line_.size();
    try {
        // One call gives both the value and whether it is null.
        const db::Value& stored = column.field->value();
        if (stored.isNull()) {
            line_.append(kNull);
            return;
        }
        const db::Value& value = textBeforeNul(column, stored);
        switch (column.quoting) {
            case EntryQuoting::Plain:
                valueText_.append(value, line_);
                // The text of an integer is digits and a sign: nothing to look for.
                if (value.kind != db::ValueKind::Integer && value.kind != db::ValueKind::Unsigned &&
                    plainEntryIsAmbiguous(line_.sliced(entryStart)))
                    ++ambiguousValues_;
                break;
            case EntryQuoting::Quoted:
                line_.append(kApostrophe);
                valueText_.append(value, line_);
                ambiguousValues_ += quotedTextIsAmbiguous(line_.sliced(entryStart + 1)) ? 1 : 0;
                line_.append(kApostrophe);
                break;
            case EntryQuoting::Cleaned:
                line_.append(kApostrophe);
                appendCleaned(value);
                ambiguousValues_ += quotedTextIsAmbiguous(line_.sliced(entryStart + 1)) ? 1 : 0;
                line_.append(kApostrophe);
                break;
        }
    } catch (const Error& error) {
        if (db::isConnectionFailure(error))
            throw TableFailure{error};
        line_.truncate(entryStart);  // an empty entry keeps the columns aligned
        reportRunError_(error);
    }
}

void TableBlockWriter::appendCleaned(const db::Value& value) {
    // The text is encoded first and trimmed and cleaned where it lies: the
    // blank, the apostrophe and the carriage return are single bytes that no
    // other character of a Windows code page contains.
    const qsizetype start = line_.size();
    valueText_.append(value, line_);
    const QByteArrayView written = line_.sliced(start);
    const QByteArrayView trimmed = trimBlanks(written);
    const qsizetype leading = trimmed.data() - written.data();
    if (leading > 0)
        std::memmove(line_.data() + start, trimmed.data(), static_cast<size_t>(trimmed.size()));
    line_.truncate(start + trimmed.size());
    CleanText(line_.data() + start, line_.data() + line_.size());
}

const db::Value& TableBlockWriter::textBeforeNul(const Column& column, const db::Value& value) {
    // A NUL byte ends a text for many readers of a text file, and for the
    // SQLite ODBC driver, which hands over only what comes before it: the
    // text is written up to it on every path, and what is left out is
    // reported.
    if ((value.kind != db::ValueKind::Text && value.kind != db::ValueKind::Other) ||
        value.data.isEmpty())
        return value;
    const void* nul = std::memchr(value.data.data(), '\0', static_cast<size_t>(value.data.size()));
    if (nul == nullptr)
        return value;
    cutValue_ = value;
    cutValue_.data = value.data.first(static_cast<const char*>(nul) - value.data.data());
    reportRunError_(Error(0, texts::textCutAtNul(column.field->name())));
    return cutValue_;
}

}  // namespace brivano::exporter
