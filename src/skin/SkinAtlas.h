// Where every piece of the skin images lies. Rectangles are (x, y, width,
// height) from the image's top-left corner; a strip is four cells of the
// given size side by side: normal, hover, pressed, disabled. Plain data with
// no toolkit dependency: the image generator draws exactly these pieces.
#pragma once

struct SkinRect {
    int x, y, width, height;
};

struct SkinStrip {
    int x, y, cellWidth, cellHeight;
};

namespace MainSkin {
constexpr const char *kFile = "Skins/Main.bmp";
constexpr int kWidth = 615, kHeight = 1107;
constexpr SkinRect kBandColumn{10, 26, 1, 84};       // stretched over the client width, 93 rows
constexpr SkinRect kBandLeftBlock{10, 26, 141, 84};  // stretched to 141 x 93
constexpr int kBandHeight = 93;
constexpr SkinStrip kSubscribe{30, 114, 146, 44};    // main window button 1006
constexpr SkinStrip kAllPrograms{0, 219, 71, 87};    // tab 1000
constexpr SkinStrip kMyPrograms{0, 306, 71, 87};     // tab 1002
constexpr SkinStrip kMinimize{440, 252, 21, 23};     // caption 5002
constexpr SkinStrip kMaximize{440, 276, 21, 23};     // caption 5003
constexpr SkinStrip kRestore{440, 301, 21, 23};      // caption 5004
constexpr SkinStrip kClose{440, 326, 27, 23};        // caption 5005, shown 26 wide
constexpr SkinStrip kDownload{0, 396, 85, 32};       // detail pane 2004
constexpr SkinStrip kStop{0, 430, 85, 32};           // detail pane 2005
constexpr SkinStrip kDetailSubscribe{0, 464, 85, 32};// detail pane 2007
constexpr SkinStrip kWebsite{0, 533, 64, 23};        // caption 5000
constexpr SkinStrip kMenu{0, 559, 53, 23};           // caption 5001
constexpr SkinStrip kListDownload{0, 642, 60, 31};   // file list 5102
constexpr SkinStrip kListDelete{0, 676, 60, 31};     // file list 5101
constexpr SkinRect kDetailBand{0, 838, 1, 38};       // stretched to width x 53
constexpr SkinRect kDetailLine{0, 909, 615, 2};      // stretched to width x 1
constexpr SkinRect kPictureFrame{0, 913, 199, 150};  // copied; the picture covers (2, 2, 194, 144)
constexpr SkinStrip kPlay{0, 1075, 85, 32};          // detail pane 2006
// The video player's control bar: 28 x 24 buttons on the bar's dark colour.
constexpr SkinStrip kBarPlay{350, 396, 28, 24};
constexpr SkinStrip kBarPause{350, 420, 28, 24};
constexpr SkinStrip kBarStop{350, 444, 28, 24};
constexpr SkinStrip kBarSound{350, 468, 28, 24};     // shown while the sound is on: a click mutes
constexpr SkinStrip kBarMuted{466, 396, 28, 24};     // shown while muted: a click turns the sound on
constexpr SkinStrip kBarFullScreen{466, 420, 28, 24};
constexpr SkinStrip kBarLeaveFullScreen{466, 444, 28, 24};
constexpr int kBarRed = 30, kBarGreen = 33, kBarBlue = 40; // the bar's colour, behind the buttons
} // namespace MainSkin

namespace ItemStatusSkin {
constexpr const char *kFile = "Skins/ItemStatus.bmp";
constexpr int kWidth = 48, kHeight = 16;
constexpr SkinRect kFinished{0, 0, 16, 16};
constexpr SkinRect kDownloading{16, 0, 16, 16};
constexpr SkinRect kWaiting{32, 0, 16, 16};
} // namespace ItemStatusSkin

namespace SubSkin {
constexpr const char *kFile = "Skins/Sub.bmp";
constexpr int kWidth = 534, kHeight = 259;
constexpr SkinRect kTitleLeft{0, 0, 7, 36};
constexpr SkinRect kTitleMiddle{8, 0, 518, 36};      // stretched to (width - 14) x 36
constexpr SkinRect kTitleRight{527, 0, 7, 36};
constexpr SkinStrip kClose{0, 38, 24, 24};           // 5200; its disabled cell lies under the browse strip
constexpr SkinStrip kBrowse{75, 38, 44, 23};         // settings dialog 1008
constexpr SkinStrip kOk{0, 66, 66, 24};              // IDOK
constexpr SkinStrip kCancel{0, 93, 66, 24};          // IDCANCEL
constexpr SkinStrip kFirstTab{0, 152, 61, 32};       // 5400
constexpr SkinStrip kSecondTab{0, 227, 61, 32};      // 5401
} // namespace SubSkin

// The picture shown for a file that has none.
constexpr const char *kDefaultPictureFile = "Skins/ItemDefault.jpg";
