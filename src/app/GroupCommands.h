#pragma once

#include <QString>

#include "app/TableSlots.h"
#include "export/TableGroups.h"
#include "texts/Texts.h"

namespace brivano::app {

using exporter::TableGroup;

// The commands of the group and selection buttons, on the table slots.

// The caption every slot carries before the first group is chosen.
inline QString initialSlotCaption() {
    return texts::kUnassignedSlot.toString();
}

// Puts every slot in its state at window creation: hidden, "Check1",
// unticked.
void initialiseSlots(TableSlots& tableSlots);

// Clears all thirty slots (hidden, caption "", unticked), then names the
// first n with the group's tables and shows them. Earlier ticks are lost,
// also when the same group is chosen again.
void applyGroup(TableSlots& tableSlots, const TableGroup& group);

// Ticks (unticks) every shown slot; hidden slots are left as they are, so a
// hidden slot is never ticked.
void tickAllShown(TableSlots& tableSlots);
void untickAllShown(TableSlots& tableSlots);

}  // namespace brivano::app
