#include "views/ViewPaint.h"

#include "base/GbkText.h"

wxFont ViewFont()
{
    return wxFont(wxFontInfo(9).FaceName(wxString::FromUTF8("宋体")));
}

wxString ScreenText(const std::string &gbk)
{
    return wxString::FromUTF8(GbkToUtf8(gbk));
}
