#pragma once

#include <memory>
#include <optional>

#include "db/Database.h"
#include "db/Error.h"

namespace brivano::db {

// A query whose rows are read only when asked for. Where running a query
// fetches its whole result (or, streaming, would walk it all), measuring a
// table is as dear as reading it: this result answers the at-end test and
// readAllRows() by counting instead, and runs the query itself only for its
// rows and columns, or when counting fails. Until then it stands on its
// first row, like any result.
//
// A query that fails runs once: its error is raised again, not the query.
class CountedResultSet final : public ResultSet {
  public:
    // What a provider supplies for one query.
    class Query {
      public:
        virtual ~Query() = default;
        // Whether the connection the query belongs to is still open.
        virtual bool connectionOpen() const = 0;
        // The number of rows the query gives, or with `firstOnly` just
        // whether it gives any (0 or 1); nothing when that cannot be told
        // by counting, and the rows are then read instead.
        virtual std::optional<std::int64_t> count(bool firstOnly) = 0;
        // Runs the query; the result stands on its first row.
        virtual std::unique_ptr<ResultSet> run() = 0;
    };

    // `columns` is how many columns the query's description has.
    CountedResultSet(std::unique_ptr<Query> query, int columns);
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
    // The query itself, run now (once); at its end when this result is.
    ResultSet& rows();

    std::unique_ptr<Query> query_;
    int columns_;
    std::optional<std::int64_t> rowCount_;
    std::optional<bool> hasRows_;
    bool consumed_ = false;  // readAllRows() answered from the count
    bool countFailed_ = false;
    std::unique_ptr<ResultSet> executed_;
    std::optional<Error> failure_;
};

}  // namespace brivano::db
