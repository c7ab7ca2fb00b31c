#include "export/CommaAlignment.h"

#include <algorithm>

#include "export/ExportFormat.h"

namespace brivano::exporter {
namespace {

// Beyond this many states times commas the line is not worth the time.
constexpr std::int64_t kMostWork = std::int64_t{1} << 26;
// A number, date or time holds its separator once, maybe twice; only text
// holds any number of commas.
constexpr std::size_t kMostPiecesOfAValue = 3;

}  // namespace

qsizetype CommaAlignment::boundaryAt(qsizetype offset) const {
    const auto found = std::lower_bound(boundaries_.begin(), boundaries_.end(), offset);
    if (found == boundaries_.end() || *found != offset)
        return -1;
    return found - boundaries_.begin();
}

template <typename To>
void CommaAlignment::ends(std::size_t k, std::size_t i, To&& to) const {
    const ColumnForm& form = (*forms_)[k];
    const qsizetype start = boundaries_[i] + 1;
    if (form.quoted && start < body_.size() && body_[start] == kApostrophe) {
        const qsizetype close = body_.indexOf(kApostrophe, start + 1);
        const qsizetype end = close < 0 ? -1 : boundaryAt(close + 1);
        if (end >= 0)
            to(static_cast<std::size_t>(end));
        return;
    }
    const std::size_t last = form.mayHoldComma
                                 ? (form.shape == EntryShape::Text
                                        ? boundaries_.size() - 1
                                        : std::min(boundaries_.size() - 1, i + kMostPiecesOfAValue))
                                 : i + 1;
    for (std::size_t j = i + 1; j <= last; ++j) {
        const QByteArrayView piece = body_.sliced(start, boundaries_[j] - start);
        const bool fits = form.quoted ? fitsEveryColumn(piece) : fitsShape(form, piece);
        if (fits)
            to(j);
    }
}

void CommaAlignment::culprits(QByteArrayView body, const std::vector<ColumnForm>& forms,
                              std::vector<std::int32_t>& found) {
    found.clear();
    if (!body.startsWith(kSeparator))
        return;
    forms_ = &forms;
    body_ = body;
    boundaries_.clear();
    for (qsizetype at = 0; (at = body.indexOf(kSeparator, at)) >= 0; ++at)
        boundaries_.push_back(at);
    boundaries_.push_back(body.size());
    const std::size_t columns = forms.size();
    const std::size_t count = boundaries_.size();
    if (static_cast<std::int64_t>(columns + 1) * static_cast<std::int64_t>(count * count) >
        kMostWork)
        return;
    reached_.assign((columns + 1) * count, 0);
    finishes_.assign((columns + 1) * count, 0);
    culprit_.assign(columns, 0);
    auto at = [count](std::size_t k, std::size_t i) { return k * count + i; };
    reached_[at(0, 0)] = 1;
    for (std::size_t k = 0; k < columns; ++k) {
        for (std::size_t i = 0; i + 1 < count; ++i) {
            if (reached_[at(k, i)])
                ends(k, i, [&](std::size_t j) { reached_[at(k + 1, j)] = 1; });
        }
    }
    if (!reached_[at(columns, count - 1)])
        return;
    finishes_[at(columns, count - 1)] = 1;
    for (std::size_t k = columns; k-- > 0;) {
        for (std::size_t i = 0; i + 1 < count; ++i) {
            // Only a way that starts at the line's start can name a culprit.
            if (!reached_[at(k, i)])
                continue;
            ends(k, i, [&](std::size_t j) {
                if (!finishes_[at(k + 1, j)])
                    return;
                finishes_[at(k, i)] = 1;
                if (j > i + 1)
                    culprit_[k] = 1;
            });
        }
    }
    for (std::size_t k = 0; k < columns; ++k) {
        if (culprit_[k])
            found.push_back(static_cast<std::int32_t>(k));
    }
}

}  // namespace brivano::exporter
