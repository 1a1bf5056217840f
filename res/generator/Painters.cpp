#include "Painters.h"

#include <cmath>

namespace {

const Rgb kWhite{255, 255, 255};

struct PushColours {
    Rgb top, bottom, border, text, icon;
};

PushColours PushColoursFor(bool primary, EState state)
{
    if (state == kDisabled)
        return {{240, 242, 244}, {220, 224, 228}, {182, 188, 194}, {150, 156, 162}, {168, 174, 180}};
    if (primary) {
        switch (state) {
        case kHover:
            return {{132, 196, 246}, {56, 128, 206}, {34, 94, 168}, kWhite, kWhite};
        case kPressed:
            return {{38, 98, 170}, {78, 144, 210}, {22, 68, 126}, {236, 244, 252}, {236, 244, 252}};
        default:
            return {{104, 172, 232}, {40, 106, 184}, {30, 82, 146}, kWhite, kWhite};
        }
    }
    switch (state) {
    case kHover:
        return {{255, 255, 255}, {198, 228, 252}, {78, 140, 206}, {18, 70, 132}, {36, 112, 196}};
    case kPressed:
        return {{192, 218, 242}, {226, 240, 250}, {68, 114, 170}, {18, 62, 116}, {30, 96, 172}};
    default:
        return {{255, 255, 255}, {218, 233, 246}, {126, 160, 198}, {40, 70, 106}, {52, 112, 180}};
    }
}

void Line(CCanvas &c, double x1, double y1, double x2, double y2, double width, Rgb colour)
{
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_set_line_width(cr, width);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, x1, y1);
    cairo_line_to(cr, x2, y2);
    cairo_stroke(cr);
}

} // namespace

void DrawStrip(CCanvas &canvas, int x, int y, int w, int h, const Backdrop &backdrop, const Face &face)
{
    for (int state = kNormal; state <= kDisabled; ++state) {
        const Box cell{double(x + state * w), double(y), double(w), double(h)};
        canvas.Clip(cell);
        backdrop(canvas, cell);
        face(canvas, cell, EState(state));
        canvas.Unclip();
    }
}

Backdrop SolidBackdrop(Rgb colour)
{
    return [colour](CCanvas &c, Box cell) { c.Fill(cell, colour); };
}

Backdrop RowsBackdrop(std::function<Rgb(int row)> colourOfRow)
{
    return [colourOfRow](CCanvas &c, Box cell) {
        for (int row = 0; row < int(cell.h); ++row)
            c.Fill({cell.x, cell.y + row, cell.w, 1}, colourOfRow(row));
    };
}

Face PushFace(const std::string &label, Icon icon, bool primary, double textPx)
{
    return [=](CCanvas &c, Box cell, EState state) {
        const PushColours colours = PushColoursFor(primary, state);
        const Box body = cell.Inset(1);
        const double radius = cell.h >= 30 ? 5 : 4;
        c.RoundedPath(body, radius);
        c.FillPathGradient(body, colours.top, colours.bottom);
        if (state == kNormal || state == kHover) {
            // a soft gloss over the upper half
            c.RoundedPath({body.x + 1, body.y + 1, body.w - 2, body.h / 2 - 1}, radius - 1, radius - 1, 1, 1);
            c.FillPathGradient({body.x, body.y, body.w, body.h / 2}, kWhite, kWhite, primary ? 0.16 : 0.5);
        }
        c.RoundedOutline(body, radius, colours.border);
        if (state != kDisabled) // a faint shadow line under the button
            c.Fill({body.x + radius, body.y + body.h, body.w - 2 * radius, 1}, {0, 0, 0}, 0.08);

        TextStyle style;
        style.px = textPx;
        double tw = 0, th = 0;
        c.Measure(label, style, &tw, &th);
        const double iconSize = icon ? std::round(std::min(body.h * 0.5, 16.0)) : 0;
        const double gap = icon ? 5 : 0;
        const double shift = state == kPressed ? 1 : 0;
        const double left = std::round(body.x + (body.w - (iconSize + gap + tw)) / 2) + shift;
        if (icon)
            icon(c, left + iconSize / 2, body.Cy() + shift, iconSize, colours.icon);
        if (primary && state != kDisabled && state != kPressed)
            c.Text(label, left + iconSize + gap, body.y + (body.h - th) / 2 + 1 + shift, style, {0, 0, 0}, 0.25);
        c.Text(label, left + iconSize + gap, body.y + (body.h - th) / 2 + shift, style, colours.text);
    };
}

