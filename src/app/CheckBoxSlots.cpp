#include "app/CheckBoxSlots.h"

#include <QCheckBox>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::app {
namespace {

Qt::CheckState checkStateOf(exporter::SlotState state) {
    switch (state) {
        case exporter::Unticked:
            return Qt::Unchecked;
        case exporter::Ticked:
            return Qt::Checked;
        case exporter::Grayed:
            return Qt::PartiallyChecked;
    }
    throw Error(0, texts::invalidSlotState(state));
}

}  // namespace

CheckBoxSlots::CheckBoxSlots(const std::array<QCheckBox*, exporter::kSlotCount>& boxes)
    : boxes_(boxes) {
    for (int i = 0; i < exporter::kSlotCount; ++i) {
        if (boxes_[i] == nullptr)
            throw Error(0, texts::missingSlot(i));
    }
}

QCheckBox& CheckBoxSlots::box(int index) const {
    if (index < 0 || index >= exporter::kSlotCount)
        throw Error(0, texts::slotOutOfRange(index));
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

exporter::SlotState CheckBoxSlots::state(int index) const {
    switch (box(index).checkState()) {
        case Qt::Checked:
            return exporter::Ticked;
        case Qt::PartiallyChecked:
            return exporter::Grayed;
        default:
            return exporter::Unticked;
    }
}

void CheckBoxSlots::setState(int index, exporter::SlotState state) {
    QCheckBox& target = box(index);
    target.setCheckState(checkStateOf(state));
}

}  // namespace brivano::app
