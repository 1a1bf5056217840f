// The state icons, the default picture, the tree glyphs and the application icon.
#include "Images.h"
#include "Painters.h"

#include "skin/Resource.h"
#include "skin/SkinAtlas.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

const Rgb kWhite{255, 255, 255};

void StateBadge(CCanvas &c, const SkinRect &cell, Rgb top, Rgb bottom, Icon icon, double iconSize)
{
    const double cx = cell.x + 8, cy = cell.y + 8;
    cairo_arc(c.Cr(), cx, cy, 7.5, 0, 2 * M_PI);
    c.FillPathGradient({double(cell.x), double(cell.y), 16, 16}, top, bottom);
    cairo_arc(c.Cr(), cx, cy, 7, 0, 2 * M_PI);
    c.SetColour(Darker(bottom, 0.2), 0.5);
    cairo_set_line_width(c.Cr(), 1);
    cairo_stroke(c.Cr());
    icon(c, cx, cy, iconSize, kWhite);
}

// Draws one glyph image of a resource strip into its own cell.
void ExpanderGlyph(CCanvas &c, double x, bool expanded)
{
    c.Fill({x, 0, 9, 9}, {144, 154, 166});
    c.VerticalGradient({x + 1, 1, 7, 7}, kWhite, {222, 230, 238});
    c.Fill({x + 2, 4, 5, 1}, {52, 66, 82});
    if (!expanded)
        c.Fill({x + 4, 2, 1, 5}, {52, 66, 82});
}

void BulletGlyph(CCanvas &c, double x)
{
    cairo_pattern_t *p = cairo_pattern_create_radial(x + 3.8, 3.6, 0.5, x + 5, 5, 4.2);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.86, 0.94, 1.0);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.36, 0.62, 0.88);
    cairo_arc(c.Cr(), x + 5, 5, 3.6, 0, 2 * M_PI);
    cairo_set_source(c.Cr(), p);
    cairo_fill(c.Cr());
    cairo_pattern_destroy(p);
}

void CheckBoxGlyph(CCanvas &c, double x, bool ticked)
{
    c.Fill({x, 0, 13, 13}, {112, 134, 160});
    c.VerticalGradient({x + 1, 1, 11, 11}, kWhite, {226, 234, 242});
    if (ticked)
        IconCheck(c, x + 6.5, 6.5, 10, {28, 98, 180});
}

void AppIcon(CCanvas &c, int size)
{
    const double s = size;
    const Box body{s * 0.04, s * 0.04, s * 0.92, s * 0.92};
    c.RoundedPath(body, s * 0.22);
    c.FillPathGradient(body, {88, 170, 238}, {22, 84, 160});
    c.RoundedPath({body.x + 1, body.y + 1, body.w - 2, body.h * 0.5}, s * 0.2, s * 0.2, s * 0.05, s * 0.05);
    c.FillPathGradient(body, kWhite, kWhite, 0.18);
    IconPlay(c, s * 0.53, s * 0.5, s * 0.58, kWhite);
}

std::vector<unsigned char> ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct WrittenResource {
    int id;
    std::string path;
};

// The compiled-in copy: one byte array per file and the table FindResourceData reads.
bool WriteResourceSource(const std::vector<WrittenResource> &resources, const std::string &sourceFile)
{
    FILE *out = std::fopen(sourceFile.c_str(), "w");
    if (!out)
        return false;
    std::fprintf(out, "// Written by the skin image generator: the program's glyph bitmaps and icon.\n"
                      "#include \"skin/ResourceData.h\"\n\nnamespace {\n");
    for (size_t i = 0; i < resources.size(); ++i) {
        const std::vector<unsigned char> bytes = ReadBytes(resources[i].path);
        std::fprintf(out, "const unsigned char kData%zu[] = {", i);
        for (size_t b = 0; b < bytes.size(); ++b)
            std::fprintf(out, "%s%u,", b % 24 ? "" : "\n    ", bytes[b]);
        std::fprintf(out, "\n};\n");
    }
    std::fprintf(out, "} // namespace\n\nextern const ResourceBlob g_resourceTable[] = {\n");
    for (size_t i = 0; i < resources.size(); ++i)
        std::fprintf(out, "    {%d, kData%zu, sizeof kData%zu},\n", resources[i].id, i, i);
    std::fprintf(out, "};\nextern const std::size_t g_resourceCount = %zu;\n", resources.size());
    return std::fclose(out) == 0;
}

} // namespace

