#pragma once

#include <QString>
#include <QStringList>
#include <array>

#include "app/TableSlots.h"

namespace brivano::app {

// One of the four fixed lists of tables behind the group buttons: the
// button's caption and the table names, the k-th name going to slot k.
struct TableGroup {
    QString caption;
    QStringList names;
};

// "Tempi", "Presenze", "Accessi", "Planning", in button order. The names are
// kept exactly as the target databases spell them (note "idPassaggi").
const std::array<TableGroup, 4>& tableGroups();

// The caption every slot carries before the first group is chosen.
inline QString initialSlotCaption() {
    return QStringLiteral("Check1");
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
