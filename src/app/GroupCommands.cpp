#include "app/GroupCommands.h"

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::app {
namespace {

void setShownStates(TableSlots& tableSlots, exporter::SlotState state) {
    for (int i = 0; i < exporter::kSlotCount; ++i) {
        if (tableSlots.isShown(i))
            tableSlots.setState(i, state);
    }
}

}  // namespace

void initialiseSlots(TableSlots& tableSlots) {
    for (int i = 0; i < exporter::kSlotCount; ++i) {
        tableSlots.setShown(i, false);
        tableSlots.setCaption(i, initialSlotCaption());
        tableSlots.setState(i, exporter::Unticked);
    }
}

void applyGroup(TableSlots& tableSlots, const TableGroup& group) {
    const auto count = group.names.size();
    if (count > exporter::kSlotCount) {
        throw Error(0, texts::groupTooLong(group.caption, count, exporter::kSlotCount));
    }
    // Hide before clearing so that no slot is ever shown with a stale caption
    // or tick while the commands run.
    for (int i = 0; i < exporter::kSlotCount; ++i) {
        tableSlots.setShown(i, false);
        tableSlots.setCaption(i, QString());
        tableSlots.setState(i, exporter::Unticked);
    }
    for (int k = 0; k < count; ++k)
        tableSlots.setCaption(k, group.names.at(k));
    for (int k = 0; k < count; ++k)
        tableSlots.setShown(k, true);
}

void tickAllShown(TableSlots& tableSlots) {
    setShownStates(tableSlots, exporter::Ticked);
}

void untickAllShown(TableSlots& tableSlots) {
    setShownStates(tableSlots, exporter::Unticked);
}

}  // namespace brivano::app
