#include "skin/Resource.h"
#include "skin/SkinAtlas.h"
#include "skin/SkinBitmaps.h"
#include "support/TestFolder.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <unistd.h>

namespace {

// A fresh working folder that sees the build's generated Skins/ folder.
struct SkinFolder : CTestFolder {
    SkinFolder()
    {
        const char *build = std::getenv("TOVIX_BINARY_DIR");
        EXPECT_NE(nullptr, build);
        if (build) {
            EXPECT_EQ(0, symlink((std::string(build) + "/Skins").c_str(), (*this / "Skins").c_str()));
        }
    }
};

wxImage Piece(const wxBitmap &skin, int x, int y, int w, int h)
{
    return skin.GetSubBitmap(wxRect(x, y, w, h)).ConvertToImage();
}

int DistinctColours(const wxImage &image)
{
    std::set<unsigned long> colours;
    for (int y = 0; y < image.GetHeight(); ++y)
        for (int x = 0; x < image.GetWidth(); ++x)
            colours.insert((image.GetRed(x, y) << 16) | (image.GetGreen(x, y) << 8) | image.GetBlue(x, y));
    return int(colours.size());
}

bool SameImage(const wxImage &a, const wxImage &b)
{
    return a.GetSize() == b.GetSize() && memcmp(a.GetData(), b.GetData(), size_t(a.GetWidth()) * a.GetHeight() * 3) == 0;
}

// Every cell of a strip carries a picture, and the four states look different.
// A crisp glyph on a flat band (the video bar's) has as few as two colours.
void ExpectStrip(const wxBitmap &skin, const SkinStrip &strip, const char *name, int minColours = 9)
{
    wxImage cells[4];
    for (int i = 0; i < 4; ++i) {
        cells[i] = Piece(skin, strip.x + i * strip.cellWidth, strip.y, strip.cellWidth, strip.cellHeight);
        EXPECT_GE(DistinctColours(cells[i]), minColours) << name << " cell " << i;
    }
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j)
            EXPECT_FALSE(SameImage(cells[i], cells[j])) << name << " cells " << i << " and " << j;
}

void ExpectPiece(const wxBitmap &skin, const SkinRect &r, const char *name)
{
    EXPECT_GT(DistinctColours(Piece(skin, r.x, r.y, r.width, r.height)), 1) << name;
}

} // namespace

TEST(SkinImages, GeneratedSkinsLoadFromTheWorkingFolderAndCoverEveryPiece)
{
    SkinFolder folder;
    LoadSkinBitmaps();
    ASSERT_TRUE(g_hMainSkin.IsOk());
    ASSERT_TRUE(g_hSubSkin.IsOk());
    ASSERT_TRUE(g_hItemStatusSkin.IsOk());
    EXPECT_GE(g_hMainSkin.GetWidth(), MainSkin::kWidth);
    EXPECT_GE(g_hMainSkin.GetHeight(), MainSkin::kHeight);
    EXPECT_GE(g_hSubSkin.GetWidth(), SubSkin::kWidth);
    EXPECT_GE(g_hSubSkin.GetHeight(), SubSkin::kHeight);
    EXPECT_GE(g_hItemStatusSkin.GetWidth(), ItemStatusSkin::kWidth);

    using namespace MainSkin;
    for (const auto &[strip, name] : std::vector<std::pair<SkinStrip, const char *>>{
             {kSubscribe, "subscribe"}, {kAllPrograms, "all programs"}, {kMyPrograms, "my programs"},
             {kMinimize, "minimize"}, {kMaximize, "maximize"}, {kRestore, "restore"}, {kClose, "close"},
             {kDownload, "download"}, {kStop, "stop"}, {kDetailSubscribe, "detail subscribe"},
             {kWebsite, "website"}, {kMenu, "menu"}, {kListDownload, "list download"},
             {kListDelete, "list delete"}, {kPlay, "play"}})
        ExpectStrip(g_hMainSkin, strip, name);
    for (const auto &[strip, name] : std::vector<std::pair<SkinStrip, const char *>>{
             {kBarPlay, "bar play"}, {kBarPause, "bar pause"}, {kBarStop, "bar stop"}, {kBarSound, "bar sound"},
             {kBarMuted, "bar muted"}, {kBarFullScreen, "bar fullscreen"}, {kBarLeaveFullScreen, "bar leave fullscreen"}})
        ExpectStrip(g_hMainSkin, strip, name, 2);
    ExpectPiece(g_hMainSkin, kBandColumn, "band column");
    ExpectPiece(g_hMainSkin, kBandLeftBlock, "band block");
    ExpectPiece(g_hMainSkin, kDetailBand, "detail band");
    ExpectPiece(g_hMainSkin, kDetailLine, "detail line");
    ExpectPiece(g_hMainSkin, kPictureFrame, "picture frame");

    // the close button's disabled cell lies under the browse strip and is never shown
    for (const auto &[strip, name] : std::vector<std::pair<SkinStrip, const char *>>{
             {SubSkin::kBrowse, "browse"}, {SubSkin::kOk, "OK"}, {SubSkin::kCancel, "Cancel"},
             {SubSkin::kFirstTab, "first tab"}, {SubSkin::kSecondTab, "second tab"}})
        ExpectStrip(g_hSubSkin, strip, name);
    ExpectPiece(g_hSubSkin, SubSkin::kTitleLeft, "title left");
    ExpectPiece(g_hSubSkin, SubSkin::kTitleMiddle, "title middle");
    ExpectPiece(g_hSubSkin, SubSkin::kTitleRight, "title right");

    for (const SkinRect &state : {ItemStatusSkin::kFinished, ItemStatusSkin::kDownloading, ItemStatusSkin::kWaiting})
        ExpectPiece(g_hItemStatusSkin, state, "state icon");
    EXPECT_TRUE(LoadSkinBitmap(kDefaultPictureFile).IsOk());
}

