#include "cli/CheckReport.h"

#include "export/ExportLineSource.h"
#include "texts/Texts.h"

namespace brivano::cli {
namespace {

using exporter::ExportBlock;
using exporter::LineFault;
using exporter::LineProblem;

struct FaultText {
    LineFault fault;
    QStringView text;
};

constexpr FaultText kFaultTexts[] = {
    {LineFault::ExtraFields, texts::kFaultExtraFields},
    {LineFault::MissingFields, texts::kFaultMissingFields},
    {LineFault::UnclosedQuote, texts::kFaultUnclosedQuote},
    {LineFault::MissingQuote, texts::kFaultMissingQuote},
    {LineFault::TextAfterQuote, texts::kFaultTextAfterQuote},
    {LineFault::LineBreak, texts::kFaultLineBreak},
    {LineFault::AmbiguousName, texts::kFaultAmbiguousName},
    {LineFault::UnexpectedLine, texts::kFaultUnexpectedLine},
    {LineFault::WrongFieldCount, texts::kFaultWrongFieldCount},
    {LineFault::BadNumber, texts::kFaultBadNumber},
    {LineFault::FileEndsInLine, texts::kFaultFileEndsInLine},
    {LineFault::ControlByte, texts::kFaultControlByte},
};

QString columnName(const ExportBlock& block, std::int32_t position) {
    if (position >= 0 && static_cast<std::size_t>(position) < block.columns.size())
        return block.columns[static_cast<std::size_t>(position)].name;
    return texts::columnByPosition(position + 1);
}

QStringList concernedColumns(const ExportBlock& block) {
    QStringList names;
    for (std::size_t k = 0; k < block.columnsConcerned.size(); ++k) {
        if (block.columnsConcerned[k])
            names << columnName(block, static_cast<std::int32_t>(k));
    }
    return names;
}

QString ambiguousLines(const ExportBlock& block) {
    QList<std::int64_t> shown;
    for (const LineProblem& problem : block.problems) {
        if (shown.size() == CheckReport::kShownLines)
            break;
        shown << problem.line;
    }
    return texts::checkAmbiguousLines(block.problemCount, texts::checkLineList(shown),
                                      block.problemCount - shown.size(), concernedColumns(block));
}

QString dimensions(const ExportBlock& block) {
    if (block.isEmptyTable())
        return texts::kCheckEmptyTable.toString();
    if (block.wasEmptied())
        return texts::checkEmptied(block.rowsAnnounced());
    if (block.isShort())
        return texts::checkShortBlock(block.columnCount(), block.rowsAnnounced(), block.rowsFound);
    return texts::checkColumnsAndRows(block.columnCount(), block.rowsFound);
}

QString problemLine(const ExportBlock& block, const LineProblem& problem) {
    QStringList columns;
    for (const std::int32_t column : problem.columns)
        columns << columnName(block, column);
    QStringList faults;
    if (problem.has(LineFault::Continuation))
        faults << texts::checkContinuation(problem.relatedLine);
    if (problem.has(LineFault::LineTooLong))
        faults << texts::checkLineTooLong(exporter::ExportLineSource::kMostLineBytes);
    for (const FaultText& fault : kFaultTexts) {
        if (problem.has(fault.fault))
            faults << fault.text.toString();
    }
    return texts::checkProblem(problem.line, columns, faults);
}

}  // namespace

CheckReport::CheckReport(std::FILE* out, bool verbose) : out_(out), verbose_(verbose) {}

QString CheckReport::summary(const ExportBlock& block) {
    const QString size = dimensions(block);
    if (block.problemCount == 0) {
        return texts::checkSummary(
            block.name, block.isShort()
                            ? size
                            : size + QStringLiteral(", ") + texts::kCheckNoProblem.toString());
    }
    // The ambiguous lines say it all of a block that is otherwise whole.
    const bool whole = block.hasColumnLines && !block.isShort();
    return texts::checkSummary(
        block.name,
        whole ? ambiguousLines(block) : size + QStringLiteral("; ") + ambiguousLines(block));
}

QStringList CheckReport::details(const ExportBlock& block) {
    QStringList lines;
    for (const LineProblem& problem : block.problems)
        lines << problemLine(block, problem);
    const auto kept = static_cast<std::int64_t>(block.problems.size());
    if (block.problemCount > kept)
        lines << texts::checkMoreProblems(block.problemCount - kept);
    if (block.hasColumnLines && block.rowsFound > block.rowsAnnounced())
        lines << texts::checkExtraRows(block.rowsAnnounced(), block.rowsFound);
    return lines;
}

void CheckReport::blockRead(const ExportBlock& block) {
    if (!block.readsBack())
        allReadBack_ = false;
    print(summary(block));
    if (verbose_) {
        for (const QString& line : details(block))
            print(line);
    }
}

void CheckReport::print(const QString& line) {
    std::fputs(line.toLocal8Bit().constData(), out_);
    std::fputc('\n', out_);
}

}  // namespace brivano::cli
