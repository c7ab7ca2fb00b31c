#include "export/CommaAlignment.h"

#include <algorithm>

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
    const ColumnForm& form = forms_[k];
    const qsizetype start = boundaries_[i] + 1;
    if (form.quoted && start < body_.size() && body_[start] == '\'') {
        const qsizetype close = body_.indexOf('\'', start + 1);
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
        const bool fits = form.quoted ? piece.isEmpty() || piece == "Null" : fitsShape(form, piece);
        if (fits)
            to(j);
    }
}

std::vector<std::int32_t> CommaAlignment::culprits(QByteArrayView body) {
    std::vector<std::int32_t> found;
    if (!body.startsWith(','))
        return found;
    body_ = body;
    boundaries_.clear();
    for (qsizetype at = 0; (at = body.indexOf(',', at)) >= 0; ++at)
        boundaries_.push_back(at);
    boundaries_.push_back(body.size());
    const std::size_t columns = forms_.size();
    const std::size_t count = boundaries_.size();
    if (static_cast<std::int64_t>(columns + 1) * static_cast<std::int64_t>(count * count) >
        kMostWork)
        return found;
    // reached: column k can start after boundary i; finishes: from there
    // the rest of the line splits into the remaining columns.
    std::vector<bool> reached((columns + 1) * count, false);
    std::vector<bool> finishes((columns + 1) * count, false);
    auto at = [count](std::size_t k, std::size_t i) { return k * count + i; };
    reached[at(0, 0)] = true;
    for (std::size_t k = 0; k < columns; ++k) {
        for (std::size_t i = 0; i + 1 < count; ++i) {
            if (reached[at(k, i)])
                ends(k, i, [&](std::size_t j) { reached[at(k + 1, j)] = true; });
        }
    }
    if (!reached[at(columns, count - 1)])
        return found;
    finishes[at(columns, count - 1)] = true;
    std::vector<bool> culprit(columns, false);
    for (std::size_t k = columns; k-- > 0;) {
        for (std::size_t i = 0; i + 1 < count; ++i) {
            ends(k, i, [&](std::size_t j) {
                if (!finishes[at(k + 1, j)])
                    return;
                finishes[at(k, i)] = true;
                if (reached[at(k, i)] && j > i + 1)
                    culprit[k] = true;
            });
        }
    }
    for (std::size_t k = 0; k < columns; ++k) {
        if (culprit[k])
            found.push_back(static_cast<std::int32_t>(k));
    }
    return found;
}

}  // namespace brivano::exporter
