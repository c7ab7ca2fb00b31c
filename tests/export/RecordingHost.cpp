#include "RecordingHost.h"

#include <stdexcept>

namespace brivano::test {

void RecordingHost::tick(int index, const QString& caption) {
    states.at(static_cast<size_t>(index)) = exporter::Ticked;
    captions.at(static_cast<size_t>(index)) = caption;
}

exporter::SlotState RecordingHost::slotState(int index) {
    return states.at(static_cast<size_t>(index));
}

QString RecordingHost::slotCaption(int index) {
    return captions.at(static_cast<size_t>(index));
}

void RecordingHost::removeMessage(int index) {
    // A list box refuses a position it does not have; so does the double, so
    // that a wrong position shows up as a failing test.
    if (index < 0 || index >= messages.size())
        throw std::out_of_range("removeMessage: no line at that position");
    messages.removeAt(index);
}

void RecordingHost::setWaitPointer(bool wait) {
    waitPointer = wait;
    pointerChanges.push_back(wait);
}

void RecordingHost::showMessage(const QString& text) {
    shown.push_back({text, waitPointer, messages});
}

void RecordingHost::yield() {
    ++yields;
    if (onYield)
        onYield(yields);
}

}  // namespace brivano::test
