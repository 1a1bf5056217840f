// Skins/Main.bmp: the main window's caption band, its caption and tab buttons,
// the subscribe button, the file list and detail pane buttons and the detail
// pane's band, line and picture frame.
#include "Images.h"
#include "Painters.h"

#include "skin/SkinAtlas.h"

#include <algorithm>
#include <cmath>

using namespace MainSkin;

namespace {

const Rgb kWhite{255, 255, 255};

// The band, row by row, as stored (84 rows); the window stretches it to 93.
Rgb BandRow(int row)
{
    const double t = row / double(kBandColumn.height - 1);
    if (t < 0.55)
        return Mix({26, 96, 166}, {50, 134, 204}, t / 0.55);
    if (t < 0.93)
        return Mix({50, 134, 204}, {96, 172, 228}, (t - 0.55) / 0.38);
    return Mix({96, 172, 228}, {146, 200, 238}, (t - 0.93) / 0.07);
}

// The band as the window shows it at client row y (stretched 84 -> 93 rows).
Rgb BandAtWindowRow(int y)
{
    if (y >= kBandHeight)
        return kWhite;
    return BandRow(std::min(kBandColumn.height - 1, y * kBandColumn.height / kBandHeight));
}

Backdrop BandBackdrop(int windowTop)
{
    return RowsBackdrop([windowTop](int row) { return BandAtWindowRow(windowTop + row); });
}

// The 64-band gradient rule the windows paint their own backgrounds with.
Rgb Band64(Rgb top, Rgb end, int rows, int row)
{
    const int k = 63 * row / rows;
    return {std::trunc(top.r - k * (top.r - end.r) / 64.0), std::trunc(top.g - k * (top.g - end.g) / 64.0),
            std::trunc(top.b - k * (top.b - end.b) / 64.0)};
}

void DrawBand(CCanvas &c)
{
    const SkinRect &block = kBandLeftBlock;
    for (int row = 0; row < block.height; ++row)
        c.Fill({double(block.x), double(block.y + row), double(block.width), 1}, BandRow(row));

    // the logo on the left block, clear of its first and last columns, which must
    // match the plain band column stretched beside it
    c.Clip({double(block.x + 2), double(block.y), double(block.width - 4), double(block.height)});
    cairo_t *cr = c.Cr();
    cairo_pattern_t *glow = cairo_pattern_create_radial(block.x + 40, block.y + 30, 4, block.x + 40, block.y + 30, 70);
    cairo_pattern_add_color_stop_rgba(glow, 0, 1, 1, 1, 0.22);
    cairo_pattern_add_color_stop_rgba(glow, 1, 1, 1, 1, 0);
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);

    const double bx = block.x + 14, by = block.y + 16;
    c.RoundedPath({bx, by, 30, 30}, 8);
    c.FillPathGradient({bx, by, 30, 30}, {255, 255, 255}, {206, 230, 248});
    IconPlay(c, bx + 16, by + 15, 17, {38, 118, 196});
    TextStyle logo;
    logo.px = 25;
    logo.bold = true;
    logo.italic = true;
    logo.family = "DejaVu Sans";
    c.Text("Tovix", bx + 37, by - 1, logo, {0, 40, 90}, 0.35);
    c.Text("Tovix", bx + 36, by - 2, logo, kWhite);
    TextStyle slogan;
    slogan.px = 12;
    c.Text("快乐每一天", bx + 38, by + 29, slogan, {232, 244, 255});
    c.Unclip();
}

