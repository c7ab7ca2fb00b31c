#pragma once

#include "app/Printer.h"

#include <QFont>
#include <QPainter>
#include <QString>
#include <memory>

class QPrinter;
class QTemporaryFile;

namespace brivano::app {

// The printer interface on a real device: Qt draws every document with
// QPainter, either into a PDF file or for a print queue; on Linux into a
// private spool file that platform then hands to the queue (see
// PrintSpool.h), elsewhere straight to the printer. The font is the
// printer's default face; only its size and weight are changed.
//
// Title indent: printLine(text, n) leaves n blank columns before the text, so
// the text starts in column n + 1 (the title, after 43 columns, in column 44).
// A column is the average character width of the current font.
class QtPrinter : public Printer {
  public:
    // The system's default printer. Throws brivano::Error with the text
    // "Stampa non riuscita: nessuna stampante disponibile" when there is none.
    static std::unique_ptr<QtPrinter> forDefaultPrinter();
    // The print queue called `name`; throws when the print system has no such queue.
    static std::unique_ptr<QtPrinter> forQueue(const QString& name);
    // Writes every document into the PDF file `path`, replacing what it held.
    static std::unique_ptr<QtPrinter> toPdfFile(const QString& path);

    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    void setFontSize(float points) override;
    void setBold(bool on) override;
    void printLine(const QString& text, int indentColumns = 0) override;
    void endDocument() override;

  private:
    // `queue` empty: the document goes to the PDF file set on `printer`.
    QtPrinter(std::unique_ptr<QPrinter> printer, QString queue);

    void beginDocument();
    void applyFont();
    void discardDocument() noexcept;

    std::unique_ptr<QPrinter> printer_;
    QString queue_;
    // The document on its way to `queue_`, between the first line and the
    // end, where documents go through a spool file.
    std::unique_ptr<QTemporaryFile> spoolFile_;
    QPainter painter_;
    QFont font_;
    // Device units, taken from the font's metrics whenever the font changes.
    qreal ascent_ = 0;
    qreal lineSpacing_ = 0;
    qreal columnWidth_ = 0;
    qreal pageHeight_ = 0;
    // Where the next line's top goes, from the top of the printable area.
    qreal nextLineTop_ = 0;
};

}  // namespace brivano::app
