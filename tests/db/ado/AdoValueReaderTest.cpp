// The text forms of the values ADO hands over, as VARIANTs made here: the
// recordsets of wine's ADO have no rows to give. The test runs under
// Italian regional settings (LC_ALL=it_IT.UTF-8 in its environment), the
// operators' own.
#include <gtest/gtest.h>

#include <cstring>

#include "db/Error.h"
#include "db/ado/AdoValueReader.h"

namespace brivano::db::ado {
namespace {

constexpr LCID kItalian = 0x0410;

// What reading one VARIANT gives: its kind and its bytes.
struct Read {
    ValueKind kind;
    QByteArray data;
};

class AdoValueReaderTest : public ::testing::Test {
  protected:
    Read read(const VARIANT& variant) {
        reader.read(variant, QStringLiteral("Campo"), value);
        return {value.kind, value.data.toByteArray()};
    }
    Read readDate(double days) {
        VARIANT variant;
        VariantInit(&variant);
        V_VT(&variant) = VT_DATE;
        V_DATE(&variant) = days;
        return read(variant);
    }
    // The locale's own short date and time of 2 January 2024, 03:05:05.
    static QString localeText(bool date, bool time) {
        SYSTEMTIME when{};
        when.wYear = 2024;
        when.wMonth = 1;
        when.wDay = 2;
        when.wHour = 3;
        when.wMinute = 5;
        when.wSecond = 5;
        wchar_t buffer[128] = {};
        QString text;
        if (date &&
            GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, buffer, 128))
            text += QString::fromWCharArray(buffer);
        if (date && time)
            text += u' ';
        if (time && GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &when, nullptr, buffer, 128))
            text += QString::fromWCharArray(buffer);
        return text;
    }

    AdoValueReader reader;
    Value value;
};

TEST_F(AdoValueReaderTest, TheTestRunsUnderItalianRegionalSettings) {
    ASSERT_EQ(GetUserDefaultLCID(), kItalian)
        << "LC_ALL=it_IT.UTF-8 must reach the program's environment";
}

TEST_F(AdoValueReaderTest, NumbersTakeTheLocalesDecimalComma) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_R8;
    V_R8(&variant) = 3.25;
    EXPECT_EQ(read(variant).data, "3,25");
    V_R8(&variant) = -0.5;
    EXPECT_EQ(read(variant).data, "-0,5");
    V_VT(&variant) = VT_R4;
    V_R4(&variant) = 0.1f;
    EXPECT_EQ(read(variant).data, "0,1");
    V_VT(&variant) = VT_I4;
    V_I4(&variant) = -42;
    EXPECT_EQ(read(variant).data, "-42");
    V_VT(&variant) = VT_I8;
    V_I8(&variant) = -9223372036854775807LL;
    EXPECT_EQ(read(variant).data, "-9223372036854775807");
    V_VT(&variant) = VT_UI1;
    V_UI1(&variant) = 255;
    const Read byte = read(variant);
    EXPECT_EQ(byte.data, "255");
    EXPECT_EQ(byte.kind, ValueKind::Other);  // written as it stands
}

TEST_F(AdoValueReaderTest, CurrencyAndDecimalsKeepTheirDigits) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_CY;
    V_CY(&variant).int64 = 125000;  // 12.5, in ten-thousandths
    EXPECT_EQ(read(variant).data, "12,5");
    V_CY(&variant).int64 = -1;
    EXPECT_EQ(read(variant).data, "-0,0001");

    DECIMAL decimal{};
    ASSERT_EQ(VarDecFromStr(const_cast<OLECHAR*>(L"-12345.6789"), 0x0409, 0, &decimal), S_OK);
    V_DECIMAL(&variant) = decimal;  // sets the type tag too: it shares its bytes
    V_VT(&variant) = VT_DECIMAL;
    EXPECT_EQ(read(variant).data, "-12345,6789");
    ASSERT_EQ(
        VarDecFromStr(const_cast<OLECHAR*>(L"79228162514264337593543950335"), 0x0409, 0, &decimal),
        S_OK);
    V_DECIMAL(&variant) = decimal;
    V_VT(&variant) = VT_DECIMAL;
    EXPECT_EQ(read(variant).data, "79228162514264337593543950335");
}

