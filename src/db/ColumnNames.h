#pragma once

#include <QHash>
#include <QString>
#include <optional>
#include <vector>

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

}  // namespace brivano::db
