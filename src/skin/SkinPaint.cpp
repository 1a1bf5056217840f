#include "skin/SkinPaint.h"

#include <wx/dcmemory.h>
#include <wx/image.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

void FillSolid(wxDC &dc, const wxRect &rect, const wxColour &colour)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(colour));
    dc.DrawRectangle(rect);
}

void FrameSolid(wxDC &dc, const wxRect &rect, const wxColour &colour)
{
    FillSolid(dc, wxRect(rect.x, rect.y, rect.width, 1), colour);
    FillSolid(dc, wxRect(rect.x, rect.GetBottom(), rect.width, 1), colour);
    FillSolid(dc, wxRect(rect.x, rect.y + 1, 1, rect.height - 2), colour);
    FillSolid(dc, wxRect(rect.GetRight(), rect.y + 1, 1, rect.height - 2), colour);
}

void DrawRoundBox(wxDC &dc, const wxRect &rect, const wxColour &outline)
{
    FillSolid(dc, wxRect(rect).Deflate(1), *wxWHITE);
    FillSolid(dc, wxRect(rect.x + 1, rect.y, rect.width - 2, 1), outline);
    FillSolid(dc, wxRect(rect.x + 1, rect.GetBottom(), rect.width - 2, 1), outline);
    FillSolid(dc, wxRect(rect.x, rect.y + 1, 1, rect.height - 2), outline);
    FillSolid(dc, wxRect(rect.GetRight(), rect.y + 1, 1, rect.height - 2), outline);
}

void Draw3dRect(wxDC &dc, int x, int y, int cx, int cy, const wxColour &topLeft, const wxColour &bottomRight)
{
    FillSolid(dc, wxRect(x, y, cx - 1, 1), topLeft);
    FillSolid(dc, wxRect(x, y, 1, cy - 1), topLeft);
    FillSolid(dc, wxRect(x + cx - 1, y, 1, cy), bottomRight);
    FillSolid(dc, wxRect(x, y + cy - 1, cx, 1), bottomRight);
}

wxColour GradientBand(const wxColour &start, const wxColour &end, int k, int bands)
{
    auto channel = [&](int s, int e) { return static_cast<unsigned char>(s - k * (s - e) / double(bands)); };
    return wxColour(channel(start.Red(), end.Red()), channel(start.Green(), end.Green()),
                    channel(start.Blue(), end.Blue()));
}

namespace {

// Calls fill(first, count, band) for each run of lines that share a band.
template <typename Fill>
void ForEachBandRun(int n, int bands, Fill fill)
{
    int first = 0;
    while (first < n) {
        const int band = (bands - 1) * first / n;
        int last = first + 1;
        while (last < n && (bands - 1) * last / n == band)
            ++last;
        fill(first, last - first, band);
        first = last;
    }
}

} // namespace

void FillHorizontalGradient(wxDC &dc, const wxRect &rect, const wxColour &start, const wxColour &end, int bands)
{
    ForEachBandRun(rect.width, bands, [&](int first, int count, int band) {
        FillSolid(dc, wxRect(rect.x + first, rect.y, count, rect.height), GradientBand(start, end, band, bands));
    });
}

void FillVerticalGradient(wxDC &dc, const wxRect &rect, const wxColour &start, const wxColour &end, int bands)
{
    ForEachBandRun(rect.height, bands, [&](int first, int count, int band) {
        FillSolid(dc, wxRect(rect.x, rect.y + first, rect.width, count), GradientBand(start, end, band, bands));
    });
}

void DrawSkinPiece(wxDC &dc, const wxRect &dest, const wxBitmap &skin, const wxRect &source)
{
    if (!skin.IsOk() || dest.IsEmpty())
        return;
    const wxRect piece = source.Intersect(wxRect(skin.GetSize()));
    if (piece.IsEmpty())
        return;
    if (dest.GetSize() == piece.GetSize()) {
        wxMemoryDC skinDc;
        skinDc.SelectObjectAsSource(skin);
        dc.Blit(dest.GetPosition(), dest.GetSize(), &skinDc, piece.GetPosition());
        return;
    }
    // Stretched by repeating pixels: a smoothing stretch would mix the pixels
    // next to the piece in the atlas into its edges.
    wxImage image = skin.GetSubBitmap(piece).ConvertToImage();
    image.Rescale(dest.width, dest.height, wxIMAGE_QUALITY_NEAREST);
    dc.DrawBitmap(wxBitmap(image, 24), dest.GetPosition());
}

