#include "app/TableGroups.h"

#include "db/Error.h"

namespace brivano::app {
namespace {

std::array<TableGroup, 4> makeTableGroups() {
    return {{
        {QStringLiteral("Tempi"),
         {QStringLiteral("Brand"), QStringLiteral("Calendario"), QStringLiteral("Causali"),
          QStringLiteral("CausaliOrd"), QStringLiteral("Clienti"), QStringLiteral("Dipendenti"),
          QStringLiteral("Ditta"), QStringLiteral("Filiali"), QStringLiteral("Orari"),
          QStringLiteral("Ordini"), QStringLiteral("OreFatt"), QStringLiteral("OreFattImport"),
          QStringLiteral("OreLavoro"), QStringLiteral("Organico"), QStringLiteral("Reparti"),
          QStringLiteral("RigheOrdini"), QStringLiteral("SchedeLav"), QStringLiteral("Targhe")}},
        {QStringLiteral("Presenze"),
         {QStringLiteral("Calendario"), QStringLiteral("CausaliPre"), QStringLiteral("Dipendenti"),
          QStringLiteral("Ditta"), QStringLiteral("Filiali"), QStringLiteral("Orari"),
          QStringLiteral("OreLavoro"), QStringLiteral("Organico"), QStringLiteral("Presenze"),
          QStringLiteral("Reparti"), QStringLiteral("TestateTurni"), QStringLiteral("Turni")}},
        {QStringLiteral("Accessi"),
         {QStringLiteral("Assegnazioni"), QStringLiteral("Brand"), QStringLiteral("CausaliParc"),
          QStringLiteral("Destinazioni"), QStringLiteral("Dipendenti"), QStringLiteral("Ditta"),
          QStringLiteral("Filiali"), QStringLiteral("GruppiParc"), QStringLiteral("idPassaggi"),
          QStringLiteral("Organico"), QStringLiteral("Passaggi"), QStringLiteral("Postazioni"),
          QStringLiteral("Reparti")}},
        {QStringLiteral("Planning"),
         {QStringLiteral("Auto"), QStringLiteral("Brand"), QStringLiteral("Calendario"),
          QStringLiteral("Clienti"), QStringLiteral("Dipendenti"), QStringLiteral("Ditta"),
          QStringLiteral("Filiali"), QStringLiteral("Operazioni"), QStringLiteral("Ordini"),
          QStringLiteral("OreImp"), QStringLiteral("Organico"), QStringLiteral("Presenze"),
          QStringLiteral("Reparti"), QStringLiteral("RigheOrdini"),
          QStringLiteral("RighePrenotazioni"), QStringLiteral("SchedeLav"),
          QStringLiteral("Targhe"), QStringLiteral("TestatePrenotazioni")}},
    }};
}

void setShownStates(TableSlots& tableSlots, int state) {
    for (int i = 0; i < TableSlots::kCount; ++i) {
        if (tableSlots.isShown(i))
            tableSlots.setState(i, state);
    }
}

}  // namespace

const std::array<TableGroup, 4>& tableGroups() {
    static const std::array<TableGroup, 4> groups = makeTableGroups();
    return groups;
}

void initialiseSlots(TableSlots& tableSlots) {
    for (int i = 0; i < TableSlots::kCount; ++i) {
        tableSlots.setShown(i, false);
        tableSlots.setCaption(i, initialSlotCaption());
        tableSlots.setState(i, TableSlots::kUnticked);
    }
}

void applyGroup(TableSlots& tableSlots, const TableGroup& group) {
    const auto count = group.names.size();
    if (count > TableSlots::kCount) {
        throw Error(0, QStringLiteral("Il gruppo \"%1\" ha %2 tabelle, al massimo %3")
                           .arg(group.caption)
                           .arg(count)
                           .arg(TableSlots::kCount));
    }
    // Hide before clearing so that no slot is ever shown with a stale caption
    // or tick while the commands run.
    for (int i = 0; i < TableSlots::kCount; ++i) {
        tableSlots.setShown(i, false);
        tableSlots.setCaption(i, QString());
        tableSlots.setState(i, TableSlots::kUnticked);
    }
    for (int k = 0; k < count; ++k)
        tableSlots.setCaption(k, group.names.at(k));
    for (int k = 0; k < count; ++k)
        tableSlots.setShown(k, true);
}

void tickAllShown(TableSlots& tableSlots) {
    setShownStates(tableSlots, TableSlots::kTicked);
}

void untickAllShown(TableSlots& tableSlots) {
    setShownStates(tableSlots, TableSlots::kUnticked);
}

}  // namespace brivano::app