bool DrawItemStatusSkin(const std::string &path)
{
    using namespace ItemStatusSkin;
    CCanvas c(kWidth, kHeight);
    StateBadge(c, kFinished, {120, 204, 96}, {52, 150, 48}, IconCheck, 10);
    StateBadge(c, kDownloading, {96, 176, 244}, {30, 104, 196}, IconDownload, 10);
    StateBadge(c, kWaiting, {255, 196, 92}, {232, 136, 28}, IconClock, 10);
    return c.SaveBmp(path);
}

bool DrawDefaultPicture(const std::string &path)
{
    CCanvas c(194, 144);
    c.VerticalGradient({0, 0, 194, 144}, {92, 150, 206}, {30, 70, 124});
    // film perforations along the top and bottom edges
    for (double x = 6; x < 194; x += 14) {
        c.RoundedPath({x, 5, 8, 6}, 1.5);
        c.SetColour(kWhite, 0.28);
        cairo_fill(c.Cr());
        c.RoundedPath({x, 133, 8, 6}, 1.5);
        c.SetColour(kWhite, 0.28);
        cairo_fill(c.Cr());
    }
    cairo_arc(c.Cr(), 97, 64, 30, 0, 2 * M_PI);
    c.SetColour(kWhite, 0.2);
    cairo_fill_preserve(c.Cr());
    c.SetColour(kWhite, 0.85);
    cairo_set_line_width(c.Cr(), 2.5);
    cairo_stroke(c.Cr());
    IconPlay(c, 100, 64, 30, kWhite);
    TextStyle style;
    style.px = 15;
    style.bold = true;
    style.italic = true;
    style.family = "DejaVu Sans";
    c.TextCentred("Tovix", {0, 100, 194, 24}, style, kWhite, 0.9);
    return c.SaveJpeg(path);
}

bool DrawResources(const std::string &folder, const std::string &sourceFile)
{
    std::vector<WrittenResource> written;
    bool ok = true;
    auto save = [&](const CCanvas &c, int id, const std::string &name, bool png) {
        const std::string path = folder + "/" + name;
        ok = (png ? c.SavePng(path) : c.SaveBmp(path)) && ok;
        written.push_back({id, path});
    };

    CCanvas expanders(18, 9);
    ExpanderGlyph(expanders, 0, false);
    ExpanderGlyph(expanders, 9, true);
    save(expanders, IDB_EXPANDERS, "Expanders.bmp", false);

    CCanvas bullets(20, 10);
    BulletGlyph(bullets, 0);
    BulletGlyph(bullets, 10);
    save(bullets, IDB_BULLETS, "Bullets.bmp", false);

    CCanvas checks(26, 13);
    CheckBoxGlyph(checks, 0, false);
    CheckBoxGlyph(checks, 13, true);
    save(checks, IDB_CHECKBOXES, "CheckBoxes.bmp", false);

    // The program's window icons are compiled in; the desktop's icon theme gets
    // every size it asks for, and the same drawing as a scalable image.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        CCanvas icon(size, size, true);
        AppIcon(icon, size);
        const std::string name = "Tovix" + std::to_string(size) + ".png";
        if (size == 16 || size == 32 || size == 48 || size == 128)
            save(icon, IDR_MAINFRAME, name, true);
        else
            ok = icon.SavePng(folder + "/" + name) && ok;
    }
    CCanvas scalable(folder + "/Tovix.svg", 256, 256);
    AppIcon(scalable, 256);
    ok = scalable.SaveSvg() && ok;
    return ok && WriteResourceSource(written, sourceFile);
}