int RoundRectInset(int row, int height, int ellipseWidth, int ellipseHeight)
{
    const double a = ellipseWidth / 2.0, b = ellipseHeight / 2.0;
    const int fromEdge = std::min(row, height - 1 - row);
    if (fromEdge < 0 || fromEdge >= b)
        return 0;
    // a pixel is inside when its centre is inside the corner's ellipse
    const double dy = b - (fromEdge + 0.5);
    const double dx = a * std::sqrt(1.0 - (dy / b) * (dy / b));
    return std::max(0, static_cast<int>(std::ceil(a - dx - 0.5 - 1e-9)));
}

namespace {

// The insets of every row, the ellipse limited to the box as a platform would.
std::vector<int> RowInsets(const wxRect &box, int ellipseWidth, int ellipseHeight)
{
    std::vector<int> insets(std::max(0, box.height));
    const int ew = std::min(ellipseWidth, box.width), eh = std::min(ellipseHeight, box.height);
    for (int row = 0; row < box.height; ++row)
        insets[row] = RoundRectInset(row, box.height, ew, eh);
    return insets;
}

// Calls add(rect) for each run of rows that share an inset, together covering the rounded rectangle.
template <typename Add>
void ForEachRoundRectRun(const wxRect &box, int ellipseWidth, int ellipseHeight, Add add)
{
    const std::vector<int> insets = RowInsets(box, ellipseWidth, ellipseHeight);
    int row = 0;
    while (row < box.height) {
        int end = row + 1;
        while (end < box.height && insets[end] == insets[row])
            ++end;
        add(wxRect(box.x + insets[row], box.y + row, box.width - 2 * insets[row], end - row));
        row = end;
    }
}

} // namespace

wxRegion RoundRectRegion(const wxRect &box, int ellipseWidth, int ellipseHeight)
{
    wxRegion region;
    ForEachRoundRectRun(box, ellipseWidth, ellipseHeight, [&](const wxRect &run) { region.Union(run); });
    return region;
}

void FillRoundRect(wxDC &dc, const wxRect &box, int ellipseWidth, int ellipseHeight, const wxColour &colour)
{
    ForEachRoundRectRun(box, ellipseWidth, ellipseHeight, [&](const wxRect &run) { FillSolid(dc, run, colour); });
}

void DrawRoundRectOutline(wxDC &dc, const wxRect &box, int ellipseWidth, int ellipseHeight, const wxColour &colour)
{
    if (box.width <= 0 || box.height <= 0)
        return;
    const std::vector<int> insets = RowInsets(box, ellipseWidth, ellipseHeight);
    auto insetAt = [&](int row) { return row < 0 || row >= box.height ? INT_MAX : insets[row]; };
    // Each row's outline runs from its own inset to just short of where the row
    // above or below starts (a pixel with an outside neighbour is on the outline).
    auto run = [&](int row) {
        const int last = std::max(insetAt(row - 1), insetAt(row + 1)) - 1;
        return std::min(std::max(insets[row], last), box.width / 2) - insets[row] + 1;
    };
    int row = 0;
    while (row < box.height) {
        const int inset = insets[row];
        const int length = run(row);
        int end = row + 1;
        while (end < box.height && insets[end] == inset && run(end) == length)
            ++end;
        const int y = box.y + row, rows = end - row;
        if (length * 2 >= box.width - 2 * inset) {
            FillSolid(dc, wxRect(box.x + inset, y, box.width - 2 * inset, rows), colour);
        } else {
            FillSolid(dc, wxRect(box.x + inset, y, length, rows), colour);
            FillSolid(dc, wxRect(box.GetRight() - inset - length + 1, y, length, rows), colour);
        }
        row = end;
    }
}
