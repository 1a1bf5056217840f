#include "skin/MenuResource.h"

#include "skin/Resource.h"

namespace {

MenuResourceItem Command(const char *utf8, int id)
{
    return {wxString::FromUTF8(utf8), id, 0, {}};
}

MenuResourceItem Popup(const char *utf8, std::vector<MenuResourceItem> items)
{
    return {wxString::FromUTF8(utf8), -1, 0, std::move(items)};
}

} // namespace

std::vector<MenuResourceItem> LoadMenuResource(int resourceId)
{
    switch (resourceId) {
    case IDR_MENU_CAPTION:
        return {Popup("菜单", {Command("系统设置", ID_MENU_SET), Command("访问网站", ID_MENU_WEBSITE),
                              Command("访问论坛", ID_MENU_FORUM), Command("关于", ID_MENU_ABOUT)})};
    case IDR_MENU_TRAY:
        return {Popup("MENU2", {Command("访问网站", ID_MENU_WEBSITE), Command("打开Tovix", ID_MENU_OPEN),
                               Command("设置", ID_MENU_SET), Command("退出", ID_MENU_EXIT)})};
    default:
        return {};
    }
}
