#pragma once

// The one failure type lives under every room, in texts; the rooms above
// keep including it here.
#include "texts/Error.h"
