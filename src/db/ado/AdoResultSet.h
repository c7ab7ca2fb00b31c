#pragma once

#include <memory>
#include <vector>

#include "db/ColumnShape.h"
#include "db/ForwardResultSet.h"
#include "db/ado/AdoSession.h"
#include "db/ado/AdoValueReader.h"

namespace brivano::db {

// One column of an ADO recordset: what ADO says of it (Name, and Type,
// DefinedSize and Attributes exactly as ADO gives them: they are the
// numbers the export file carries) and the Field whose Value follows the
// current row.
struct AdoColumn {
    QString name;
    ColumnShape shape;
    ado::ComPtr<ado::AdoField> field;
};

// The recordset of one query, read forward only. It stands on its first
// row after construction; values are read when first asked for in a row,
// in any order. Its rows are counted by reading them, as ADO's forward-only
// cursor knows no count.
class AdoResultSet final : public ForwardResultSet<AdoResultSet> {
  public:
    AdoResultSet(std::shared_ptr<AdoSession> session, ado::ComPtr<ado::AdoRecordset> recordset);
    ~AdoResultSet() override;

    const AdoColumn& column(int position) const { return columns_[static_cast<size_t>(position)]; }

  private:
    friend class ForwardResultSet<AdoResultSet>;
    bool connectionOpen() const { return session_->isOpen(); }
    void advance();
    std::int64_t countRemainingRows();
    void readValue(int position, Value& value);

    void describe();
    bool recordsetAtEnd();
    // At the end: the recordset and its fields go, the descriptions stay.
    void finish() noexcept;

    std::shared_ptr<AdoSession> session_;  // first: COM outlives the rest
    ado::ComPtr<ado::AdoRecordset> recordset_;
    std::vector<AdoColumn> columns_;
    ado::Variant fetched_;  // the last Value read, cleared by the next
    ado::AdoValueReader reader_;
};

}  // namespace brivano::db
