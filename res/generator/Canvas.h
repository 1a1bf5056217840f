// A drawing surface for the skin images: cairo for shapes, pango for text,
// gdk-pixbuf for writing BMP, JPEG and PNG files; cairo's SVG surface for the
// scalable icon. Needs no display.
#pragma once

#include <cairo.h>

#include <string>

struct Rgb {
    double r, g, b; // 0..255
};

Rgb Mix(Rgb a, Rgb b, double t);
Rgb Lighter(Rgb c, double t); // towards white
Rgb Darker(Rgb c, double t);  // towards black

struct Box {
    double x, y, w, h;
    Box Inset(double d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
    Box Moved(double dx, double dy) const { return {x + dx, y + dy, w, h}; }
    double Cx() const { return x + w / 2; }
    double Cy() const { return y + h / 2; }
};

struct TextStyle {
    double px = 12;        // font size in pixels
    bool bold = false;
    bool italic = false;
    const char *family = "WenQuanYi Zen Hei Sharp, DejaVu Sans";
};

class CCanvas {
public:
    CCanvas(int width, int height, bool withAlpha = false);
    // A vector surface of width x height units, written to svgPath by SaveSvg.
    CCanvas(const std::string &svgPath, int width, int height);
    ~CCanvas();
    CCanvas(const CCanvas &) = delete;
    CCanvas &operator=(const CCanvas &) = delete;

    cairo_t *Cr() const { return m_cr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    void SetColour(Rgb c, double alpha = 1.0);
    void Fill(Box b, Rgb c, double alpha = 1.0);
    // Fills the box, or the current path with the gradient running over the box.
    void VerticalGradient(Box b, Rgb top, Rgb bottom, double alpha = 1.0);
    void FillPathGradient(Box extent, Rgb top, Rgb bottom, double alpha = 1.0);
    // Adds a rounded rectangle to the path; radius per corner: top-left, top-right, bottom-right, bottom-left.
    void RoundedPath(Box b, double r) { RoundedPath(b, r, r, r, r); }
    void RoundedPath(Box b, double tl, double tr, double br, double bl);
    // A one-pixel outline of a rounded rectangle whose outer edge is the box.
    void RoundedOutline(Box b, double r, Rgb c, double alpha = 1.0);

    // Width and height of a text in pixels.
    void Measure(const std::string &utf8, const TextStyle &style, double *w, double *h) const;
    // Draws a text with its top-left at (x, y).
    void Text(const std::string &utf8, double x, double y, const TextStyle &style, Rgb c, double alpha = 1.0);
    // Draws a text centred in the box.
    void TextCentred(const std::string &utf8, Box b, const TextStyle &style, Rgb c, double alpha = 1.0);

    // Clips further drawing to the box until Unclip.
    void Clip(Box b);
    void Unclip();

    bool SaveBmp(const std::string &path) const;
    bool SaveJpeg(const std::string &path) const;
    bool SavePng(const std::string &path) const;
    // Ends drawing on a vector surface and completes its file.
    bool SaveSvg();

private:
    bool Save(const std::string &path, const char *type, bool alpha) const;

    int m_width;
    int m_height;
    cairo_surface_t *m_surface;
    cairo_t *m_cr;
};
