// Skins/Sub.bmp: the sub-dialog's title band and its close, OK, Cancel, tab
// and browse buttons.
#include "Images.h"
#include "Painters.h"

#include "skin/SkinAtlas.h"

#include <cmath>

using namespace SubSkin;

namespace {

const Rgb kWhite{255, 255, 255};
const Rgb kOuterBorder{94, 110, 127};   // the dialog's outer border pen
const Rgb kFrameOuter{125, 131, 134};   // the content frame
const Rgb kFrameInner{214, 214, 214};

Rgb TitleRow(int row)
{
    if (row == 0)
        return kOuterBorder;
    if (row == kTitleMiddle.height - 1)
        return {150, 180, 208};
    return Mix({242, 248, 253}, {202, 223, 242}, (row - 1) / double(kTitleMiddle.height - 3));
}

// One end of the title band: the band inside the dialog's rounded outer border.
void DrawTitleEnd(CCanvas &c, const SkinRect &end, bool left)
{
    const Box box{double(end.x), double(end.y), double(end.width), double(end.height)};
    c.Fill(box, kWhite);
    c.Clip(box);
    // a box twice as wide, so only one rounded corner falls inside this end
    const Box shape{left ? box.x : box.x - box.w, box.y, 2 * box.w, box.h + 8};
    c.RoundedPath(shape, 4.5);
    cairo_clip(c.Cr());
    for (int row = 0; row < end.height; ++row)
        c.Fill({box.x, box.y + row, box.w, 1}, TitleRow(row));
    c.RoundedOutline(shape, 4.5, kOuterBorder);
    c.Unclip();
}

void DrawTitleBand(CCanvas &c)
{
    for (int row = 0; row < kTitleMiddle.height; ++row)
        c.Fill({double(kTitleLeft.x + kTitleLeft.width), double(row),
                double(kTitleRight.x - kTitleLeft.x - kTitleLeft.width), 1},
               TitleRow(row));
    DrawTitleEnd(c, kTitleLeft, true);
    DrawTitleEnd(c, kTitleRight, false);
}

// The dialog's bottom gradient at client row y: from the content frame's
// bottom + 1 (370) to the bottom of the 426-row dialog.
Rgb BottomGradientAt(int y)
{
    const int rows = 426 - 370, k = 63 * (y - 370) / rows;
    return {std::trunc(255 - 0.453125 * k), std::trunc(255 - 0.28125 * k), std::trunc(255 - 0.15625 * k)};
}

// The page tabs stand at y = 50 on white; their last two rows cover the content
// frame's top lines at y = 80 and 81. The current tab (disabled cell) opens
// into the page below.
Face PageTabFace(const std::string &label, bool atFrameLeft)
{
    return [=](CCanvas &c, Box cell, EState state) {
        const bool current = state == kDisabled;
        const double bottom = cell.y + cell.h - 2; // row of the frame's outer line
        const Box shape{cell.x, cell.y + 2, cell.w, bottom - cell.y - 2 + 1};
        Rgb top{250, 251, 252}, end{221, 229, 237}, ink{64, 76, 88};
        if (state == kHover) {
            top = kWhite, end = {210, 230, 249}, ink = {24, 84, 150};
        } else if (state == kPressed) {
            top = {206, 222, 238}, end = {230, 239, 248}, ink = {24, 70, 130};
        } else if (current) {
            top = kWhite, end = kWhite, ink = {22, 84, 160};
        }
        c.RoundedPath({shape.x, shape.y, shape.w, shape.h + 4}, 5, 5, 0, 0);
        c.FillPathGradient(shape, top, end);
        c.Clip({shape.x, shape.y, shape.w, shape.h});
        c.RoundedOutline({shape.x, shape.y, shape.w, shape.h + 6}, 5, current ? kFrameOuter : Rgb{150, 160, 170});
        c.Unclip();

        // the content frame's two top lines, left open under the current tab
        if (!current) {
            c.Fill({cell.x, bottom, cell.w, 1}, kFrameOuter);
            c.Fill({cell.x, bottom + 1, cell.w, 1}, kFrameInner);
        } else {
            c.Fill({cell.x + 1, bottom, cell.w - 2, 2}, kWhite);
            c.Fill({cell.x, bottom, 1, 2}, kFrameOuter);
            c.Fill({cell.x + cell.w - 1, bottom, 1, 2}, kFrameOuter);
        }
        if (atFrameLeft)
            c.Fill({cell.x, bottom, 1, 2}, kFrameOuter);

        TextStyle style;
        style.bold = current;
        const double shift = state == kPressed ? 1 : 0;
        c.TextCentred(label, {cell.x + shift, cell.y + 3 + shift, cell.w, cell.h - 5}, style, ink);
    };
}

} // namespace

bool DrawSubSkin(const std::string &path)
{
    CCanvas c(kWidth, kHeight);
    DrawTitleBand(c);

    // the close button stands at y = 5 on the title band
    DrawStrip(c, kClose.x, kClose.y, kClose.cellWidth, kClose.cellHeight,
              RowsBackdrop([](int row) { return TitleRow(row + 5); }),
              CaptionFace(IconCross, {58, 78, 98}, true));
    // drawn after the close strip: it covers the close button's unused disabled cell
    DrawStrip(c, kBrowse.x, kBrowse.y, kBrowse.cellWidth, kBrowse.cellHeight, SolidBackdrop(kWhite),
              PushFace("浏览", nullptr, false));

    // OK and Cancel stand at y = 426 - 39 on the bottom gradient
    const Backdrop bottom = RowsBackdrop([](int row) { return BottomGradientAt(426 - 39 + row); });
    DrawStrip(c, kOk.x, kOk.y, kOk.cellWidth, kOk.cellHeight, bottom, PushFace("确定", nullptr, true));
    DrawStrip(c, kCancel.x, kCancel.y, kCancel.cellWidth, kCancel.cellHeight, bottom,
              PushFace("取消", nullptr, false));

    DrawStrip(c, kFirstTab.x, kFirstTab.y, kFirstTab.cellWidth, kFirstTab.cellHeight, SolidBackdrop(kWhite),
              PageTabFace("订阅频道", true));
    DrawStrip(c, kSecondTab.x, kSecondTab.y, kSecondTab.cellWidth, kSecondTab.cellHeight, SolidBackdrop(kWhite),
              PageTabFace("常规设置", false));
    return c.SaveBmp(path);
}
