#pragma once

#include <array>

#include "app/TableSlots.h"

class QCheckBox;

namespace brivano::app {

// The table slots as the window's thirty check boxes. The boxes stay owned
// by the window; this only reads and writes them. "Shown" is the box's own
// hidden flag, not its visibility on screen, so it holds also before the
// window is shown.
class CheckBoxSlots : public TableSlots {
  public:
    // Throws Error when one of the boxes is missing.
    explicit CheckBoxSlots(const std::array<QCheckBox*, exporter::kSlotCount>& boxes);

    QString caption(int index) const override;
    void setCaption(int index, const QString& caption) override;
    bool isShown(int index) const override;
    void setShown(int index, bool shown) override;
    // Grayed is a tri-state box's third state; a value that is no tick
    // state throws Error.
    exporter::SlotState state(int index) const override;
    void setState(int index, exporter::SlotState state) override;

  private:
    QCheckBox& box(int index) const;

    std::array<QCheckBox*, exporter::kSlotCount> boxes_;
};

}  // namespace brivano::app
