// Finding the glyph images of the resources in a rendered tree.
#pragma once

#include "skin/SkinBitmaps.h"
#include "support/WxTestSupport.h"

#include <wx/image.h>

// Image `index` of a two-image glyph resource.
inline wxImage Glyph(int resourceId, int index)
{
    const wxBitmap strip = LoadResourceBitmap(resourceId);
    const int width = strip.GetWidth() / 2;
    return strip.GetSubBitmap(wxRect(index * width, 0, width, strip.GetHeight())).ConvertToImage();
}

// Whether the rendered tree shows the glyph with its top-left corner at `at`.
inline bool ShowsGlyph(const wxImage &tree, const wxImage &glyph, const wxPoint &at)
{
    for (int y = 0; y < glyph.GetHeight(); ++y)
        for (int x = 0; x < glyph.GetWidth(); ++x)
            if (PixelAt(tree, at.x + x, at.y + y) != PixelAt(glyph, x, y))
                return false;
    return true;
}
