#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "db/Database.h"
#include "db/Error.h"

namespace brivano::db {

// A query whose rows are read only when asked for. Where running a query
// fetches its whole result (or, streaming, would walk it all), measuring a
// table is as dear as reading it: this result answers the at-end test and
// readAllRows() with the database's count statements instead (see
// Dialect::countStatement), and runs the query itself only for its rows and
// columns, or when counting fails. Until then it stands on its first row,
// like any result.
//
// A query that fails runs once: its error is raised again, not the query.
class CountedResultSet final : public ResultSet {
  public:
    // What a provider supplies for one query.
    struct Query {
        // Whether the connection the query belongs to is still open.
        std::function<bool()> connectionOpen;
        // Runs one of the count statements below and gives its number;
        // nothing when it failed in a way that reading the rows explains
        // better (the provider decides which failures those are).
        std::function<std::optional<std::int64_t>(const QString& statement)> count;
        // Runs the query; the result stands on its first row.
        std::function<std::unique_ptr<ResultSet>()> run;
        // The rows, and whether there is any (0 or 1); empty when the
        // database cannot count them, which are then read instead.
        QString countAll;
        QString countFirst;
    };

    // `columns` is how many columns the query's description has.
    CountedResultSet(Query query, int columns);
    ~CountedResultSet() override;

    bool atEnd() override;
    RowArrayBounds readAllRows() override;
    void moveFirst() override;
    void moveNext() override;
    int fieldCount() override;
    Field& field(int position) override;
    Field& field(const QString& name) override;

  private:
    void checkOpen() const;
    // Whether counting said there is no row left to read.
    bool exhausted() const;
    std::optional<std::int64_t> count(const QString& statement);
    // The query itself, run now (once); at its end when this result is.
    ResultSet& rows();

    Query query_;
    int columns_;
    std::optional<std::int64_t> rowCount_;
    std::optional<bool> hasRows_;
    bool consumed_ = false;  // readAllRows() answered from the count
    bool countFailed_ = false;
    std::unique_ptr<ResultSet> executed_;
    std::optional<Error> failure_;
};

}  // namespace brivano::db
