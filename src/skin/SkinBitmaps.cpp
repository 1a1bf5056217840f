#include "skin/SkinBitmaps.h"

#include "skin/ResourceData.h"
#include "skin/SkinAtlas.h"

#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

wxBitmap g_hMainSkin;
wxBitmap g_hItemStatusSkin;
wxBitmap g_hSubSkin;

namespace {

void EnsureImageHandlers()
{
    if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
        wxInitAllImageHandlers();
}

wxImage DecodeResource(const ResourceBlob &blob)
{
    wxLogNull quiet;
    wxMemoryInputStream stream(blob.data, blob.size);
    return wxImage(stream, wxBITMAP_TYPE_ANY);
}

} // namespace

void LoadSkinBitmaps()
{
    g_hMainSkin = LoadSkinBitmap(MainSkin::kFile);
    g_hItemStatusSkin = LoadSkinBitmap(ItemStatusSkin::kFile);
    g_hSubSkin = LoadSkinBitmap(SubSkin::kFile);
}

wxBitmap LoadSkinBitmap(const wxString &path)
{
    if (!wxFileExists(path))
        return wxBitmap();
    EnsureImageHandlers();
    wxLogNull quiet; // a broken file is a null bitmap, never a message box
    wxImage image(path, wxBITMAP_TYPE_ANY);
    return image.IsOk() ? wxBitmap(image, 24) : wxBitmap();
}

wxBitmap LoadResourceBitmap(int id)
{
    const std::vector<ResourceBlob> blobs = FindResourceData(id);
    if (blobs.empty())
        return wxBitmap();
    EnsureImageHandlers();
    const wxImage image = DecodeResource(blobs.front());
    return image.IsOk() ? wxBitmap(image, 24) : wxBitmap();
}

void LoadResourceGlyphs(int id, wxBitmap (&images)[2])
{
    const wxBitmap strip = LoadResourceBitmap(id);
    if (!strip.IsOk())
        return;
    const int width = strip.GetWidth() / 2;
    for (int i = 0; i < 2; ++i)
        images[i] = strip.GetSubBitmap(wxRect(i * width, 0, width, strip.GetHeight()));
}

wxIconBundle LoadResourceIcons(int id)
{
    EnsureImageHandlers();
    wxIconBundle icons;
    for (const ResourceBlob &blob : FindResourceData(id)) {
        const wxImage image = DecodeResource(blob);
        if (image.IsOk()) {
            wxIcon icon;
            icon.CopyFromBitmap(wxBitmap(image));
            icons.AddIcon(icon);
        }
    }
    return icons;
}
