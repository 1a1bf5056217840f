#include "Canvas.h"

#include <cairo-svg.h>
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <cstdio>
#include <vector>

Rgb Mix(Rgb a, Rgb b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb Lighter(Rgb c, double t)
{
    return Mix(c, {255, 255, 255}, t);
}

Rgb Darker(Rgb c, double t)
{
    return Mix(c, {0, 0, 0}, t);
}

CCanvas::CCanvas(int width, int height, bool withAlpha)
    : m_width(width), m_height(height),
      m_surface(cairo_image_surface_create(withAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, width, height)),
      m_cr(cairo_create(m_surface))
{
    if (withAlpha) {
        cairo_set_operator(m_cr, CAIRO_OPERATOR_CLEAR);
        cairo_paint(m_cr);
        cairo_set_operator(m_cr, CAIRO_OPERATOR_OVER);
    } else {
        Fill({0, 0, double(width), double(height)}, {255, 255, 255});
    }
}

CCanvas::CCanvas(const std::string &svgPath, int width, int height)
    : m_width(width), m_height(height), m_surface(cairo_svg_surface_create(svgPath.c_str(), width, height)),
      m_cr(cairo_create(m_surface))
{
}

CCanvas::~CCanvas()
{
    cairo_destroy(m_cr);
    cairo_surface_destroy(m_surface);
}

void CCanvas::SetColour(Rgb c, double alpha)
{
    cairo_set_source_rgba(m_cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
}

void CCanvas::Fill(Box b, Rgb c, double alpha)
{
    SetColour(c, alpha);
    cairo_rectangle(m_cr, b.x, b.y, b.w, b.h);
    cairo_fill(m_cr);
}

void CCanvas::VerticalGradient(Box b, Rgb top, Rgb bottom, double alpha)
{
    cairo_new_path(m_cr);
    cairo_rectangle(m_cr, b.x, b.y, b.w, b.h);
    FillPathGradient(b, top, bottom, alpha);
}

void CCanvas::FillPathGradient(Box b, Rgb top, Rgb bottom, double alpha)
{
    cairo_pattern_t *p = cairo_pattern_create_linear(0, b.y, 0, b.y + b.h);
    cairo_pattern_add_color_stop_rgba(p, 0, top.r / 255, top.g / 255, top.b / 255, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, bottom.r / 255, bottom.g / 255, bottom.b / 255, alpha);
    cairo_set_source(m_cr, p);
    cairo_fill_preserve(m_cr);
    cairo_pattern_destroy(p);
    cairo_new_path(m_cr);
}

void CCanvas::RoundedPath(Box b, double tl, double tr, double br, double bl)
{
    const double right = b.x + b.w, bottom = b.y + b.h;
    cairo_new_sub_path(m_cr);
    cairo_arc(m_cr, right - tr, b.y + tr, tr, -M_PI / 2, 0);
    cairo_arc(m_cr, right - br, bottom - br, br, 0, M_PI / 2);
    cairo_arc(m_cr, b.x + bl, bottom - bl, bl, M_PI / 2, M_PI);
    cairo_arc(m_cr, b.x + tl, b.y + tl, tl, M_PI, 3 * M_PI / 2);
    cairo_close_path(m_cr);
}

void CCanvas::RoundedOutline(Box b, double r, Rgb c, double alpha)
{
    RoundedPath(b.Inset(0.5), r - 0.5);
    SetColour(c, alpha);
    cairo_set_line_width(m_cr, 1);
    cairo_stroke(m_cr);
}

namespace {

PangoLayout *MakeLayout(cairo_t *cr, const std::string &utf8, const TextStyle &style)
{
    PangoLayout *layout = pango_cairo_create_layout(cr);
    PangoFontDescription *font = pango_font_description_from_string(style.family);
    pango_font_description_set_absolute_size(font, style.px * PANGO_SCALE);
    pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(font, style.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, utf8.c_str(), -1);
    return layout;
}

} // namespace

void CCanvas::Measure(const std::string &utf8, const TextStyle &style, double *w, double *h) const
{
    PangoLayout *layout = MakeLayout(m_cr, utf8, style);
    PangoRectangle ink, logical;
    pango_layout_get_pixel_extents(layout, &ink, &logical);
    *w = logical.width;
    *h = logical.height;
    g_object_unref(layout);
}

void CCanvas::Text(const std::string &utf8, double x, double y, const TextStyle &style, Rgb c, double alpha)
{
    PangoLayout *layout = MakeLayout(m_cr, utf8, style);
    SetColour(c, alpha);
    cairo_move_to(m_cr, std::round(x), std::round(y));
    pango_cairo_show_layout(m_cr, layout);
    g_object_unref(layout);
}

void CCanvas::TextCentred(const std::string &utf8, Box b, const TextStyle &style, Rgb c, double alpha)
{
    double w = 0, h = 0;
    Measure(utf8, style, &w, &h);
    Text(utf8, b.x + (b.w - w) / 2, b.y + (b.h - h) / 2, style, c, alpha);
}

void CCanvas::Clip(Box b)
{
    cairo_save(m_cr);
    cairo_rectangle(m_cr, b.x, b.y, b.w, b.h);
    cairo_clip(m_cr);
}

void CCanvas::Unclip()
{
    cairo_restore(m_cr);
}

bool CCanvas::SaveBmp(const std::string &path) const
{
    return Save(path, "bmp", false);
}

bool CCanvas::SaveJpeg(const std::string &path) const
{
    return Save(path, "jpeg", false);
}

bool CCanvas::SavePng(const std::string &path) const
{
    return Save(path, "png", true);
}

bool CCanvas::SaveSvg()
{
    cairo_surface_finish(m_surface);
    const bool ok = cairo_surface_status(m_surface) == CAIRO_STATUS_SUCCESS;
    if (!ok)
        std::fprintf(stderr, "cannot write the SVG image: %s\n", cairo_status_to_string(cairo_surface_status(m_surface)));
    return ok;
}

// Cairo keeps premultiplied native-endian ARGB words; gdk-pixbuf wants RGB(A) bytes.
bool CCanvas::Save(const std::string &path, const char *type, bool alpha) const
{
    cairo_surface_flush(m_surface);
    const unsigned char *data = cairo_image_surface_get_data(m_surface);
    const int stride = cairo_image_surface_get_stride(m_surface);
    const int channels = alpha ? 4 : 3;
    std::vector<guchar> pixels(size_t(m_width) * m_height * channels);
    for (int y = 0; y < m_height; ++y) {
        const auto *row = reinterpret_cast<const uint32_t *>(data + size_t(y) * stride);
        for (int x = 0; x < m_width; ++x) {
            const uint32_t argb = row[x];
            const unsigned a = alpha ? argb >> 24 : 255;
            auto channel = [&](int shift) -> guchar {
                const unsigned v = (argb >> shift) & 0xFF;
                return a == 0 ? 0 : guchar(std::min(255u, (v * 255 + a / 2) / a));
            };
            guchar *out = &pixels[(size_t(y) * m_width + x) * channels];
            out[0] = channel(16);
            out[1] = channel(8);
            out[2] = channel(0);
            if (alpha)
                out[3] = guchar(a);
        }
    }
    GdkPixbuf *pixbuf = gdk_pixbuf_new_from_data(pixels.data(), GDK_COLORSPACE_RGB, alpha, 8, m_width, m_height,
                                                 m_width * channels, nullptr, nullptr);
    GError *error = nullptr;
    const bool ok = std::string(type) == "jpeg"
                        ? gdk_pixbuf_save(pixbuf, path.c_str(), type, &error, "quality", "92", nullptr)
                        : gdk_pixbuf_save(pixbuf, path.c_str(), type, &error, nullptr);
    if (!ok) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), error ? error->message : "?");
        g_clear_error(&error);
    }
    g_object_unref(pixbuf);
    return ok;
}
