// Resource numbers of the program: menus, the application icon and the
// glyph bitmaps, and the command ids of the menus' items.
#pragma once

enum : int {
    IDB_EXPANDERS = 132,   // 18 x 9: collapsed (plus), expanded (minus)
    IDB_BULLETS = 133,     // 20 x 10: normal, highlighted
    IDB_CHECKBOXES = 134,  // 26 x 13: empty, ticked
    IDR_MAINFRAME = 141,   // window and tray icon
    IDR_MENU_CAPTION = 142,
    IDR_MENU_TRAY = 143,
};

enum : int {
    ID_MENU_SET = 32776,
    ID_MENU_WEBSITE = 32777,
    ID_MENU_FORUM = 32778,
    ID_MENU_ABOUT = 32779,
    ID_MENU_OPEN = 32785,
    ID_MENU_EXIT = 32786,
};
