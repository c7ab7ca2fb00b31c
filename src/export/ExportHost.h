#pragma once

#include <QString>
#include <cstdint>

namespace brivano::exporter {

// The thirty table slots SelTab(0)..SelTab(29) that choose the tables of a
// run, and the tick states a slot can have; only a ticked slot takes part.
inline constexpr int kSlotCount = 30;
enum SlotState : int { Unticked = 0, Ticked = 1, Grayed = 2 };

// Everything the export engine needs from whoever drives it: the main
// window, the command-line program, or a recording double in the tests.
// The engine includes no widget header; this is its only way out.
class ExportHost {
  public:
    virtual ~ExportHost() = default;

    // The connection string box (Text2).
    virtual QString connectionText() = 0;

    // Table slots SelTab(0)..SelTab(29), read when the run reaches them.
    virtual SlotState slotState(int index) = 0;
    virtual QString slotCaption(int index) = 0;

    // What a line of the message list tells: how a table is getting on, or
    // a failure (a report line).
    enum class MessageKind { Progress, Report };

    // The message list (Errori). Positions count from 0.
    virtual void clearMessages() = 0;
    virtual void appendMessage(const QString& line, MessageKind kind) = 0;
    virtual void removeMessage(int index) = 0;
    virtual int messageCount() = 0;
    virtual void repaintMessages() = 0;

    // The status line. Label5 names the table; Label7 counts the rows. Both
    // setters show their text at once.
    virtual void setTableStatus(const QString& text) = 0;  // Label5
    virtual void setRowsStatus(const QString& text) = 0;   // Label7
    // Called after every data line with the rows written so far; the host
    // shows " Elaborati:" + rowsDone (rowsStatusText) when it chooses to
    // repaint. The writer calls setRowsStatus with the final count when the
    // table's rows end, so the last count is always shown.
    virtual void rowsDone(std::int32_t rowsDone) = 0;

    // After a table's block is written: how many of its values will read
    // back ambiguously and how many characters became "?". The window's
    // list does not show this; a command-line host may warn.
    virtual void tableQuality(const QString& table, std::int64_t ambiguousValues,
                              std::int64_t replacedCharacters) {
        (void)table;
        (void)ambiguousValues;
        (void)replacedCharacters;
    }

    // The wait pointer over the whole window, on or off.
    virtual void setWaitPointer(bool wait) = 0;
    // A modal message with an OK button; returns when the operator closed it.
    virtual void showMessage(const QString& text) = 0;
    // Lets the host process its pending events (after every data row).
    virtual void yield() = 0;
    // True once the host asked the run to stop (the window is closing).
    virtual bool stopRequested() = 0;
};

}  // namespace brivano::exporter
