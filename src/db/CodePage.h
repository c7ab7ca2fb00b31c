#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

struct UConverter;

namespace brivano::db {

// The ANSI code page in which the tool writes its export file and reads its
// settings file: one byte per character for the Western code pages, the
// Windows double-byte code pages for Chinese, Japanese and Korean. A
// character that the code page cannot represent is written as "?".
class CodePage {
  public:
    // The Windows code page that goes with the user's locale (LC_ALL, else
    // LC_CTYPE, else LANG); 1252 for C/POSIX and unknown languages.
    static int systemNumber();
    // The same choice for one locale name such as "it_IT.UTF-8" or "zh_TW".
    static int numberForLocale(QStringView localeName);

    // Opens the converter; throws Error when the code page is unknown.
    explicit CodePage(int number = systemNumber());
    ~CodePage();
    CodePage(const CodePage&) = delete;
    CodePage& operator=(const CodePage&) = delete;

    int number() const { return number_; }

    // Appends the encoding of `text` to `out`, growing it as needed.
    void encode(QStringView text, QByteArray& out);
    QByteArray encode(QStringView text);
    QString decode(QByteArrayView bytes);

  private:
    int number_;
    UConverter* converter_;
    // True when the code page writes every ASCII character as its own byte,
    // as all of Windows' ANSI code pages do: ASCII runs then skip ICU.
    bool asciiAsIs_ = false;
};

}  // namespace brivano::db
