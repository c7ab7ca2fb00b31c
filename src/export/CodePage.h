#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include "db/AnsiCodePage.h"

struct UConverter;

namespace brivano::exporter {

// Encodes text in an ANSI code page, the export file's encoding. A
// character that the code page cannot represent is written as "?".
class CodePage {
  public:
    // Opens the converter; throws Error when the code page is unknown.
    explicit CodePage(int number = db::systemCodePage());
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    int number() const { return number_; }

    // Appends the encoding of `text` to `out`, growing it as needed.
    void encode(QStringView text, QByteArray& out);
    QByteArray encode(QStringView text);

  private:
    int number_;
    UConverter* converter_;
    // True when the code page writes every ASCII character as its own byte,
    // as all of Windows' ANSI code pages do: ASCII runs then skip ICU.
    bool asciiAsIs_ = false;
};

}  // namespace brivano::exporter
