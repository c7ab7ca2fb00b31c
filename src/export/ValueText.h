#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include "db/Value.h"
#include "export/ByteBuffer.h"
#include "export/CodePage.h"
#include "export/DateTimeText.h"

namespace brivano::exporter {

// The user's regional settings. The C/POSIX locale names no region (and
// Qt's C locale writes dates as "1 Jan 2023"): it gets United States
// English conventions, as it gets that language's code page.
QLocale regionalSettings();

// The text form of a value under one locale's regional settings, as the
// export file carries it, in the file's code page: digits without grouping,
// the locale's decimal separator, its short date with a four-digit year, its
// time with seconds. Everything that depends on the locale is looked up and
// encoded once, when the object is made; appending a value formats nothing
// through the locale and makes no QString.
class ValueText {
  public:
    // Significant digits at most: a single, a double.
    static constexpr int kSingleDigits = 7;
    static constexpr int kDoubleDigits = 15;

    // Text is encoded in `codePage`, which must outlive this object.
    ValueText(const QLocale& locale, CodePage& codePage);

    // Appends the text form of `value` to `out`; a null appends nothing
    // (the writer decides how a null is written).
    void append(const db::Value& value, ByteBuffer& out) const;

    static void appendInteger(std::int64_t number, ByteBuffer& out);
    static void appendUnsigned(std::uint64_t number, ByteBuffer& out);
    // The shortest text that reads back as the same number, rounded to
    // kSingleDigits / kDoubleDigits significant digits when it needs more;
    // exponent form ("1,5E-07", "1E+15") for magnitudes below 1E-4 or of
    // more integer digits than that.
    void appendSingle(float number, ByteBuffer& out) const;
    void appendDouble(double number, ByteBuffer& out) const;
    void appendDecimal(QByteArrayView digits, ByteBuffer& out) const;
    static void appendHex(QByteArrayView bytes, ByteBuffer& out);
    static void appendGuid(QByteArrayView bytes, ByteBuffer& out);

  private:
    template <typename Real>
    void appendReal(Real number, int maxDigits, ByteBuffer& out) const;
    bool appendShortDouble(double number, ByteBuffer& out) const;

    CodePage& codePage_;
    QByteArray decimalSeparator_;
    DateTimeText dateTime_;
};

}  // namespace brivano::exporter
