// A file of the database side that reaches up into the engine: the room
// check must refuse it.
#include "export/Engine.h"
