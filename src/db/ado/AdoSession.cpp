#include "db/ado/AdoSession.h"

#include "db/LayerErrors.h"
#include "db/ado/AdoErrors.h"
#include "db/ado/AdoResultSet.h"
#include "texts/Texts.h"

namespace brivano::db {

namespace {

// An object of ADO's by its ProgID, through the interface `id`.
template <typename Interface>
ado::ComPtr<Interface> createAdoObject(const wchar_t* progId, const IID& id) {
    CLSID objectClass{};
    HRESULT result = CLSIDFromProgID(progId, &objectClass);
    ado::ComPtr<Interface> object;
    if (SUCCEEDED(result))
        result = CoCreateInstance(objectClass, nullptr, CLSCTX_INPROC_SERVER, id, object.outVoid());
    if (FAILED(result) || !object)
        throw Error(result, texts::adoUnavailable(result));
    return object;
}

}  // namespace

void AdoSession::open(const QString& connectionString) {
    com_.emplace();
    connection_ =
        createAdoObject<ado::AdoConnection>(ado::kConnectionProgId, ado::kConnectionInterface);
    // The provider opens the database for reading only where it can. One
    // that cannot take the mode refuses it as a failed property (DB_E_
    // ERRORSOCCURRED) and is opened as the string alone says: every
    // recordset is read-only whatever the mode.
    check(connection_->put_Mode(ado::adModeRead), "Connection.Mode");
    HRESULT result = openWith(connectionString);
    if (result == ado::kPropertiesRefused) {
        check(connection_->put_Mode(ado::adModeUnknown), "Connection.Mode");
        result = openWith(connectionString);
    }
    if (FAILED(result)) {
        const Error failure = ado::adoFailure(result, connection_.get(), "Connection.Open");
        connection_.reset();
        throw failure;
    }
    open_ = true;
}

HRESULT AdoSession::openWith(const QString& connectionString) {
    const ado::Bstr text(connectionString);
    // A null BSTR is COM's empty string: no user name, no password.
    return connection_->Open(text.get(), nullptr, nullptr, ado::adOptionUnspecified);
}

void AdoSession::close() {
    if (!open_)
        return;
    const HRESULT result = connection_->Close();
    std::optional<Error> failure;
    if (FAILED(result))
        failure = ado::adoFailure(result, connection_.get(), "Connection.Close");
    open_ = false;
    connection_.reset();
    if (failure)
        throw *failure;
}

void AdoSession::end() noexcept {
    if (open_)
        connection_->Close();
    open_ = false;
    connection_.reset();
}

std::unique_ptr<ResultSet> AdoSession::execute(const std::shared_ptr<AdoSession>& self,
                                               const QString& commandText) {
    checkConnected();
    auto recordset =
        createAdoObject<ado::AdoRecordset>(ado::kRecordsetProgId, ado::kRecordsetInterface);
    const ado::Variant source = ado::Variant::ofText(commandText);
    const ado::Variant connection = ado::Variant::ofObject(connection_.get());
    // Opened as Connection.Execute opens its recordsets, but saying so:
    // forward-only, read-only, the command's type left to ADO.
    check(recordset->Open(source.value(), connection.value(), ado::adOpenForwardOnly,
                          ado::adLockReadOnly, ado::adCmdUnspecified),
          "Recordset.Open");
    return std::make_unique<AdoResultSet>(self, std::move(recordset));
}

void AdoSession::raise(HRESULT result, const char* call) {
    Error error = ado::adoFailure(result, connection_.get(), call);
    if (!lost_ && isConnectionFailure(error))
        lost_ = error;
    throw error;
}

void AdoSession::checkConnected() {
    if (lost_)
        throw connectionLostError(*lost_);
}

}  // namespace brivano::db
