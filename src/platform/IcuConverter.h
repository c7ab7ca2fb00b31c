#pragma once

#include <unicode/ucnv.h>

#include <memory>

// ICU's converters, for the ICU sources of platform only.
namespace brivano::platform {

struct IcuConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using IcuConverter = std::unique_ptr<UConverter, IcuConverterCloser>;

// The converter of Windows code page `number`. Throws Error when ICU does
// not know it.
IcuConverter openCodePageConverter(int number);

}  // namespace brivano::platform
