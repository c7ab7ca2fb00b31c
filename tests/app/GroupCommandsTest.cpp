#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QWidget>
#include <array>
#include <memory>

#include "app/CheckBoxSlots.h"
#include "app/GroupCommands.h"
#include "db/Error.h"

namespace brivano::app {
namespace {

constexpr int kTempi = 0;
constexpr int kPresenze = 1;
constexpr int kAccessi = 2;
constexpr int kPlanning = 3;

// The slots as plain values: the commands' logic without any widget.
class ValueSlots : public TableSlots {
  public:
    QString caption(int i) const override { return captions_.at(i); }
    void setCaption(int i, const QString& caption) override { captions_.at(i) = caption; }
    bool isShown(int i) const override { return shown_.at(i); }
    void setShown(int i, bool shown) override { shown_.at(i) = shown; }
    exporter::SlotState state(int i) const override { return states_.at(i); }
    void setState(int i, exporter::SlotState state) override { states_.at(i) = state; }

  private:
    std::array<QString, exporter::kSlotCount> captions_;
    std::array<bool, exporter::kSlotCount> shown_{};
    std::array<exporter::SlotState, exporter::kSlotCount> states_{};
};

QApplication& application() {
    // Run without a display also when started outside ctest.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "TableGroupsTest";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

// The window's thirty check boxes, on a parent that is never shown.
class CheckBoxes {
  public:
    CheckBoxes() {
        for (QCheckBox*& box : boxes_)
            box = new QCheckBox(&parent_);
        tableSlots_ = std::make_unique<CheckBoxSlots>(boxes_);
    }
    TableSlots& tableSlots() { return *tableSlots_; }
    QCheckBox& box(int i) { return *boxes_.at(i); }

  private:
    QApplication& app_ = application();  // before the first widget
    QWidget parent_;
    std::array<QCheckBox*, exporter::kSlotCount> boxes_{};
    std::unique_ptr<CheckBoxSlots> tableSlots_;
};

struct ValueSlotsHolder {
    ValueSlots value;
    TableSlots& tableSlots() { return value; }
};

template <typename Holder>
class TableGroupsTest : public ::testing::Test {
  protected:
    TableGroupsTest() { initialiseSlots(tableSlots()); }
    TableSlots& tableSlots() { return holder_.tableSlots(); }

    std::vector<int> tickedSlots() {
        std::vector<int> ticked;
        for (int i = 0; i < exporter::kSlotCount; ++i) {
            if (tableSlots().state(i) != exporter::Unticked)
                ticked.push_back(i);
        }
        return ticked;
    }

    // The state every group command leaves: the group's names shown and
    // unticked in slots 0..n-1, the rest hidden, empty and unticked.
    void expectExactlyGroup(const TableGroup& group) {
        for (int i = 0; i < exporter::kSlotCount; ++i) {
            SCOPED_TRACE(i);
            const bool inGroup = i < group.names.size();
            EXPECT_EQ(tableSlots().isShown(i), inGroup);
            EXPECT_EQ(tableSlots().caption(i), inGroup ? group.names.at(i) : QString());
            EXPECT_EQ(tableSlots().state(i), exporter::Unticked);
        }
    }

  private:
    Holder holder_;
};

using SlotKinds = ::testing::Types<ValueSlotsHolder, CheckBoxes>;
TYPED_TEST_SUITE(TableGroupsTest, SlotKinds);

TYPED_TEST(TableGroupsTest, SlotsStartHiddenAndTickCommandsDoNothingBeforeAGroup) {
    tickAllShown(this->tableSlots());
    untickAllShown(this->tableSlots());
    tickAllShown(this->tableSlots());
    for (int i = 0; i < exporter::kSlotCount; ++i) {
        EXPECT_FALSE(this->tableSlots().isShown(i));
        EXPECT_EQ(this->tableSlots().caption(i), QStringLiteral("Check1"));
    }
    EXPECT_TRUE(this->tickedSlots().empty());
}

TYPED_TEST(TableGroupsTest, EveryGroupShowsItsNamesAndEmptiesTheOtherSlots) {
    // From each group to each other, so leftovers of a longer list show up.
    for (const TableGroup& from : exporter::tableGroups()) {
        for (const TableGroup& to : exporter::tableGroups()) {
            SCOPED_TRACE((from.caption + " -> " + to.caption).toStdString());
            applyGroup(this->tableSlots(), from);
            tickAllShown(this->tableSlots());
            applyGroup(this->tableSlots(), to);
            this->expectExactlyGroup(to);
        }
    }
}

TYPED_TEST(TableGroupsTest, TickOfATableSharedByTheNextGroupIsLost) {
    const auto& groups = exporter::tableGroups();
    applyGroup(this->tableSlots(), groups[kTempi]);
    ASSERT_EQ(this->tableSlots().caption(5), QStringLiteral("Dipendenti"));
    this->tableSlots().setState(5, exporter::Ticked);

    applyGroup(this->tableSlots(), groups[kPlanning]);
    EXPECT_EQ(this->tableSlots().caption(4), QStringLiteral("Dipendenti"));
    EXPECT_TRUE(this->tickedSlots().empty());

    this->tableSlots().setState(0, exporter::Ticked);
    applyGroup(this->tableSlots(), groups[kPlanning]);
    this->expectExactlyGroup(groups[kPlanning]);
}

TYPED_TEST(TableGroupsTest, TickAllTicksExactlyTheShownSlots) {
    applyGroup(this->tableSlots(), exporter::tableGroups()[kAccessi]);
    tickAllShown(this->tableSlots());
    const std::vector<int> zeroToTwelve = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    EXPECT_EQ(this->tickedSlots(), zeroToTwelve);
    EXPECT_EQ(this->tableSlots().caption(8), QStringLiteral("idPassaggi"));
}

TYPED_TEST(TableGroupsTest, UntickAllKeepsTheGroupAndClearsOnlyTicks) {
    const TableGroup& presenze = exporter::tableGroups()[kPresenze];
    applyGroup(this->tableSlots(), presenze);
    this->tableSlots().setState(3, exporter::Ticked);
    this->tableSlots().setState(11, exporter::Ticked);
    untickAllShown(this->tableSlots());
    this->expectExactlyGroup(presenze);
}

TEST(TableGroupTable, HoldsTheFourListsInButtonOrder) {
    struct Expected {
        const char* caption;
        int size;
        int dipendentiSlot;
    };
    const Expected expected[] = {
        {"Tempi", 18, 5}, {"Presenze", 12, 2}, {"Accessi", 13, 4}, {"Planning", 18, 4}};
    const auto& groups = exporter::tableGroups();
    for (int g = 0; g < static_cast<int>(groups.size()); ++g) {
        SCOPED_TRACE(expected[g].caption);
        EXPECT_EQ(groups[g].caption, QLatin1StringView(expected[g].caption));
        EXPECT_EQ(groups[g].names.size(), expected[g].size);
        EXPECT_EQ(groups[g].names.indexOf(QStringLiteral("Dipendenti")),
                  expected[g].dipendentiSlot);
        QStringList names = groups[g].names;
        EXPECT_EQ(names.removeDuplicates(), 0);
    }
    EXPECT_EQ(groups[kTempi].names.last(), QStringLiteral("Targhe"));
    EXPECT_EQ(groups[kPlanning].names.last(), QStringLiteral("TestatePrenotazioni"));
}

TEST(TableGroupTable, GroupLongerThanTheSlotsIsRefusedBeforeAnySlotChanges) {
    ValueSlots tableSlots;
    initialiseSlots(tableSlots);
    TableGroup tooLong{QStringLiteral("Troppe"), {}};
    for (int i = 0; i <= exporter::kSlotCount; ++i)
        tooLong.names.append(QStringLiteral("T%1").arg(i));
    EXPECT_THROW(applyGroup(tableSlots, tooLong), Error);
    EXPECT_EQ(tableSlots.caption(0), QStringLiteral("Check1"));
}

TEST(CheckBoxSlots, MapsShownAndTickStateOntoTheBoxes) {
    CheckBoxes boxes;
    TableSlots& tableSlots = boxes.tableSlots();
    initialiseSlots(tableSlots);
    tableSlots.setShown(7, true);
    tableSlots.setCaption(7, QStringLiteral("Ditta"));
    // The parent is never shown: "shown" is the box's own flag.
    EXPECT_TRUE(tableSlots.isShown(7));
    EXPECT_FALSE(tableSlots.isShown(8));
    EXPECT_EQ(boxes.box(7).text(), QStringLiteral("Ditta"));

    // The operator's click toggles the box; the slot reads it back.
    boxes.box(7).click();
    EXPECT_EQ(tableSlots.state(7), exporter::Ticked);

    const struct {
        exporter::SlotState state;
        Qt::CheckState boxState;
    } states[] = {{exporter::Ticked, Qt::Checked},
                  {exporter::Grayed, Qt::PartiallyChecked},
                  {exporter::Unticked, Qt::Unchecked}};
    for (const auto& entry : states) {
        tableSlots.setState(7, entry.state);
        EXPECT_EQ(boxes.box(7).checkState(), entry.boxState);
        EXPECT_EQ(tableSlots.state(7), entry.state);
    }
    EXPECT_THROW(tableSlots.setState(7, static_cast<exporter::SlotState>(3)), Error);
    EXPECT_THROW(tableSlots.setState(7, static_cast<exporter::SlotState>(-1)), Error);
    EXPECT_THROW(tableSlots.caption(exporter::kSlotCount), Error);
    EXPECT_THROW(tableSlots.setShown(-1, true), Error);
}

TEST(CheckBoxSlots, RefusesAMissingBox) {
    application();
    QWidget parent;
    std::array<QCheckBox*, exporter::kSlotCount> boxes{};
    for (int i = 0; i + 1 < exporter::kSlotCount; ++i)
        boxes[i] = new QCheckBox(&parent);
    EXPECT_THROW(CheckBoxSlots{boxes}, Error);
}

}  // namespace
}  // namespace brivano::app
