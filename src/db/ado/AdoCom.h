#pragma once

#include <QString>
#include <QStringView>
#include <utility>

#include "db/ado/AdoWindows.h"

// Owners for what COM hands out: the thread's COM library, interface
// pointers, BSTRs and VARIANTs. Nothing of COM is freed by hand elsewhere.
namespace brivano::db::ado {

// COM on the calling thread for as long as the scope lives. A thread that
// has COM already (the window's, which Qt sets up for drag and drop in a
// single-threaded apartment) keeps it as it is. Created and destroyed on
// the same thread, after every COM object it served has gone.
class ComScope {
  public:
    ComScope();  // throws Error when COM cannot start
    ~ComScope();
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool uninitialize_ = false;
};

// One reference to a COM interface, released when the owner goes.
template <typename Interface>
class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Where a call puts the reference it returns; the old one goes first.
    Interface** out() {
        reset();
        return &pointer_;
    }
    void** outVoid() { return reinterpret_cast<void**>(out()); }
    void reset() {
        if (pointer_ != nullptr)
            std::exchange(pointer_, nullptr)->Release();
    }

  private:
    Interface* pointer_ = nullptr;
};

// A BSTR of one's own. A null BSTR is COM's empty string.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(QStringView text);  // throws Error when out of memory
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return text_; }
    BSTR* out() {
        SysFreeString(std::exchange(text_, nullptr));
        return &text_;
    }
    // Hands the string to a new owner (a VARIANT).
    BSTR release() { return std::exchange(text_, nullptr); }
    QStringView view() const { return viewOf(text_); }
    QString text() const { return view().toString(); }

    // The characters of any BSTR (it may hold NULs, and may be null).
    static QStringView viewOf(BSTR text) {
        return QStringView(reinterpret_cast<const char16_t*>(text),
                           static_cast<qsizetype>(SysStringLen(text)));
    }

  private:
    BSTR text_ = nullptr;
};

// A VARIANT of one's own, cleared when it is filled again and at its end.
class Variant {
  public:
    Variant() { VariantInit(&variant_); }
    ~Variant() { VariantClear(&variant_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    static Variant ofLong(LONG number) {
        Variant variant;
        V_VT(&variant.variant_) = VT_I4;
        V_I4(&variant.variant_) = number;
        return variant;
    }

    static Variant ofText(QStringView text) {
        Bstr owned(text);
        Variant variant;
        V_VT(&variant.variant_) = VT_BSTR;
        V_BSTR(&variant.variant_) = owned.release();
        return variant;
    }
    // Holds a reference of its own to `object`.
    static Variant ofObject(IDispatch* object) {
        Variant variant;
        object->AddRef();
        V_VT(&variant.variant_) = VT_DISPATCH;
        V_DISPATCH(&variant.variant_) = object;
        return variant;
    }

    const VARIANT& get() const { return variant_; }
    // By value into a call that copies what it keeps (an index).
    VARIANT value() const { return variant_; }
    VARIANT* out() {
        VariantClear(&variant_);
        return &variant_;
    }

    Variant(Variant&& other) noexcept : variant_(other.variant_) { VariantInit(&other.variant_); }

  private:
    VARIANT variant_;
};

}  // namespace brivano::db::ado
