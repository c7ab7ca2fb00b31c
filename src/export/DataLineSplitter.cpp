#include "export/DataLineSplitter.h"

#include <algorithm>
#include <cstring>

#include "export/ExportFormat.h"

namespace brivano::exporter {
namespace {

qsizetype find(QByteArrayView text, char byte, qsizetype from) {
    const void* found =
        std::memchr(text.data() + from, byte, static_cast<size_t>(text.size() - from));
    return found == nullptr ? -1 : static_cast<const char*>(found) - text.data();
}

bool holdsBreak(QByteArrayView text) {
    return text.contains(kCarriageReturn) || text.contains(kLineFeed);
}

void addFault(LineProblem& problem, LineFault fault) {
    problem.faults |= static_cast<std::uint16_t>(fault);
}

void addColumn(LineProblem& problem, std::size_t column) {
    const auto position = static_cast<std::int32_t>(column);
    if (std::find(problem.columns.begin(), problem.columns.end(), position) ==
        problem.columns.end())
        problem.columns.push_back(position);
}

}  // namespace

void DataLineSplitter::setColumns(std::vector<ColumnForm> forms, std::vector<ColumnForm> wider) {
    forms_ = std::move(forms);
    wider_ = std::move(wider);
    entries_.assign(forms_.size(), ExportEntry{});
}

DataLineSplitter::Stop DataLineSplitter::splitEntries(QByteArrayView body, std::size_t& column) {
    qsizetype at = 0;  // at the comma before the next entry
    for (column = 0; column < forms_.size(); ++column) {
        if (at >= body.size())
            return Stop::Missing;
        const qsizetype start = at + 1;
        if (forms_[column].quoted && start < body.size() && body[start] == kApostrophe) {
            const qsizetype close = find(body, kApostrophe, start + 1);
            if (close < 0)
                return Stop::Unclosed;
            at = close + 1;
            if (at < body.size() && body[at] != kSeparator)
                return Stop::TextAfterQuote;
            entries_[column] = {body.sliced(start + 1, close - start - 1), true};
            continue;
        }
        const qsizetype comma = find(body, kSeparator, start);
        at = comma < 0 ? body.size() : comma;
        const QByteArrayView text = body.sliced(start, at - start);
        if (forms_[column].quoted && !fitsEveryColumn(text))
            return Stop::MissingQuote;
        entries_[column] = {text, false};
    }
    return at < body.size() ? Stop::Extra : Stop::None;
}

bool DataLineSplitter::split(const PhysicalLine& line, LineProblem& problem) {
    const QByteArrayView body = line.bytes.sliced(1);
    std::size_t column = 0;
    // The first entry follows a comma like every other.
    const Stop stop = body.startsWith(kSeparator) || body.isEmpty() ? splitEntries(body, column)
                                                                    : Stop::MissingQuote;
    if (stop == Stop::None && !line.hasBreak)
        return true;
    problem.faults = 0;
    problem.columns.clear();
    problem.relatedLine = 0;
    if (line.hasBreak)
        findBreaks(body, column, problem);
    if (stop == Stop::Missing)
        explainMissing(column, problem);
    else if (stop != Stop::None)
        explainCommas(body, stop, column, problem);
    return false;
}

void DataLineSplitter::explainCommas(QByteArrayView body, Stop stop, std::size_t column,
                                     LineProblem& problem) {
    // Surplus commas shift every entry after them: a quoted column then
    // meets a piece of something else. Where they fit some column, that
    // is what happened.
    alignment_.culprits(body, forms_, culprits_);
    if (culprits_.empty())
        alignment_.culprits(body, wider_, culprits_);
    if (!culprits_.empty() || stop == Stop::Extra) {
        addFault(problem, LineFault::ExtraFields);
        if (culprits_.empty()) {
            // No way fits: every plain column that may hold a comma is
            // a candidate.
            for (std::size_t k = 0; k < wider_.size(); ++k) {
                if (wider_[k].mayHoldComma)
                    addColumn(problem, k);
            }
        }
        for (const std::int32_t k : culprits_)
            addColumn(problem, static_cast<std::size_t>(k));
        return;
    }
    addFault(problem, stop == Stop::Unclosed       ? LineFault::UnclosedQuote
                      : stop == Stop::MissingQuote ? LineFault::MissingQuote
                                                   : LineFault::TextAfterQuote);
    addColumn(problem, std::min(column, forms_.size() - 1));
}

void DataLineSplitter::explainMissing(std::size_t column, LineProblem& problem) const {
    addFault(problem, LineFault::MissingFields);
    // The line ended inside the last entry it has: a plain text holding
    // CR LF; failing that, any such column before it.
    if (column > 0 && forms_[column - 1].mayHoldBreak) {
        addColumn(problem, column - 1);
        return;
    }
    for (std::size_t k = 0; k < column; ++k) {
        if (forms_[k].mayHoldBreak)
            addColumn(problem, k);
    }
}

void DataLineSplitter::findBreaks(QByteArrayView body, std::size_t column,
                                  LineProblem& problem) const {
    addFault(problem, LineFault::LineBreak);
    const std::size_t split = std::min(column, entries_.size());
    qsizetype end = 0;
    for (std::size_t k = 0; k < split; ++k) {
        const ExportEntry& entry = entries_[k];
        if (holdsBreak(entry.text))
            addColumn(problem, k);
        end = entry.text.data() + entry.text.size() - body.data();
    }
    // What the reader did not split belongs to the column it stopped at.
    if (split < forms_.size() && holdsBreak(body.sliced(end)))
        addColumn(problem, split);
}

}  // namespace brivano::exporter
