#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "db/Database.h"
#include "db/Error.h"
#include "db/ado/AdoCom.h"
#include "db/ado/AdoInterfaces.h"

namespace brivano::db {

// A connection through ADO, Windows' own data-access layer: an
// ADODB.Connection opened with the connection string unchanged (so that
// "Provider=SQLOLEDB;...", "Provider=Microsoft.ACE.OLEDB.12.0;..." or
// "Provider=MSDASQL;DSN=..." work as the operator wrote them), asked to read
// only. Each query opens an ADODB.Recordset on it, forward-only and
// read-only (what Connection.Execute gives, asked for by name). A database
// of unknown habits is read as it is: no snapshot, rows counted by reading
// them.
//
// COM is set up on the opening thread for the session's life, and every
// call of the session and its result sets is made from that thread. Shared
// by the connection and its result sets (see ProviderConnection): the
// result sets keep the session, and with it COM, until they are gone.
class AdoSession final {
  public:
    AdoSession() = default;
    ~AdoSession() { end(); }
    AdoSession(const AdoSession&) = delete;
    AdoSession& operator=(const AdoSession&) = delete;

    // Opens with `connectionString`, an empty user name and an empty
    // password; throws the provider's error when that fails.
    void open(const QString& connectionString);
    // Closes the connection, and with it every recordset it still has
    // open; closed afterwards even when ADO reports a failure, thrown.
    void close();
    void end() noexcept;
    bool isOpen() const { return open_; }
    bool isLost() const { return lost_.has_value(); }

    std::unique_ptr<ResultSet> execute(const std::shared_ptr<AdoSession>& self,
                                       const QString& commandText);
    void beginTableRead() { checkConnected(); }
    void endTableRead(bool completed) { (void)completed; }
    // ADO stops only statements it runs asynchronously; the one under way
    // runs to its end, and the run stops after it.
    void cancel() noexcept {}

    // The error of a call on this connection that returned `result`; a
    // failure of the connection itself makes every later call fail at once.
    [[noreturn]] void raise(HRESULT result, const char* call);
    void check(HRESULT result, const char* call) {
        if (FAILED(result))
            raise(result, call);
    }

  private:
    HRESULT openWith(const QString& connectionString);
    void checkConnected();

    // COM outlives every object of ADO the session holds.
    std::optional<ado::ComScope> com_;
    ado::ComPtr<ado::AdoConnection> connection_;
    bool open_ = false;
    std::optional<Error> lost_;
};

}  // namespace brivano::db
