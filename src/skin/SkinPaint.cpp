#include "skin/SkinPaint.h"

#include <wx/dcmemory.h>

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
    if (!skin.IsOk())
        return;
    wxMemoryDC skinDc;
    skinDc.SelectObjectAsSource(skin);
    if (dest.GetSize() == source.GetSize())
        dc.Blit(dest.GetPosition(), dest.GetSize(), &skinDc, source.GetPosition());
    else
        dc.StretchBlit(dest.GetPosition(), dest.GetSize(), &skinDc, source.GetPosition(), source.GetSize());
}
