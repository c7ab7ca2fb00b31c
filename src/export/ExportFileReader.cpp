#include "export/ExportFileReader.h"

#include <QStringList>
#include <algorithm>
#include <charconv>

#include "db/AdoTypes.h"
#include "db/Error.h"
#include "export/ExportFormat.h"
#include "texts/Texts.h"

namespace brivano::exporter {
namespace {

// More columns than any database allows: the header is not one.
constexpr std::int64_t kMostColumns = std::int64_t{1} << 16;

bool readNumber(QByteArrayView text, std::int64_t& number) {
    if (text.isEmpty())
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

// "I,<name>,<lastColumn>,<lastRow>": the name may hold commas, so the
// numbers are taken from the right.
bool readHeader(QByteArrayView bytes, QByteArrayView& name, std::int64_t& lastColumn,
                std::int64_t& lastRow) {
    if (lineKind(bytes) != LineKind::Header)
        return false;
    const qsizetype rowComma = bytes.lastIndexOf(kSeparator);
    const qsizetype columnComma = bytes.lastIndexOf(kSeparator, rowComma - 1);
    if (columnComma < 2)
        return false;
    name = bytes.sliced(2, columnComma - 2);
    return readNumber(bytes.sliced(columnComma + 1, rowComma - columnComma - 1), lastColumn) &&
           readNumber(bytes.sliced(rowComma + 1), lastRow) && lastColumn >= 0 &&
           lastColumn < kMostColumns && lastRow >= 0;
}

// A NUL or another control byte: nothing the loading side expects inside
// a line (the tab is ordinary text; CR and LF are breaks, told apart).
bool holdsControlByte(QByteArrayView bytes) {
    constexpr unsigned char kFirstPrintable = 0x20;
    constexpr unsigned char kDelete = 0x7F;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if ((c < kFirstPrintable && c != '\t' && c != '\r' && c != '\n') || c == kDelete)
            return true;
    }
    return false;
}

}  // namespace

ExportFileReader::ExportFileReader(QString path, Settings settings)
    : path_(std::move(path)), settings_(settings) {}

QString ExportFileReader::decode(QByteArrayView bytes) const {
    return platform::decodeCodePage(bytes, settings_.codePage);
}

void ExportFileReader::read(ExportFileVisitor& visitor) {
    visitor_ = &visitor;
    inBlock_ = false;
    ExportLineSource lines(path_, settings_.bufferBytes, settings_.mostLineBytes);
    PhysicalLine line;
    if (!lines.next(line))
        throw Error(0, texts::exportFileIsEmpty(path_));
    // No header is longer than a line may be held.
    if (line.tooLong || !startBlock(line))
        throw Error(0, texts::notAnExportFile(path_));
    lineFaults_ =
        holdsControlByte(line.bytes) ? static_cast<std::uint16_t>(LineFault::ControlByte) : 0;
    lineKept_ = false;
    if (!line.terminated)
        addProblem(line.number, LineFault::FileEndsInLine);
    else if (lineFaults_ != 0)
        addProblem(line.number, LineFault::ControlByte);
    while (lines.next(line))
        readLine(line);
    finishBlock();
}

void ExportFileReader::readLine(const PhysicalLine& line) {
    lineKept_ = false;
    if (line.tooLong) {
        // Only its kind is known: a data line still counts as a row.
        lineFaults_ = 0;
        if (lineKind(line.bytes) == LineKind::Data && expect_ == Expect::Rows)
            ++block_.rowsFound;
        splitLine_ = 0;
        addProblem(line.number, LineFault::LineTooLong);
        return;
    }
    lineFaults_ =
        holdsControlByte(line.bytes) ? static_cast<std::uint16_t>(LineFault::ControlByte) : 0;
    readLineByKind(line);
    if (lineFaults_ != 0 && !lineKept_)
        addProblem(line.number, LineFault::ControlByte);
}

void ExportFileReader::readLineByKind(const PhysicalLine& line) {
    if (!line.terminated) {
        // Cut short on its way: the line is not whole, nor is its row.
        addProblem(line.number, LineFault::FileEndsInLine);
        return;
    }
    const LineKind kind = lineKind(line.bytes);
    if (kind == LineKind::Header && startBlock(line))
        return;
    if (kind == LineKind::Data && expect_ == Expect::Rows) {
        readDataLine(line);
        return;
    }
    if (expect_ != Expect::Rows) {
        readColumnLine(line);
        return;
    }
    readOtherLine(line);
}

bool ExportFileReader::startBlock(const PhysicalLine& line) {
    QByteArrayView name;
    std::int64_t lastColumn = 0;
    std::int64_t lastRow = 0;
    if (!readHeader(line.bytes, name, lastColumn, lastRow))
        return false;
    finishBlock();
    block_ = ExportBlock{};
    block_.name = decode(name);
    block_.headerLine = line.number;
    block_.lastColumn = lastColumn;
    block_.lastRow = lastRow;
    inBlock_ = true;
    expect_ = Expect::Names;
    splitLine_ = 0;
    return true;
}

void ExportFileReader::finishBlock() {
    if (!inBlock_)
        return;
    inBlock_ = false;
    visitor_->blockRead(block_);
}

void ExportFileReader::readColumnLine(const PhysicalLine& line) {
    // In the order of Expect.
    static constexpr LineKind kKinds[] = {LineKind::Names, LineKind::Types, LineKind::Sizes,
                                          LineKind::Attributes};
    const LineKind kind = lineKind(line.bytes);
    const LineKind expected = kKinds[static_cast<int>(expect_)];
    if (kind != expected) {
        addProblem(line.number, LineFault::UnexpectedLine);
        // Data without all its column lines: its columns are unknown, so
        // every value may be anything.
        if (kind == LineKind::Data && expect_ != Expect::Names) {
            expect_ = Expect::Rows;
            setForms();
            ++block_.rowsFound;
        }
        return;
    }
    if (expect_ == Expect::Names) {
        block_.hasColumnLines = true;
        block_.columns.assign(static_cast<std::size_t>(block_.columnCount()), ExportColumn{});
        block_.columnsConcerned.assign(block_.columns.size(), false);
        readNames(line);
        expect_ = Expect::Types;
        return;
    }
    readNumbers(line, expect_);
    expect_ = static_cast<Expect>(static_cast<int>(expect_) + 1);
    if (expect_ == Expect::Rows)
        setForms();
}

void ExportFileReader::readNames(const PhysicalLine& line) {
    const QString text = decode(line.bytes.sliced(1));
    const qsizetype count = static_cast<qsizetype>(block_.columns.size());
    const QLatin1Char separator(kSeparator);
    const QLatin1Char open(kNameOpen);
    const QLatin1Char close(kNameClose);
    QStringList parts = text.split(separator);
    parts.removeFirst();
    const bool clear =
        parts.size() == count && std::all_of(parts.begin(), parts.end(), [&](const QString& part) {
            return part.startsWith(open) && part.endsWith(close) && part.count(close) == 1;
        });
    if (!clear) {
        // "],[" parts them unless a name holds that too.
        const QString between = QString(close) + separator + open;
        parts = text.startsWith(QString(separator) + open) && text.endsWith(close)
                    ? text.sliced(2, text.size() - 3).split(between)
                    : QStringList();
        std::vector<std::int32_t> concerned;
        for (qsizetype k = 0; k < parts.size() && parts.size() == count; ++k) {
            if (parts[k].contains(separator) || parts[k].contains(close))
                concerned.push_back(static_cast<std::int32_t>(k));
        }
        addProblem(line.number, LineFault::AmbiguousName, std::move(concerned));
    }
    for (qsizetype k = 0; k < count; ++k) {
        QString& name = block_.columns[static_cast<std::size_t>(k)].name;
        if (parts.size() == count)
            name = clear ? parts[k].sliced(1, parts[k].size() - 2) : parts[k];
        else
            name = texts::columnByPosition(static_cast<int>(k) + 1);
    }
}

void ExportFileReader::readNumbers(const PhysicalLine& line, Expect kind) {
    const QByteArrayView body = line.bytes.sliced(1);
    std::size_t k = 0;
    bool numbers = true;
    for (qsizetype at = 0; at < body.size(); ++k) {
        qsizetype next = body.indexOf(kSeparator, at + 1);
        if (next < 0)
            next = body.size();
        const QByteArrayView entry = body.sliced(at + 1, next - at - 1);
        std::int64_t number = db::adEmpty;  // an empty entry: not readable when written
        numbers = numbers && (entry.isEmpty() || readNumber(entry, number));
        if (kind == Expect::Types && k < block_.columns.size())
            block_.columns[k].type = static_cast<std::int16_t>(number);
        at = next;
    }
    if (k != block_.columns.size())
        addProblem(line.number, LineFault::WrongFieldCount);
    else if (!numbers)
        addProblem(line.number, LineFault::BadNumber);
}

void ExportFileReader::setForms() {
    std::vector<ColumnForm> forms;
    std::vector<ColumnForm> wider;
    for (ExportColumn& column : block_.columns) {
        column.form = columnForm(column.type, settings_.commas);
        forms.push_back(column.form);
        wider.push_back(columnForm(column.type, CommaSettings::anyLocale()));
    }
    splitter_.setColumns(std::move(forms), std::move(wider));
}

void ExportFileReader::readDataLine(const PhysicalLine& line) {
    ++block_.rowsFound;
    splitLine_ = 0;
    if (splitter_.split(line, problem_)) {
        if (lineFaults_ != 0) {
            // The columns whose entries hold the control bytes.
            std::vector<std::int32_t> columns;
            const std::vector<ExportEntry>& entries = splitter_.entries();
            for (std::size_t k = 0; k < entries.size(); ++k) {
                if (holdsControlByte(entries[k].text))
                    columns.push_back(static_cast<std::int32_t>(k));
            }
            addProblem(line.number, LineFault::ControlByte, std::move(columns));
        }
        if (visitor_->wantsRows())
            visitor_->dataRow(block_, line.number, splitter_.entries());
        return;
    }
    problem_.line = line.number;
    keepProblem(problem_);
    if (problem_.has(LineFault::MissingFields)) {
        splitLine_ = line.number;
        splitColumns_ = problem_.columns;
    }
}

void ExportFileReader::readOtherLine(const PhysicalLine& line) {
    if (splitLine_ == 0) {
        addProblem(line.number, LineFault::UnexpectedLine);
        return;
    }
    // The rest of a data line that a CR LF inside a value split.
    LineProblem problem;
    problem.line = line.number;
    problem.faults = static_cast<std::uint16_t>(LineFault::Continuation);
    problem.columns = splitColumns_;
    problem.relatedLine = splitLine_;
    keepProblem(std::move(problem));
}

void ExportFileReader::addProblem(std::int64_t line, LineFault fault,
                                  std::vector<std::int32_t> columns) {
    LineProblem problem;
    problem.line = line;
    problem.faults = static_cast<std::uint16_t>(fault);
    problem.columns = std::move(columns);
    keepProblem(std::move(problem));
}

void ExportFileReader::keepProblem(LineProblem problem) {
    problem.faults |= lineFaults_;
    lineKept_ = true;
    block_.addProblem(problem);
}

}  // namespace brivano::exporter
