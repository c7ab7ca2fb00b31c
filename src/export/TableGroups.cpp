#include "export/TableGroups.h"

namespace brivano::exporter {
namespace {

std::array<TableGroup, kGroupCount> makeTableGroups() {
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

}  // namespace

const std::array<TableGroup, kGroupCount>& tableGroups() {
    static const std::array<TableGroup, kGroupCount> groups = makeTableGroups();
    return groups;
}

const TableGroup* findTableGroup(QStringView caption) {
    for (const TableGroup& group : tableGroups()) {
        if (group.caption.compare(caption, Qt::CaseInsensitive) == 0)
            return &group;
    }
    return nullptr;
}

}  // namespace brivano::exporter
