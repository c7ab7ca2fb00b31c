#pragma once

#include <QString>

namespace brivano::app {

// The printer as the print command sees it: a text device that prints whole
// lines one below the other. The first printed line of a job opens a new
// document; endDocument() hands it to the printer and the next line opens
// another. Font size and bold apply to every line printed afterwards.
// Every failure throws brivano::Error with a text for the operator.
class Printer {
  public:
    virtual ~Printer() = default;

    virtual void setFontSize(float points) = 0;
    virtual void setBold(bool on) = 0;
    // Prints `text` after `indentColumns` blank columns (each the average
    // character width of the current font) and moves to the next line,
    // continuing on a new page when the current one is full.
    virtual void printLine(const QString& text, int indentColumns = 0) = 0;
    virtual void endDocument() = 0;
};

}  // namespace brivano::app
