// The report engine: the document with its paper, preview and printing, layout and grid
// panels, and the text item.
#pragma once

#include "lrcontrol.h"   // IWYU pragma: export
#include "lrdocument.h"  // IWYU pragma: export
#include "lrgridpanel.h" // IWYU pragma: export
#include "lritem.h"      // IWYU pragma: export
#include "lrpanel.h"     // IWYU pragma: export
#include "lrtypes.h"     // IWYU pragma: export