// The two big tabs over the band: an icon over a label; the current tab
// (disabled cell) is a light panel that joins the page below.
Face TabFace(const std::string &label, Icon icon)
{
    return [=](CCanvas &c, Box cell, EState state) {
        const Box panel{cell.x + 2, cell.y + 3, cell.w - 4, cell.h - 3};
        Rgb ink = kWhite;
        if (state == kDisabled) {
            c.RoundedPath(panel, 7, 7, 0, 0);
            c.FillPathGradient(panel, kWhite, {232, 244, 252});
            c.RoundedPath(panel.Inset(0.5), 6.5, 6.5, 0, 0);
            c.SetColour({20, 70, 130}, 0.35);
            cairo_set_line_width(c.Cr(), 1);
            cairo_stroke(c.Cr());
            ink = {32, 104, 180};
        } else if (state == kHover || state == kPressed) {
            c.RoundedPath(panel, 7, 7, 0, 0);
            if (state == kHover)
                c.FillPathGradient(panel, kWhite, kWhite, 0.26);
            else
                c.FillPathGradient(panel, {0, 20, 60}, {0, 20, 60}, 0.25);
        }
        const double shift = state == kPressed ? 1 : 0;
        if (state != kDisabled)
            icon(c, cell.Cx() + 1 + shift, cell.y + 33 + shift, 34, {0, 40, 90});
        icon(c, cell.Cx() + shift, cell.y + 32 + shift, 34, ink);
        TextStyle style;
        style.px = 12;
        style.bold = state == kDisabled;
        const Box text{cell.x, cell.y + 56 + shift, cell.w, 18};
        if (state != kDisabled)
            c.TextCentred(label, text.Moved(1, 1), style, {0, 40, 90}, 0.45);
        c.TextCentred(label, text.Moved(shift, 0), style, ink);
    };
}

// The close cell is one column wider than its button: centre the glyph on what is seen.
Face SeenWidth(Face face, int seenWidth)
{
    return [face, seenWidth](CCanvas &c, Box cell, EState state) {
        cell.w = seenWidth;
        face(c, cell, state);
    };
}

void DrawDetailPieces(CCanvas &c)
{
    const SkinRect &band = kDetailBand;
    for (int row = 0; row < band.height; ++row) {
        const Rgb colour = row == band.height - 1 ? Rgb{186, 210, 232}
                                                  : Mix({242, 248, 253}, {212, 231, 246}, row / double(band.height - 2));
        c.Fill({double(band.x), double(band.y + row), double(band.width), 1}, colour);
    }

    const SkinRect &line = kDetailLine;
    for (int x = 0; x < line.width; ++x) {
        const double fade = std::min({1.0, x / 90.0, (line.width - 1 - x) / 90.0});
        c.Fill({double(line.x + x), double(line.y), 1, double(line.height)}, Mix(kWhite, {140, 182, 222}, fade));
    }

    // The picture frame: a border and a soft shadow around the 194 x 144 picture at (2, 2).
    const SkinRect &frame = kPictureFrame;
    const double fx = frame.x, fy = frame.y;
    c.Fill({fx, fy, double(frame.width), double(frame.height)}, kWhite);
    for (int i = 0; i < 3; ++i) {
        const double a = 0.16 - i * 0.05;
        c.Fill({fx + 197 + i - 1, fy + 3 + i, 1, 145.0 - i}, {40, 60, 80}, a);
        c.Fill({fx + 3 + i, fy + 147 + i, 195.0 - i, 1}, {40, 60, 80}, a);
    }
    c.Fill({fx, fy, 197, 147}, {150, 176, 204});
    c.Fill({fx + 1, fy + 1, 195, 145}, {236, 243, 250});
    c.VerticalGradient({fx + 2, fy + 2, 194, 144}, {214, 226, 238}, {186, 202, 218});
    IconTelevision(c, fx + 2 + 97, fy + 2 + 72, 46, {248, 252, 255});
}

} // namespace

