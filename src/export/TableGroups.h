#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>

namespace brivano::exporter {

// One of the four fixed lists of tables that an operator exports together:
// the group's caption and its table names, the k-th name going to slot k.
struct TableGroup {
    QString caption;
    QStringList names;
};

inline constexpr int kGroupCount = 4;

// "Tempi", "Presenze", "Accessi", "Planning", in button order. The names are
// kept exactly as the target databases spell them (note "idPassaggi").
const std::array<TableGroup, kGroupCount>& tableGroups();

// The group with this caption, matched without regard to case; null when
// there is none.
const TableGroup* findTableGroup(QStringView caption);

}  // namespace brivano::exporter
