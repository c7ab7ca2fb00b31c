#include "app/QtPrinter.h"

#include "db/Error.h"
#include "platform/PrintSpool.h"
#include "texts/Texts.h"

#include <QDir>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>

namespace brivano::app {

namespace {

// Fine enough for text, and the same for the PDF file and the printer.
constexpr auto kPrinterMode = QPrinter::HighResolution;
constexpr char kDocumentTitle[] = "Brivano";

QString spoolFileTemplate() {
    return QDir::tempPath() + QStringLiteral("/brivano-print-XXXXXX");
}

[[noreturn]] void fail(const QString& reason, long number = 0) {
    throw Error(number, texts::printFailed(reason));
}

}  // namespace

std::unique_ptr<QtPrinter> QtPrinter::forDefaultPrinter() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        fail(texts::kNoPrinter.toString());
    }
    return forQueue(info.printerName());
}

std::unique_ptr<QtPrinter> QtPrinter::forQueue(const QString& name) {
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull()) {
        fail(texts::noSuchPrinter(name));
    }
    auto printer = std::make_unique<QPrinter>(info, kPrinterMode);
    return std::unique_ptr<QtPrinter>(new QtPrinter(std::move(printer), info.printerName()));
}

std::unique_ptr<QtPrinter> QtPrinter::toPdfFile(const QString& path) {
    auto printer = std::make_unique<QPrinter>(kPrinterMode);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return std::unique_ptr<QtPrinter>(new QtPrinter(std::move(printer), QString()));
}

QtPrinter::QtPrinter(std::unique_ptr<QPrinter> printer, QString queue)
    : printer_(std::move(printer)), queue_(std::move(queue)) {
    printer_->setDocName(QString::fromLatin1(kDocumentTitle));
    printer_->setCreator(QString::fromLatin1(kDocumentTitle));
}

QtPrinter::~QtPrinter() {
    discardDocument();
}

void QtPrinter::setFontSize(float points) {
    if (!std::isfinite(points) || points <= 0) {
        fail(texts::invalidFontSize(points));
    }
    font_.setPointSizeF(points);
    applyFont();
}

void QtPrinter::setBold(bool on) {
    font_.setBold(on);
    applyFont();
}

void QtPrinter::printLine(const QString& text, int indentColumns) {
    if (!painter_.isActive()) {
        beginDocument();
    }
    // The first line of a page is printed even when it is taller than the page.
    if (nextLineTop_ > 0 && nextLineTop_ + lineSpacing_ > pageHeight_) {
        if (!printer_->newPage()) {
            fail(texts::kCannotStartPage.toString());
        }
        nextLineTop_ = 0;
    }
    if (!text.isEmpty()) {
        const qreal left = std::max(indentColumns, 0) * columnWidth_;
        painter_.drawText(QPointF(left, nextLineTop_ + ascent_), text);
    }
    nextLineTop_ += lineSpacing_;
}

void QtPrinter::endDocument() {
    if (!painter_.isActive()) {
        return;  // nothing printed since the last end: there is no document
    }
    const bool finished = painter_.end();
    nextLineTop_ = 0;
    // The spool file is removed when this function returns, however it returns.
    const std::unique_ptr<QTemporaryFile> spool = std::move(spoolFile_);
    if (!finished) {
        fail(texts::kCannotFinishDocument.toString());
    }
    if (spool) {
        platform::submitPrintFile(queue_, spool->fileName(), QString::fromLatin1(kDocumentTitle),
                                  printer_->pageLayout().pageSize().key().toUtf8());
    }
}

void QtPrinter::beginDocument() {
    if (!queue_.isEmpty() && platform::printsThroughSpoolFile()) {
        // Qt writes the document here instead of sending it itself; see
        // platform::submitPrintFile().
        auto spool = std::make_unique<QTemporaryFile>(spoolFileTemplate());
        if (!spool->open()) {
            fail(texts::cannotCreateSpoolFile(spool->errorString()));
        }
        spool->close();
        printer_->setOutputFileName(spool->fileName());
        spoolFile_ = std::move(spool);
    }
    if (!painter_.begin(printer_.get())) {
        spoolFile_.reset();
        fail(queue_.isEmpty() ? texts::cannotWritePdf(printer_->outputFileName())
                              : texts::cannotPrepareForPrinter(queue_));
    }
    pageHeight_ = printer_->height();
    nextLineTop_ = 0;
    applyFont();
}

void QtPrinter::applyFont() {
    if (!painter_.isActive()) {
        return;  // taken up when the document begins
    }
    painter_.setFont(font_);
    const QFontMetricsF metrics(painter_.font(), printer_.get());
    ascent_ = metrics.ascent();
    lineSpacing_ = metrics.lineSpacing();
    columnWidth_ = metrics.averageCharWidth();
}

// An interrupted document is closed but never sent to a queue.
void QtPrinter::discardDocument() noexcept {
    if (painter_.isActive()) {
        painter_.end();
    }
    spoolFile_.reset();
}

}  // namespace brivano::app