TEST(SkinImages, MissingOrBrokenSkinFilesGiveNullBitmaps)
{
    CTestFolder folder;
    LoadSkinBitmaps();
    EXPECT_FALSE(g_hMainSkin.IsOk());
    EXPECT_FALSE(g_hSubSkin.IsOk());
    EXPECT_FALSE(g_hItemStatusSkin.IsOk());
    MakeFolder(folder / "Skins");
    WriteFile(folder / "Skins/Main.bmp", "BM not really a bitmap");
    EXPECT_FALSE(LoadSkinBitmap("Skins/Main.bmp").IsOk());
    EXPECT_FALSE(LoadSkinBitmap(kDefaultPictureFile).IsOk());
}

TEST(SkinImages, GlyphResourcesHaveTheirSizesAndNoMaskColour)
{
    const std::pair<int, wxSize> glyphs[] = {
        {IDB_EXPANDERS, wxSize(18, 9)}, {IDB_BULLETS, wxSize(20, 10)}, {IDB_CHECKBOXES, wxSize(26, 13)}};
    for (const auto &[id, size] : glyphs) {
        const wxBitmap bitmap = LoadResourceBitmap(id);
        ASSERT_TRUE(bitmap.IsOk()) << id;
        EXPECT_EQ(size, bitmap.GetSize()) << id;
        const wxImage image = bitmap.ConvertToImage();
        const int half = size.x / 2;
        EXPECT_GT(DistinctColours(image.GetSubImage(wxRect(0, 0, half, size.y))), 2) << id;
        for (int y = 0; y < size.y; ++y)
            for (int x = 0; x < size.x; ++x)
                ASSERT_NE(*wxYELLOW, PixelAt(image, x, y)) << id; // the image lists' mask colour
    }
    // collapsed and expanded differ, and so do empty and ticked
    for (int id : {IDB_EXPANDERS, IDB_CHECKBOXES}) {
        const wxImage image = LoadResourceBitmap(id).ConvertToImage();
        const int half = image.GetWidth() / 2;
        EXPECT_FALSE(SameImage(image.GetSubImage(wxRect(0, 0, half, image.GetHeight())),
                               image.GetSubImage(wxRect(half, 0, half, image.GetHeight()))))
            << id;
    }
    EXPECT_FALSE(LoadResourceBitmap(999).IsOk());
    const wxIconBundle icons = LoadResourceIcons(IDR_MAINFRAME);
    EXPECT_GE(icons.GetIconCount(), 3u);
    EXPECT_TRUE(icons.GetIcon(wxSize(32, 32)).IsOk());
}
