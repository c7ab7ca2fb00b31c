#include "db/ConnectionFactory.h"

#include "db/ConnectionString.h"
#include "db/LayerErrors.h"
#include "db/OdbcConnection.h"
#include "db/SqliteConnection.h"

namespace brivano::db {

namespace {

// The connection that createConnection() hands out: it chooses the provider
// for each open from the connection string and forwards everything else.
// The error list is its own, shared with the providers, so it stays the
// same object whichever provider is in use.
class ProviderConnection final : public Connection {
  public:
    void open(const QString& connectionString, const QString& user,
              const QString& password) override {
        if (isOpen()) {
            throw connectionOpenError();
        }
        // Any earlier provider goes now, and with it its result sets' state.
        provider_.reset();
        if (isSqliteProviderString(connectionString)) {
            provider_ = std::make_unique<SqliteConnection>(errors_);
        } else {
            provider_ = std::make_unique<OdbcConnection>(errors_);
        }
        provider_->open(connectionString, user, password);
    }

    std::unique_ptr<ResultSet> execute(const QString& commandText) override {
        if (!provider_) {
            throw connectionClosedError();
        }
        return provider_->execute(commandText);
    }

    void close() override {
        if (!provider_) {
            throw connectionClosedError();
        }
        provider_->close();
    }

    bool isOpen() const override { return provider_ && provider_->isOpen(); }
    ErrorList& errors() override { return errors_; }

  private:
    // Declared first so that it outlives the provider that writes to it.
    ErrorList errors_;
    std::unique_ptr<Connection> provider_;
};

}  // namespace

std::unique_ptr<Connection> createConnection() {
    return std::make_unique<ProviderConnection>();
}

}  // namespace brivano::db
