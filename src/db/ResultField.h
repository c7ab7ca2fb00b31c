#pragma once

#include "db/Database.h"

namespace brivano::db {

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

}  // namespace brivano::db
