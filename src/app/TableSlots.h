#pragma once

#include <QString>

#include "export/ExportHost.h"

namespace brivano::app {

// The thirty table slots SelTab(0)..SelTab(29): the window's check boxes,
// seen only as caption, shown flag and tick state. They are the only store
// of the selection, so the group commands work on them through this
// interface and run in tests without the window.
class TableSlots {
  public:
    virtual ~TableSlots() = default;

    virtual QString caption(int index) const = 0;
    virtual void setCaption(int index, const QString& caption) = 0;
    virtual bool isShown(int index) const = 0;
    virtual void setShown(int index, bool shown) = 0;
    virtual exporter::SlotState state(int index) const = 0;
    virtual void setState(int index, exporter::SlotState state) = 0;
};

}  // namespace brivano::app
