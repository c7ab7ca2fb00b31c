#include "db/connect/ConnectionFactory.h"

#include "db/ConnectionString.h"
#include "db/LayerErrors.h"
#include "db/odbc/OdbcConnection.h"
#include "db/sqlite/SqliteConnection.h"

namespace brivano::db {

namespace {

// The connection that createConnection() hands out: it chooses the provider
// for each open from the connection string and forwards everything else.
class ProviderConnection final : public Connection {
  public:
    void open(const QString& connectionString) override {
        if (isOpen()) {
            throw connectionOpenError();
        }
        // Any earlier provider goes now, and with it its result sets' state.
        provider_.reset();
        if (isSqliteProviderString(connectionString)) {
            provider_ = std::make_unique<SqliteConnection>();
        } else {
            provider_ = std::make_unique<OdbcConnection>();
        }
        provider_->open(connectionString);
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

  private:
    std::unique_ptr<Connection> provider_;
};

}  // namespace

std::unique_ptr<Connection> createConnection() {
    return std::make_unique<ProviderConnection>();
}

}  // namespace brivano::db
