#include "ScriptedDatabase.h"

namespace brivano::test {
namespace {

// Raised by the layer itself, as a closed or misused result set would.
Error layerError(const QString& what) {
    return Error(3704, what);
}

class ScriptedResultSet;

class ScriptedField : public db::Field {
  public:
    ScriptedField(ScriptedResultSet& owner, int position) : owner_(owner), position_(position) {}
    QString name() const override;
    std::int16_t type() const override;
    std::int32_t definedSize() const override;
    std::int32_t attributes() const override;
    bool isNull() override { return value().isNull(); }
    const db::Value& value() override;

  private:
    ScriptedResultSet& owner_;
    int position_;
};

class ScriptedResultSet : public db::ResultSet {
  public:
    ScriptedResultSet(ScriptedTable table, const ScriptedFaults& faults)
        : table_(std::move(table)), faults_(faults) {
        for (int k = 0; k < static_cast<int>(table_.columns.size()); ++k)
            fields_.push_back(std::make_unique<ScriptedField>(*this, k));
    }

    bool atEnd() override {
        if (faults_.atEndFails)
            throw layerError(QStringLiteral("Operation is not allowed when the object is closed"));
        return row_ >= table_.rows.size();
    }
    db::RowArrayBounds readAllRows() override {
        const auto remaining = table_.rows.size() - row_;
        row_ = table_.rows.size();
        return {static_cast<std::int32_t>(table_.columns.size()),
                static_cast<std::int32_t>(remaining)};
    }
    void moveFirst() override {
        if (row_ != 0)
            throw layerError(QStringLiteral("The result set cannot move backwards"));
    }
    void moveNext() override {
        if (static_cast<int>(row_) == faults_.moveNextFailsAtRow)
            throw Error(2013, QStringLiteral("Lost connection to the server"), "08S01");
        if (row_ >= table_.rows.size())
            throw layerError(QStringLiteral("Either BOF or EOF is True"));
        ++row_;
    }
    int fieldCount() override { return static_cast<int>(fields_.size()); }
    db::Field& field(int position) override {
        if (position < 0 || position >= fieldCount())
            throw layerError(QStringLiteral("Item cannot be found in the collection"));
        return *fields_[static_cast<size_t>(position)];
    }
    db::Field& field(const QString& name) override {
        for (int k = 0; k < fieldCount(); ++k) {
            if (table_.columns[static_cast<size_t>(k)].name.compare(name, Qt::CaseInsensitive) == 0)
                return *fields_[static_cast<size_t>(k)];
        }
        throw layerError(QStringLiteral("Item cannot be found in the collection"));
    }

    const ScriptedColumn& column(int position) const {
        return table_.columns.at(static_cast<size_t>(position));
    }
    const ScriptedFaults& faults() const { return faults_; }
    const db::Value& value(int position) {
        if (row_ >= table_.rows.size())
            throw layerError(QStringLiteral("Either BOF or EOF is True"));
        if (faults_.failingValue == std::pair<int, int>(static_cast<int>(row_), position))
            throw faults_.valueError;
        return table_.rows[row_].at(static_cast<size_t>(position));
    }

  private:
    ScriptedTable table_;
    const ScriptedFaults& faults_;
    std::vector<std::unique_ptr<ScriptedField>> fields_;
    size_t row_ = 0;
};

QString ScriptedField::name() const {
    return owner_.column(position_).name;
}

std::int16_t ScriptedField::type() const {
    if (owner_.faults().failingTypeColumn == position_)
        throw Error(0, QStringLiteral("Type of column %1 cannot be described").arg(position_));
    return owner_.column(position_).type;
}

std::int32_t ScriptedField::definedSize() const {
    return owner_.column(position_).definedSize;
}

std::int32_t ScriptedField::attributes() const {
    return owner_.column(position_).attributes;
}

const db::Value& ScriptedField::value() {
    return owner_.value(position_);
}

}  // namespace

std::unique_ptr<db::ResultSet> ScriptedConnection::execute(const QString& commandText) {
    if (!open_)
        throw layerError(QStringLiteral("Operation is not allowed when the object is closed"));
    ++queries;
    if (faults.beforeQuery)
        faults.beforeQuery(queries);
    const QString prefix = QStringLiteral("Select * from ");
    const QString table = commandText.startsWith(prefix) ? commandText.mid(prefix.size()) : "";
    const auto found = tables.find(table);
    if (faults.failingQueries.count(queries) > 0 || found == tables.end()) {
        throw Error(1, QStringLiteral("no such table: %1").arg(table), "42S02");
    }
    return std::make_unique<ScriptedResultSet>(found->second, faults);
}

}  // namespace brivano::test
