// The look shared by every skin image: button faces in their four states,
// the small icons on them, and the strip layout (normal, hover, pressed,
// disabled side by side).
#pragma once

#include "Canvas.h"

#include <functional>
#include <string>

enum EState { kNormal, kHover, kPressed, kDisabled };

// Paints what lies behind a button where the windows place it, so that the
// rounded corners blend into the real surroundings.
using Backdrop = std::function<void(CCanvas &, Box cell)>;
using Face = std::function<void(CCanvas &, Box cell, EState)>;
// Draws an icon centred at (cx, cy), fitting a square of the given size.
using Icon = std::function<void(CCanvas &, double cx, double cy, double size, Rgb colour)>;

// Four cells of w x h side by side from (x, y): each gets the backdrop, then the face.
void DrawStrip(CCanvas &canvas, int x, int y, int w, int h, const Backdrop &backdrop, const Face &face);

Backdrop SolidBackdrop(Rgb colour);
// Rows of a backdrop given row by row: colourOfRow(i) for the cell's row i.
Backdrop RowsBackdrop(std::function<Rgb(int row)> colourOfRow);

// A rounded push button with an optional icon before its label. Primary buttons
// are filled blue with white text, the others light with blue text.
Face PushFace(const std::string &label, Icon icon, bool primary, double textPx = 12);
// A caption button drawn straight on a coloured band: a glyph, a hover glow,
// a pressed shade. Red hover for close buttons.
Face CaptionFace(Icon glyph, Rgb glyphColour, bool closeButton);
// A caption button with a short text (and an optional icon after it).
Face CaptionTextFace(const std::string &label, Icon trailing, Rgb textColour);

// Icons, drawn with cairo paths.
void IconDownload(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconStop(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconPlay(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconStar(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconDelete(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconFolder(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconCheck(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconCross(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconMinimize(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconMaximize(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconRestore(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconCaret(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconTelevision(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconHeart(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconClock(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconPause(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconSpeaker(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconSpeakerMuted(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconFullScreen(CCanvas &c, double cx, double cy, double s, Rgb colour);
void IconLeaveFullScreen(CCanvas &c, double cx, double cy, double s, Rgb colour);