Face CaptionFace(Icon glyph, Rgb glyphColour, bool closeButton)
{
    return [=](CCanvas &c, Box cell, EState state) {
        const Box body = cell.Inset(1);
        Rgb colour = glyphColour;
        double alpha = 1;
        if (state == kHover) {
            c.RoundedPath(body, 3);
            if (closeButton) {
                c.FillPathGradient(body, {238, 104, 88}, {200, 50, 40});
                colour = kWhite;
            } else {
                c.FillPathGradient(body, kWhite, kWhite, 0.30);
                c.RoundedOutline(body, 3, kWhite, 0.45);
            }
        } else if (state == kPressed) {
            c.RoundedPath(body, 3);
            if (closeButton) {
                c.FillPathGradient(body, {170, 40, 32}, {200, 60, 48});
                colour = kWhite;
            } else {
                c.FillPathGradient(body, {0, 0, 0}, {0, 0, 0}, 0.20);
            }
        } else if (state == kDisabled) {
            alpha = 0.4;
        }
        const double shift = state == kPressed ? 1 : 0;
        c.Clip(cell);
        cairo_push_group(c.Cr());
        glyph(c, std::round(body.Cx()) + shift, std::round(body.Cy()) + shift, std::min(body.w, body.h) * 0.62, colour);
        cairo_pop_group_to_source(c.Cr());
        cairo_paint_with_alpha(c.Cr(), alpha);
        c.Unclip();
    };
}

Face CaptionTextFace(const std::string &label, Icon trailing, Rgb textColour)
{
    const Face frame = CaptionFace([](CCanvas &, double, double, double, Rgb) {}, textColour, false);
    return [=](CCanvas &c, Box cell, EState state) {
        frame(c, cell, state);
        TextStyle style;
        double tw = 0, th = 0;
        c.Measure(label, style, &tw, &th);
        const double trailingSize = trailing ? 7 : 0;
        const double shift = state == kPressed ? 1 : 0;
        const double left = std::round(cell.x + (cell.w - tw - trailingSize - (trailing ? 3 : 0)) / 2) + shift;
        const double alpha = state == kDisabled ? 0.45 : 1;
        c.Text(label, left, cell.y + (cell.h - th) / 2 + shift, style, textColour, alpha);
        if (trailing)
            trailing(c, left + tw + 3 + trailingSize / 2, cell.Cy() + 1 + shift, trailingSize, textColour);
    };
}

void IconDownload(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s / 2;
    Line(c, cx, cy - h + 1, cx, cy + h * 0.35, 2, colour);
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_move_to(cr, cx - h * 0.65, cy);
    cairo_line_to(cr, cx + h * 0.65, cy);
    cairo_line_to(cr, cx, cy + h * 0.62);
    cairo_close_path(cr);
    cairo_fill(cr);
    Line(c, cx - h + 1, cy + h - 0.5, cx + h - 1, cy + h - 0.5, 1.6, colour);
}

void IconStop(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s * 0.36;
    c.RoundedPath({cx - h, cy - h, 2 * h, 2 * h}, 1.5);
    c.SetColour(colour);
    cairo_fill(c.Cr());
}

