#include "cli/ConsoleExportHost.h"

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::cli {
namespace {

// A terminal is redrawn at most this often; a count per row would cost more
// than the row itself.
constexpr qint64 kProgressIntervalMs = 100;

}  // namespace

ConsoleExportHost::ConsoleExportHost(QString connectionText, QStringList tables,
                                     std::FILE* messages, std::FILE* progress, bool quiet)
    : connectionText_(std::move(connectionText)),
      tables_(std::move(tables)),
      out_(messages),
      progress_(progress),
      quiet_(quiet) {
    sinceProgress_.start();
}

std::atomic<bool>& ConsoleExportHost::stopFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

exporter::SlotState ConsoleExportHost::slotState(int index) {
    return index >= 0 && index < tables_.size() ? exporter::Ticked : exporter::Unticked;
}

QString ConsoleExportHost::slotCaption(int index) {
    return index >= 0 && index < tables_.size() ? tables_.at(index) : QString();
}

void ConsoleExportHost::clearMessages() {
    messages_.clear();
}

void ConsoleExportHost::appendMessage(const QString& line, MessageKind kind) {
    messages_.append(line);
    if (kind == MessageKind::Report || !quiet_)
        print(line);
}

void ConsoleExportHost::print(const QString& line) {
    clearProgress();
    std::fputs(line.toLocal8Bit().constData(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void ConsoleExportHost::removeMessage(int index) {
    if (index < 0 || index >= messages_.size()) {
        throw Error(0, texts::noMessageLine(index));
    }
    messages_.removeAt(index);
}

void ConsoleExportHost::setTableStatus(const QString& text) {
    // Label5's text names the table the row counts belong to.
    currentTable_ = text;
}

void ConsoleExportHost::rowsDone(std::int32_t rowsDone) {
    if (progress_ == nullptr || sinceProgress_.elapsed() < kProgressIntervalMs)
        return;
    sinceProgress_.restart();
    const QByteArray text = (currentTable_ + texts::rowsStatus(rowsDone)).toLocal8Bit();
    std::fprintf(progress_, "\r%s\033[K", text.constData());
    std::fflush(progress_);
    progressShown_ = true;
}

void ConsoleExportHost::tableQuality(const QString& table, std::int64_t ambiguousValues,
                                     std::int64_t replacedCharacters) {
    if (ambiguousValues > 0 || replacedCharacters > 0)
        print(texts::tableQualityWarning(table, ambiguousValues, replacedCharacters));
}

void ConsoleExportHost::showMessage(const QString& text) {
    // The message box's words end a run's progress: the exit status says
    // the same to a script, so a quiet run leaves them out.
    if (!quiet_)
        print(text);
}

bool ConsoleExportHost::stopRequested() {
    // Once seen, the stop holds for the rest of the run, which then
    // abandons its file at its next look.
    if (stopFlag().load())
        stopSeen_ = true;
    return stopSeen_;
}

void ConsoleExportHost::clearProgress() {
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", progress_);
    std::fflush(progress_);
    progressShown_ = false;
}

}  // namespace brivano::cli
