#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

#include "db/Database.h"
#include "db/LayerErrors.h"

namespace brivano::db {

// Finds a result's column by name as SQL names are matched: the exact name
// first, then without regard to case; of two columns with one name, the
// first. Shared by every provider, so all of them answer alike.
class ColumnNames {
  public:
    // Names are added in position order, from 0.
    void add(const QString& name) {
        if (!positions_.contains(name))
            positions_.insert(name, static_cast<int>(names_.size()));
        names_.push_back(name);
    }

    std::optional<int> find(const QString& name) const {
        if (auto it = positions_.constFind(name); it != positions_.constEnd())
            return it.value();
        for (size_t position = 0; position < names_.size(); ++position) {
            if (names_[position].compare(name, Qt::CaseInsensitive) == 0)
                return static_cast<int>(position);
        }
        return std::nullopt;
    }

  private:
    std::vector<QString> names_;
    QHash<QString, int> positions_;
};

// A column seen through its result set, for any provider: metadata fixed
// when the statement ran, the value read on demand for the current row.
// `Result` offers column(position) (with .name and .shape) and
// valueAt(position).
template <typename Result>
class ResultField final : public Field {
  public:
    ResultField(Result& result, int position) : result_(&result), position_(position) {}

    QString name() const override { return result_->column(position_).name; }
    std::int16_t type() const override { return result_->column(position_).shape.type; }
    std::int32_t definedSize() const override {
        return result_->column(position_).shape.definedSize;
    }
    std::int32_t attributes() const override { return result_->column(position_).shape.attributes; }
    bool isNull() override { return result_->valueAt(position_).isNull(); }
    const Value& value() override { return result_->valueAt(position_); }

  private:
    Result* result_;
    int position_;
};

// The fields of one result, found by position or by name; a position or a
// name the result does not have raises the layer's own error.
template <typename Result>
class ResultFields {
  public:
    // One field a column of `columns` (each with a .name), in position order.
    template <typename Columns>
    void build(Result& result, const Columns& columns) {
        fields_.reserve(columns.size());
        for (const auto& column : columns) {
            fields_.emplace_back(result, count());
            names_.add(column.name);
        }
    }

    int count() const { return static_cast<int>(fields_.size()); }

    Field& at(int position) {
        if (position < 0 || position >= count())
            throw fieldPositionError(position, count());
        return fields_[static_cast<size_t>(position)];
    }

    Field& named(const QString& name) {
        if (const std::optional<int> position = names_.find(name))
            return fields_[static_cast<size_t>(*position)];
        throw fieldNotFoundError(name);
    }

  private:
    std::vector<ResultField<Result>> fields_;
    ColumnNames names_;
};

}  // namespace brivano::db
