// Pixel-exact drawing helpers shared by the skinned controls. Everything is
// drawn as filled rectangles without a pen: on GTK3 a wxDC draws through
// cairo, where filled, pixel-aligned rectangles are exact and lines are not.
#pragma once

#include <wx/bitmap.h>
#include <wx/colour.h>
#include <wx/dc.h>
#include <wx/gdicmn.h>
#include <wx/region.h>

void FillSolid(wxDC &dc, const wxRect &rect, const wxColour &colour);
// A one-pixel frame just inside the rectangle.
void FrameSolid(wxDC &dc, const wxRect &rect, const wxColour &colour);
// A one-pixel frame inside the rectangle without its four corner pixels, filled
// white inside: the small rounded boxes of the scroll bar.
void DrawRoundBox(wxDC &dc, const wxRect &rect, const wxColour &outline);
// The raised/etched edge: top and left in topLeft, bottom and right in
// bottomRight, over cx x cy from (x, y); the top-right corner pixel belongs to
// the right edge and the bottom-left one to the bottom edge.
void Draw3dRect(wxDC &dc, int x, int y, int cx, int cy, const wxColour &topLeft, const wxColour &bottomRight);

// Band k of a gradient of `bands` solid colours from start towards end: each
// channel trunc(start - k * (start - end) / bands). The last band stops one
// step short of end.
wxColour GradientBand(const wxColour &start, const wxColour &end, int k, int bands);
// Column i of the n columns of the rectangle gets band trunc((bands - 1) * i / n).
void FillHorizontalGradient(wxDC &dc, const wxRect &rect, const wxColour &start, const wxColour &end, int bands);
// Row i of the n rows of the rectangle gets band trunc((bands - 1) * i / n).
void FillVerticalGradient(wxDC &dc, const wxRect &rect, const wxColour &start, const wxColour &end, int bands);

// Copies a piece of a skin bitmap to dest, stretched by repeating pixels when
// the sizes differ. Nothing happens with a null skin; a piece reaching past
// the skin is cut to it.
void DrawSkinPiece(wxDC &dc, const wxRect &dest, const wxBitmap &skin, const wxRect &source);

// Rounded rectangles over the pixel box `box`, whose corners are quarters of
// an ellipseWidth x ellipseHeight ellipse: how far row `row` of the box is cut
// in at each end, the pixels inside (a window shape, a fill) and the one-pixel
// outline of those pixels (drawn like a one-pixel pen kept inside the box).
int RoundRectInset(int row, int height, int ellipseWidth, int ellipseHeight);
wxRegion RoundRectRegion(const wxRect &box, int ellipseWidth, int ellipseHeight);
void FillRoundRect(wxDC &dc, const wxRect &box, int ellipseWidth, int ellipseHeight, const wxColour &colour);
void DrawRoundRectOutline(wxDC &dc, const wxRect &box, int ellipseWidth, int ellipseHeight, const wxColour &colour);