void IconPlay(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s * 0.44;
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_move_to(cr, cx - h * 0.75, cy - h);
    cairo_line_to(cr, cx + h, cy);
    cairo_line_to(cr, cx - h * 0.75, cy + h);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void IconStar(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    cairo_t *cr = c.Cr();
    const double outer = s / 2, inner = outer * 0.45;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? inner : outer;
        const double a = -M_PI / 2 + i * M_PI / 5;
        const double x = cx + r * std::cos(a), y = cy + 0.5 + r * std::sin(a);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
    c.SetColour(colour);
    cairo_fill(cr);
}

void IconDelete(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s / 2;
    Line(c, cx - h + 1, cy - h + 2.5, cx + h - 1, cy - h + 2.5, 1.5, colour);
    Line(c, cx - 2, cy - h + 1, cx + 2, cy - h + 1, 1.5, colour);
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_set_line_width(cr, 1.5);
    cairo_move_to(cr, cx - h + 2.5, cy - h + 4);
    cairo_line_to(cr, cx - h + 3.5, cy + h - 0.5);
    cairo_line_to(cr, cx + h - 3.5, cy + h - 0.5);
    cairo_line_to(cr, cx + h - 2.5, cy - h + 4);
    cairo_stroke(cr);
    Line(c, cx, cy - h + 6, cx, cy + h - 2.5, 1.2, colour);
}

void IconFolder(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s / 2;
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_move_to(cr, cx - h, cy - h * 0.7);
    cairo_line_to(cr, cx - h * 0.2, cy - h * 0.7);
    cairo_line_to(cr, cx + h * 0.05, cy - h * 0.4);
    cairo_line_to(cr, cx + h, cy - h * 0.4);
    cairo_line_to(cr, cx + h, cy + h * 0.75);
    cairo_line_to(cr, cx - h, cy + h * 0.75);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void IconCheck(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s / 2;
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_set_line_width(cr, std::max(1.6, s / 7));
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_move_to(cr, cx - h * 0.7, cy + h * 0.05);
    cairo_line_to(cr, cx - h * 0.2, cy + h * 0.55);
    cairo_line_to(cr, cx + h * 0.75, cy - h * 0.5);
    cairo_stroke(cr);
}

void IconCross(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s * 0.36;
    Line(c, cx - h, cy - h, cx + h, cy + h, 1.8, colour);
    Line(c, cx - h, cy + h, cx + h, cy - h, 1.8, colour);
}

void IconMinimize(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s * 0.36;
    c.Fill({std::round(cx - h), std::round(cy + h - 2), std::round(2 * h), 2}, colour);
}

namespace {

void WindowOutline(CCanvas &c, Box b, Rgb colour)
{
    c.Fill({b.x, b.y, b.w, 2}, colour);
    c.Fill({b.x, b.y, 1, b.h}, colour);
    c.Fill({b.x + b.w - 1, b.y, 1, b.h}, colour);
    c.Fill({b.x, b.y + b.h - 1, b.w, 1}, colour);
}

} // namespace

void IconMaximize(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = std::round(s * 0.36);
    WindowOutline(c, {std::round(cx - h), std::round(cy - h), 2 * h, 2 * h}, colour);
}

// Two overlapping windows; the caller draws into a group, so the front one can
// clear what the back one left under it.
void IconRestore(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double side = std::round(s * 0.56);
    const Box back{std::round(cx - side / 2 + 1), std::round(cy - side / 2 - 2), side, side};
    const Box front{back.x - 3, back.y + 3, side, side};
    WindowOutline(c, back, colour);
    cairo_save(c.Cr());
    cairo_set_operator(c.Cr(), CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(c.Cr(), front.x, front.y, front.w, front.h);
    cairo_fill(c.Cr());
    cairo_restore(c.Cr());
    WindowOutline(c, front, colour);
}

void IconCaret(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s / 2;
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_move_to(cr, cx - h, cy - h / 2);
    cairo_line_to(cr, cx + h, cy - h / 2);
    cairo_line_to(cr, cx, cy + h / 2);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void IconTelevision(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double stroke = std::max(2.0, std::round(s * 0.08));
    const Box screen{cx - s / 2, cy - s * 0.36, s, s * 0.68};
    c.RoundedPath(screen.Inset(stroke / 2), s * 0.08);
    c.SetColour(colour);
    cairo_set_line_width(c.Cr(), stroke);
    cairo_stroke(c.Cr());
    IconPlay(c, cx + s * 0.03, screen.Cy(), s * 0.32, colour);
    Line(c, cx - s * 0.22, screen.y + screen.h + s * 0.1, cx + s * 0.22, screen.y + screen.h + s * 0.1, stroke,
         colour);
    Line(c, cx - s * 0.17, screen.y - s * 0.15, cx - s * 0.03, screen.y - stroke / 2, stroke * 0.7, colour);
    Line(c, cx + s * 0.17, screen.y - s * 0.15, cx + s * 0.03, screen.y - stroke / 2, stroke * 0.7, colour);
}

void IconHeart(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    cairo_t *cr = c.Cr();
    const double h = s / 2;
    cairo_move_to(cr, cx, cy + h * 0.85);
    cairo_curve_to(cr, cx - h * 1.3, cy - h * 0.05, cx - h * 0.75, cy - h * 1.05, cx, cy - h * 0.45);
    cairo_curve_to(cr, cx + h * 0.75, cy - h * 1.05, cx + h * 1.3, cy - h * 0.05, cx, cy + h * 0.85);
    cairo_close_path(cr);
    c.SetColour(colour);
    cairo_fill(cr);
}

void IconClock(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_set_line_width(cr, 1.4);
    cairo_arc(cr, cx, cy, s / 2 - 0.7, 0, 2 * M_PI);
    cairo_stroke(cr);
    Line(c, cx, cy, cx, cy - s * 0.3, 1.4, colour);
    Line(c, cx, cy, cx + s * 0.22, cy + s * 0.08, 1.4, colour);
}

void IconPause(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = std::round(s * 0.38), w = std::max(2.0, std::round(s * 0.22));
    c.Fill({std::round(cx - w - 1.5), cy - h, w, 2 * h}, colour);
    c.Fill({std::round(cx + 1.5), cy - h, w, 2 * h}, colour);
}

namespace {

// The speaker's box and cone, left of the centre.
void Speaker(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    const double h = s * 0.4;
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_move_to(cr, cx - h * 1.1, cy - h * 0.35);
    cairo_line_to(cr, cx - h * 0.55, cy - h * 0.35);
    cairo_line_to(cr, cx + h * 0.05, cy - h);
    cairo_line_to(cr, cx + h * 0.05, cy + h);
    cairo_line_to(cr, cx - h * 0.55, cy + h * 0.35);
    cairo_line_to(cr, cx - h * 1.1, cy + h * 0.35);
    cairo_close_path(cr);
    cairo_fill(cr);
}

} // namespace

void IconSpeaker(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    Speaker(c, cx, cy, s, colour);
    cairo_t *cr = c.Cr();
    c.SetColour(colour);
    cairo_set_line_width(cr, 1.5);
    for (double r : {s * 0.22, s * 0.4}) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, cx + s * 0.08, cy, r, -0.9, 0.9);
        cairo_stroke(cr);
    }
}

void IconSpeakerMuted(CCanvas &c, double cx, double cy, double s, Rgb colour)
{
    Speaker(c, cx, cy, s, colour);
    const double x = cx + s * 0.3, h = s * 0.17;
    Line(c, x - h, cy - h, x + h, cy + h, 1.6, {236, 96, 80});
    Line(c, x - h, cy + h, x + h, cy - h, 1.6, {236, 96, 80});
}

namespace {

// Four corner marks, pointing out (or in) from a square of half-side h.
void Corners(CCanvas &c, double cx, double cy, double s, Rgb colour, bool inwards)
{
    const double h = std::round(s * 0.4), l = std::round(s * 0.22);
    for (int sx : {-1, 1})
        for (int sy : {-1, 1}) {
            const double x = cx + sx * h, y = cy + sy * h;
            const double d = inwards ? -1 : 1;
            // the corner's two arms, meeting at (x, y) outwards or at the inner corner inwards
            const double ax = inwards ? x - sx * l : x, ay = inwards ? y - sy * l : y;
            Line(c, ax, ay, ax - sx * l * d, ay, 1.6, colour);
            Line(c, ax, ay, ax, ay - sy * l * d, 1.6, colour);
        }
}

} // namespace

void IconFullScreen(CCanvas &c, double cx, double cy, double s, Rgb colour) { Corners(c, cx, cy, s, colour, false); }

void IconLeaveFullScreen(CCanvas &c, double cx, double cy, double s, Rgb colour) { Corners(c, cx, cy, s, colour, true); }
