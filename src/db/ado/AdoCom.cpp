#include "db/ado/AdoCom.h"

#include "db/Error.h"
#include "texts/Texts.h"

namespace brivano::db::ado {

ComScope::ComScope() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    // S_FALSE: COM was there already, and this call still counts.
    // RPC_E_CHANGED_MODE: the thread is in the multithreaded apartment,
    // where ADO works as well; that call is not this scope's to undo.
    if (result == RPC_E_CHANGED_MODE)
        return;
    if (FAILED(result))
        throw Error(result, texts::adoUnavailable(result));
    uninitialize_ = true;
}

ComScope::~ComScope() {
    if (uninitialize_)
        CoUninitialize();
}

Bstr::Bstr(QStringView text) {
    text_ = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.utf16()),
                              static_cast<UINT>(text.size()));
    if (text_ == nullptr && !text.isEmpty())
        throw Error(E_OUTOFMEMORY, texts::adoGaveNoMessage("SysAllocStringLen", E_OUTOFMEMORY));
}

}  // namespace brivano::db::ado
