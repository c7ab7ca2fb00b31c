#include "db/connect/ConnectionFactory.h"

#include "db/ConnectionString.h"
#include "db/LayerErrors.h"
#include "db/mariadb/MariaDbConnection.h"
#include "db/odbc/OdbcConnection.h"
#include "db/postgres/PgConnection.h"
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
        switch (providerKind(connectionString)) {
            case ProviderKind::Sqlite:
                provider_ = std::make_unique<SqliteConnection>();
                break;
            case ProviderKind::PostgreSQL:
                provider_ = std::make_unique<PgConnection>();
                break;
            case ProviderKind::MariaDB:
                provider_ = std::make_unique<MariaDbConnection>();
                break;
            case ProviderKind::Odbc:
                provider_ = std::make_unique<OdbcConnection>();
                break;
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

    void beginTableRead() override {
        if (!provider_) {
            throw connectionClosedError();
        }
        provider_->beginTableRead();
    }

    void endTableRead(bool completed) override {
        if (!provider_) {
            throw connectionClosedError();
        }
        provider_->endTableRead(completed);
    }

    void cancel() noexcept override {
        if (provider_) {
            provider_->cancel();
        }
    }

  private:
    std::unique_ptr<Connection> provider_;
};

}  // namespace

std::unique_ptr<Connection> createConnection() {
    return std::make_unique<ProviderConnection>();
}

}  // namespace brivano::db