TEST_F(AdoValueReaderTest, DatesAndTimesTakeTheLocalesShortForms) {
    // 2 January 2024 is day 45293 of OLE's calendar; 03:05:05 is 11105 s.
    constexpr double kDay = 45293;
    constexpr double kTime = 11105.0 / 86400;
    const Read stamp = readDate(kDay + kTime);
    EXPECT_EQ(stamp.kind, ValueKind::Other);
    EXPECT_EQ(QString::fromUtf8(stamp.data), localeText(true, true));
    EXPECT_TRUE(stamp.data.contains("2024")) << stamp.data.constData();
    EXPECT_TRUE(stamp.data.contains("03:05:05")) << stamp.data.constData();
    // A midnight date shows no time, a date of day 0 no date.
    EXPECT_EQ(QString::fromUtf8(readDate(kDay).data), localeText(true, false));
    EXPECT_EQ(QString::fromUtf8(readDate(kTime).data), localeText(false, true));
}

TEST_F(AdoValueReaderTest, BooleansAreTrueAndFalseAsEveryProviderWritesThem) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_BOOL;
    V_BOOL(&variant) = VARIANT_TRUE;
    EXPECT_EQ(read(variant).data, "True");
    V_BOOL(&variant) = VARIANT_FALSE;
    EXPECT_EQ(read(variant).data, "False");
}

TEST_F(AdoValueReaderTest, NullIsNullAndEmptyIsAnEmptyText) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_NULL;
    EXPECT_EQ(read(variant).kind, ValueKind::Null);
    V_VT(&variant) = VT_EMPTY;
    const Read empty = read(variant);
    EXPECT_EQ(empty.kind, ValueKind::Other);
    EXPECT_TRUE(empty.data.isEmpty());
}

TEST_F(AdoValueReaderTest, TextIsItsCharactersInUtf8) {
    const Variant text = Variant::ofText(u"Łódź, l'€\r\nfine");
    const Read read1 = read(text.get());
    EXPECT_EQ(read1.kind, ValueKind::Text);
    EXPECT_EQ(read1.data, QStringLiteral("Łódź, l'€\r\nfine").toUtf8());
    // A BSTR may hold NULs, and a null BSTR is the empty text.
    const Variant withNul = Variant::ofText(QStringView(u"a\0b", 3));
    EXPECT_EQ(read(withNul.get()).data, QByteArray("a\0b", 3));
    VARIANT empty;
    VariantInit(&empty);
    V_VT(&empty) = VT_BSTR;
    V_BSTR(&empty) = nullptr;
    const Read none = read(empty);
    EXPECT_EQ(none.kind, ValueKind::Text);
    EXPECT_TRUE(none.data.isEmpty());
}

TEST_F(AdoValueReaderTest, ByteArraysAreBinaryValues) {
    Variant bytes;
    VARIANT* filled = bytes.out();
    V_VT(filled) = VT_ARRAY | VT_UI1;
    V_ARRAY(filled) = SafeArrayCreateVector(VT_UI1, 0, 3);
    ASSERT_NE(V_ARRAY(filled), nullptr);
    void* data = nullptr;
    ASSERT_EQ(SafeArrayAccessData(V_ARRAY(filled), &data), S_OK);
    static constexpr unsigned char kBytes[] = {0xDE, 0x00, 0x7F};
    std::memcpy(data, kBytes, sizeof kBytes);
    SafeArrayUnaccessData(V_ARRAY(filled));
    const Read read1 = read(bytes.get());
    EXPECT_EQ(read1.kind, ValueKind::Binary);
    EXPECT_EQ(read1.data, QByteArray(reinterpret_cast<const char*>(kBytes), 3));
}

TEST_F(AdoValueReaderTest, AValueWithoutATextFormIsAnErrorThatNamesTheColumn) {
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_UNKNOWN;
    V_UNKNOWN(&variant) = nullptr;
    try {
        read(variant);
        FAIL() << "read";
    } catch (const Error& error) {
        EXPECT_TRUE(error.description().contains(u"Campo")) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains(u"HRESULT 0x"))
            << error.description().toStdString();
    }
    // The next value reads as if nothing had happened.
    V_VT(&variant) = VT_I4;
    V_I4(&variant) = 7;
    EXPECT_EQ(read(variant).data, "7");
}

}  // namespace
}  // namespace brivano::db::ado
