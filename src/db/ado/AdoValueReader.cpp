#include "db/ado/AdoValueReader.h"

#include <cstring>

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::db::ado {

namespace {

// VARIANT_ALPHABOOL: True and False as words, not -1 and 0.
constexpr USHORT kTextFlags = VARIANT_ALPHABOOL;

// The bytes of a one-dimensional array, accessed for as long as it lives.
class ArrayAccess {
  public:
    explicit ArrayAccess(SAFEARRAY* array) : array_(array) {
        if (array_ != nullptr && FAILED(SafeArrayAccessData(array_, &data_)))
            data_ = nullptr;
    }
    ~ArrayAccess() {
        if (data_ != nullptr)
            SafeArrayUnaccessData(array_);
    }
    ArrayAccess(const ArrayAccess&) = delete;
    ArrayAccess& operator=(const ArrayAccess&) = delete;

    const void* data() const { return data_; }

  private:
    SAFEARRAY* array_;
    void* data_ = nullptr;
};

}  // namespace

void AdoValueReader::read(const VARIANT& variant, const QString& column, Value& value) {
    const VARTYPE type = V_VT(&variant);
    if (type == VT_NULL) {
        value.kind = ValueKind::Null;
        return;
    }
    if (type == VT_BSTR) {
        storeText(Bstr::viewOf(V_BSTR(&variant)), value);
        value.kind = ValueKind::Text;
        return;
    }
    if (type == (VT_ARRAY | VT_UI1)) {
        storeBytes(variant, column, value);
        return;
    }
    // The source is only read; the declaration predates const.
    const HRESULT result = VariantChangeTypeEx(text_.out(), const_cast<VARIANT*>(&variant),
                                               LOCALE_USER_DEFAULT, kTextFlags, VT_BSTR);
    if (FAILED(result))
        throw Error(result, texts::adoValueWithoutText(column, type, result));
    storeText(Bstr::viewOf(V_BSTR(&text_.get())), value);
    value.kind = ValueKind::Other;
}

void AdoValueReader::storeText(QStringView text, Value& value) {
    // UTF-8 never takes more than three bytes for one UTF-16 unit.
    value.buffer.resize(text.size() * 3);
    char* end = utf8_.appendToBuffer(value.buffer.data(), text);
    value.buffer.resize(end - value.buffer.constData());
    value.keepBuffer();
}

void AdoValueReader::storeBytes(const VARIANT& variant, const QString& column, Value& value) {
    SAFEARRAY* array = V_ARRAY(&variant);
    LONG lower = 0;
    LONG upper = -1;
    if (array != nullptr &&
        (SafeArrayGetDim(array) != 1 || FAILED(SafeArrayGetLBound(array, 1, &lower)) ||
         FAILED(SafeArrayGetUBound(array, 1, &upper))))
        throw Error(E_INVALIDARG, texts::adoValueWithoutText(column, V_VT(&variant), E_INVALIDARG));
    const qsizetype size = upper >= lower ? static_cast<qsizetype>(upper) - lower + 1 : 0;
    const ArrayAccess access(array);
    if (size > 0 && access.data() == nullptr)
        throw Error(E_UNEXPECTED, texts::adoValueWithoutText(column, V_VT(&variant), E_UNEXPECTED));
    value.buffer.resize(size);
    if (size > 0)
        std::memcpy(value.buffer.data(), access.data(), static_cast<size_t>(size));
    value.keepBuffer();
    value.kind = ValueKind::Binary;
}

}  // namespace brivano::db::ado
