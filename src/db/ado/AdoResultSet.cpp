#include "db/ado/AdoResultSet.h"

#include <algorithm>
#include <limits>

namespace brivano::db {

namespace {

// ADO's DefinedSize is as wide as a pointer; the export file's is 32 bits.
std::int32_t definedSizeOf(LONG_PTR size) {
    return static_cast<std::int32_t>(std::clamp<LONG_PTR>(
        size, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

AdoResultSet::AdoResultSet(std::shared_ptr<AdoSession> session,
                           ado::ComPtr<ado::AdoRecordset> recordset)
    : session_(std::move(session)), recordset_(std::move(recordset)) {
    // A command that returns no rows gives a closed recordset, or none.
    LONG state = 0;
    if (!recordset_ || FAILED(recordset_->get_State(&state)) || (state & ado::adStateOpen) == 0) {
        buildFields(columns_);
        finish();
        return;
    }
    describe();
    buildFields(columns_);
    if (columns_.empty() || recordsetAtEnd())
        finish();
}

AdoResultSet::~AdoResultSet() {
    finish();
}

void AdoResultSet::describe() {
    ado::ComPtr<ado::AdoFields> fields;
    session_->check(recordset_->get_Fields(fields.out()), "Recordset.Fields");
    LONG count = 0;
    session_->check(fields->get_Count(&count), "Fields.Count");
    columns_.reserve(static_cast<size_t>(std::max<LONG>(count, 0)));
    for (LONG position = 0; position < count; ++position) {
        AdoColumn column;
        session_->check(
            fields->get_Item(ado::Variant::ofLong(position).value(), column.field.out()),
            "Fields.Item");
        ado::Bstr name;
        LONG type = 0;
        LONG_PTR size = 0;
        LONG attributes = 0;
        session_->check(column.field->get_Name(name.out()), "Field.Name");
        session_->check(column.field->get_Type(&type), "Field.Type");
        session_->check(column.field->get_DefinedSize(&size), "Field.DefinedSize");
        session_->check(column.field->get_Attributes(&attributes), "Field.Attributes");
        column.name = name.text();
        column.shape.type = static_cast<std::int16_t>(type);
        column.shape.definedSize = definedSizeOf(size);
        column.shape.attributes = static_cast<std::int32_t>(attributes);
        // The kind follows each value's VARIANT, not the column.
        column.shape.kind = ValueKind::Other;
        columns_.push_back(std::move(column));
    }
}

bool AdoResultSet::recordsetAtEnd() {
    VARIANT_BOOL atEnd = VARIANT_FALSE;
    session_->check(recordset_->get_EOF(&atEnd), "Recordset.EOF");
    return atEnd != VARIANT_FALSE;
}

void AdoResultSet::advance() {
    try {
        session_->check(recordset_->MoveNext(), "Recordset.MoveNext");
        if (recordsetAtEnd())
            finish();
    } catch (const Error&) {
        // A recordset that failed to move has no current row to offer.
        finish();
        throw;
    }
}

std::int64_t AdoResultSet::countRemainingRows() {
    std::int64_t rows = 1;  // the current row
    for (advance(); !isAtEnd(); advance())
        ++rows;
    return rows;
}

void AdoResultSet::readValue(int position, Value& value) {
    const AdoColumn& column = columns_[static_cast<size_t>(position)];
    session_->check(column.field->get_Value(fetched_.out()), "Field.Value");
    reader_.read(fetched_.get(), column.name, value);
}

void AdoResultSet::finish() noexcept {
    endReached();
    for (AdoColumn& column : columns_)
        column.field.reset();
    // A recordset of a connection that is closed was closed with it.
    if (recordset_ && session_->isOpen())
        recordset_->Close();
    recordset_.reset();
}

}  // namespace brivano::db
