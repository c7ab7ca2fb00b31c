#include "app/CheckBoxSlots.h"

#include <QCheckBox>
#include <iterator>

#include "db/Error.h"

namespace brivano::app {
namespace {

// The tick states the window's boxes can take, by value.
constexpr Qt::CheckState kStates[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};
constexpr int kStateCount = static_cast<int>(std::size(kStates));

}  // namespace

CheckBoxSlots::CheckBoxSlots(const std::array<QCheckBox*, kCount>& boxes) : boxes_(boxes) {
    for (int i = 0; i < kCount; ++i) {
        if (boxes_[i] == nullptr)
            throw Error(0, QStringLiteral("Casella SelTab(%1) mancante").arg(i));
    }
}

QCheckBox& CheckBoxSlots::box(int index) const {
    if (index < 0 || index >= kCount)
        throw Error(0, QStringLiteral("Indice SelTab(%1) fuori intervallo").arg(index));
    return *boxes_[index];
}

QString CheckBoxSlots::caption(int index) const {
    return box(index).text();
}

void CheckBoxSlots::setCaption(int index, const QString& caption) {
    box(index).setText(caption);
}

bool CheckBoxSlots::isShown(int index) const {
    return !box(index).isHidden();
}

void CheckBoxSlots::setShown(int index, bool shown) {
    box(index).setHidden(!shown);
}

int CheckBoxSlots::state(int index) const {
    const Qt::CheckState checkState = box(index).checkState();
    for (int value = 0; value < kStateCount; ++value) {
        if (kStates[value] == checkState)
            return value;
    }
    return kUnticked;
}

void CheckBoxSlots::setState(int index, int state) {
    QCheckBox& target = box(index);
    if (state < 0 || state >= kStateCount)
        throw Error(0, QStringLiteral("Stato %1 non valido per SelTab(%2)").arg(state).arg(index));
    target.setCheckState(kStates[state]);
}

}  // namespace brivano::app
