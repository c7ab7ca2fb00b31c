#pragma once

#include <QLocale>
#include <QString>

#include "db/Value.h"
#include "export/DateTimeText.h"

namespace brivano::exporter {

// The user's regional settings. The C/POSIX locale names no region (and
// Qt's C locale writes dates as "1 Jan 2023"): it gets United States
// English conventions, as it gets that language's code page.
QLocale regionalSettings();

// The text form of a value under one locale's regional settings, as the
// export file carries it: digits without grouping, the locale's decimal
// separator, its short date with a four-digit year, its time with seconds.
// Everything that depends on the locale is looked up once, when the object is
// made; appending a value formats nothing through the locale.
class ValueText {
  public:
    // Significant digits at most: a single, a double.
    static constexpr int kSingleDigits = 7;
    static constexpr int kDoubleDigits = 15;

    explicit ValueText(const QLocale& locale = regionalSettings());

    // Appends the text form of `value` to `out`; a null appends nothing
    // (the writer decides how a null is written).
    void append(const db::Value& value, QString& out) const;

    void appendInteger(std::int64_t number, QString& out) const;
    void appendUnsigned(std::uint64_t number, QString& out) const;
    // The shortest text that reads back as the same number, rounded to
    // kSingleDigits / kDoubleDigits significant digits when it needs more;
    // exponent form ("1,5E-07", "1E+15") for magnitudes below 1E-4 or of
    // more integer digits than that.
    void appendSingle(float number, QString& out) const;
    void appendDouble(double number, QString& out) const;
    void appendDecimal(QStringView digits, QString& out) const;
    void appendHex(QByteArrayView bytes, QString& out) const;
    void appendGuid(QByteArrayView bytes, QString& out) const;

  private:
    template <typename Real>
    void appendReal(Real number, int maxDigits, QString& out) const;

    QString decimalSeparator_;
    DateTimeText dateTime_;
};

}  // namespace brivano::exporter
