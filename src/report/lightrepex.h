// The report engine's picture item.
#pragma once

#include "lightrep.h" // IWYU pragma: export
#include "lrimage.h"  // IWYU pragma: export
