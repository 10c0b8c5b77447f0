// The design grid that the document and its panels draw in design mode: a line every 5 mm of
// the page, solid every centimetre and dotted between, aligned to the paper's corner whatever
// control is painted.
#pragma once

#include "platform/canvas.h"

/// Draws the grid on a control `width` × `height` whose top-left corner is at (left, top) of
/// the page.
void DrawDesignGrid(TCanvas& canvas, int width, int height, int left, int top);

/// The dotted frame through the outer pixels of a `width` × `height` control.
void DrawDesignFrame(TCanvas& canvas, int width, int height, TColor color);