bool DrawMainSkin(const std::string &path)
{
    CCanvas c(kWidth, kHeight);
    DrawBand(c);

    const Rgb onBand = kWhite;
    DrawStrip(c, kMinimize.x, kMinimize.y, kMinimize.cellWidth, kMinimize.cellHeight, BandBackdrop(0),
              CaptionFace(IconMinimize, onBand, false));
    DrawStrip(c, kMaximize.x, kMaximize.y, kMaximize.cellWidth, kMaximize.cellHeight, BandBackdrop(0),
              CaptionFace(IconMaximize, onBand, false));
    DrawStrip(c, kRestore.x, kRestore.y, kRestore.cellWidth, kRestore.cellHeight, BandBackdrop(0),
              CaptionFace(IconRestore, onBand, false));
    DrawStrip(c, kClose.x, kClose.y, kClose.cellWidth, kClose.cellHeight, BandBackdrop(0),
              SeenWidth(CaptionFace(IconCross, onBand, true), kClose.cellWidth - 1));
    DrawStrip(c, kWebsite.x, kWebsite.y, kWebsite.cellWidth, kWebsite.cellHeight, BandBackdrop(0),
              CaptionTextFace("官方网站", nullptr, onBand));
    DrawStrip(c, kMenu.x, kMenu.y, kMenu.cellWidth, kMenu.cellHeight, BandBackdrop(0),
              CaptionTextFace("菜单", IconCaret, onBand));

    // the tabs stand at y = 8 on the band and reach two rows past it
    DrawStrip(c, kAllPrograms.x, kAllPrograms.y, kAllPrograms.cellWidth, kAllPrograms.cellHeight, BandBackdrop(8),
              TabFace("全部节目", IconTelevision));
    DrawStrip(c, kMyPrograms.x, kMyPrograms.y, kMyPrograms.cellWidth, kMyPrograms.cellHeight, BandBackdrop(8),
              TabFace("我的节目", IconHeart));

    // below the channel tree, on the window's grey
    DrawStrip(c, kSubscribe.x, kSubscribe.y, kSubscribe.cellWidth, kSubscribe.cellHeight,
              SolidBackdrop({226, 226, 226}), PushFace("订阅频道", IconStar, true, 15));

    // the detail pane's buttons stand on white
    DrawStrip(c, kDownload.x, kDownload.y, kDownload.cellWidth, kDownload.cellHeight, SolidBackdrop(kWhite),
              PushFace("下载", IconDownload, true, 13));
    DrawStrip(c, kStop.x, kStop.y, kStop.cellWidth, kStop.cellHeight, SolidBackdrop(kWhite),
              PushFace("停止", IconStop, false, 13));
    DrawStrip(c, kDetailSubscribe.x, kDetailSubscribe.y, kDetailSubscribe.cellWidth, kDetailSubscribe.cellHeight,
              SolidBackdrop(kWhite), PushFace("订阅", IconStar, false, 13));
    DrawStrip(c, kPlay.x, kPlay.y, kPlay.cellWidth, kPlay.cellHeight, SolidBackdrop(kWhite),
              PushFace("播放", IconPlay, true, 13));

    // the file list's buttons stand at y = 5 on its header gradient (rows 2 to 35)
    const Backdrop header = RowsBackdrop(
        [](int row) { return Band64({198, 227, 247}, {222, 239, 249}, 34, std::min(row + 3, 33)); });
    DrawStrip(c, kListDownload.x, kListDownload.y, kListDownload.cellWidth, kListDownload.cellHeight, header,
              PushFace("下载", IconDownload, true));
    DrawStrip(c, kListDelete.x, kListDelete.y, kListDelete.cellWidth, kListDelete.cellHeight, header,
              PushFace("删除", IconDelete, false));

    // the video player's control bar
    const Backdrop bar = SolidBackdrop({double(kBarRed), double(kBarGreen), double(kBarBlue)});
    const Rgb onBar{226, 232, 240};
    for (const auto &[strip, icon] : {std::pair<SkinStrip, Icon>{kBarPlay, IconPlay}, {kBarPause, IconPause},
                                      {kBarStop, IconStop}, {kBarSound, IconSpeaker}, {kBarMuted, IconSpeakerMuted},
                                      {kBarFullScreen, IconFullScreen}, {kBarLeaveFullScreen, IconLeaveFullScreen}})
        DrawStrip(c, strip.x, strip.y, strip.cellWidth, strip.cellHeight, bar, CaptionFace(icon, onBar, false));

    DrawDetailPieces(c);
    return c.SaveBmp(path);
}
