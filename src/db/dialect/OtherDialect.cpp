#include "db/dialect/Dialect.h"

namespace brivano::db {
namespace {

// A database whose habits are unknown is read as it is: no settings, no
// snapshot, rows counted by reading them, in whatever isolation the
// driver's default gives.
class OtherDialect final : public Dialect {
  public:
    DatabaseKind kind() const override { return DatabaseKind::Other; }
    std::span<const char* const> sessionSettings() const override { return {}; }
    const SnapshotRules& snapshot() const override { return kNoSnapshot; }
    std::optional<QString> countStatement(QStringView, const std::vector<CountedColumn>&,
                                          bool) const override {
        return std::nullopt;
    }
    QString quotedName(QStringView name) const override { return quotedWith(name, u'"'); }

  private:
    static constexpr SnapshotRules kNoSnapshot{};
};

}  // namespace

const Dialect& otherDialect() {
    static const OtherDialect dialect;
    return dialect;
}

}  // namespace brivano::db
