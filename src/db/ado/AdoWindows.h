#pragma once

// The Windows headers of the ADO provider, one room that CMake builds for
// Windows only. Its target defines NOMINMAX and WIN32_LEAN_AND_MEAN for
// whoever includes it, so that windows.h leaves std::min, std::max and the
// rest of the tree alone.
#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
