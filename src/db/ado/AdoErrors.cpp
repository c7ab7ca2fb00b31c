#include "db/ado/AdoErrors.h"

#include <memory>
#include <optional>
#include <vector>

#include "db/MessageText.h"
#include "db/ado/AdoCom.h"
#include "texts/Texts.h"

namespace brivano::db::ado {

namespace {

// SQLSTATE class 01 holds warnings, which never explain a failure.
constexpr QStringView kWarningClass = u"01";

std::optional<Error> readError(AdoError& error) {
    LONG number = 0;
    LONG native = 0;
    Bstr description;
    Bstr state;
    if (FAILED(error.get_Number(&number)) || FAILED(error.get_Description(description.out())))
        return std::nullopt;
    // Not every provider has an SQLSTATE or a native code to give.
    const bool hasState = SUCCEEDED(error.get_SQLState(state.out()));
    if (FAILED(error.get_NativeError(&native)))
        native = 0;
    const QString text = singleLineMessage(description.view());
    if (text.isEmpty())
        return std::nullopt;
    return Error(native != 0 ? native : number, text,
                 hasState ? state.text().trimmed() : QString());
}

std::vector<Error> providerErrors(AdoConnection& connection) {
    std::vector<Error> errors;
    ComPtr<AdoErrors> list;
    LONG count = 0;
    if (FAILED(connection.get_Errors(list.out())) || !list || FAILED(list->get_Count(&count)))
        return errors;
    for (LONG index = 0; index < count; ++index) {
        ComPtr<AdoError> error;
        if (FAILED(list->get_Item(Variant::ofLong(index).value(), error.out())) || !error)
            continue;
        if (std::optional<Error> read = readError(*error.get()))
            errors.push_back(std::move(*read));
    }
    return errors;
}

// The description the failed call left for this thread, if any.
QString errorInfoDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.out()) != S_OK || !info)
        return {};
    Bstr description;
    if (FAILED(info->GetDescription(description.out())))
        return {};
    return singleLineMessage(description.view());
}

// Windows' own text for an HRESULT, in the user's language; empty when it
// has none.
QString systemText(HRESULT result) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(result), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(buffer, &LocalFree);
    if (length == 0 || buffer == nullptr)
        return {};
    return singleLineMessage(
        QStringView(reinterpret_cast<const char16_t*>(buffer), static_cast<qsizetype>(length)));
}

// A failure that came without a word of its own.
QString silentFailure(HRESULT result, const char* call) {
    const QString reason = systemText(result);
    return reason.isEmpty() ? texts::adoGaveNoMessage(call, result)
                            : texts::adoCallFailed(call, result, reason);
}

}  // namespace

bool isAdoOwnFailure(HRESULT result) {
    return HRESULT_FACILITY(result) == FACILITY_CONTROL;
}

Error adoFailure(HRESULT result, AdoConnection* connection, const char* call) {
    // Read first: reading the collection may replace the thread's error info.
    const QString described = errorInfoDescription();
    if (isAdoOwnFailure(result)) {
        const long number = HRESULT_CODE(result);
        return Error(number, described.isEmpty() ? silentFailure(result, call) : described);
    }
    if (connection != nullptr) {
        const std::vector<Error> errors = providerErrors(*connection);
        for (const Error& error : errors) {
            if (!error.sqlState().startsWith(kWarningClass))
                return error;
        }
        if (!errors.empty())
            return errors.front();
    }
    if (!described.isEmpty())
        return Error(result, described);
    return Error(result, silentFailure(result, call));
}

}  // namespace brivano::db::ado
