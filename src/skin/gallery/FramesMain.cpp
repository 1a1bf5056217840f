// tovix-skin-frames: the skinned main frame, empty, drawn from the skin
// images in "Skins/" of the working folder (run it from the build folder).
//   --tree   adds a channel tree with sample categories where the main window has it
//   --sub    opens a sub-dialog over the frame
#include "skin/CToVixCommonDlg.h"
#include "skin/CToVixCommonSubDlg.h"
#include "skin/CToVixTree.h"
#include "skin/SkinBitmaps.h"

#include <wx/app.h>
#include <wx/cmdline.h>
#include <wx/stattext.h>

namespace {

void FillSampleTree(CToVixTree &tree)
{
    const char *categories[] = {"电影频道", "音乐频道", "体育频道", "空的分类"};
    const char *channels[][3] = {{"动作片", "喜剧片", "纪录片"}, {"流行", "古典", nullptr}, {"足球", nullptr, nullptr}};
    int id = 1;
    for (int c = 0; c < 4; ++c) {
        HTREEITEM category = tree.InsertItem(wxString::FromUTF8(categories[c]));
        tree.SetItemData(category, 10001 + c);
        for (int k = 0; c < 3 && k < 3 && channels[c][k]; ++k)
            tree.SetItemData(tree.InsertItem(wxString::FromUTF8(channels[c][k]), category), id++);
    }
    tree.Expand(tree.GetRootItem(), TVE_EXPAND);
    tree.SelectItem(tree.GetChildItem(tree.GetRootItem()));
}

class CFramesApp : public wxApp {
public:
    void OnInitCmdLine(wxCmdLineParser &parser) override
    {
        wxApp::OnInitCmdLine(parser);
        parser.AddSwitch("", "tree", "add a channel tree");
        parser.AddSwitch("", "sub", "open a sub-dialog over the frame");
    }

    bool OnCmdLineParsed(wxCmdLineParser &parser) override
    {
        m_tree = parser.Found("tree");
        m_sub = parser.Found("sub");
        return wxApp::OnCmdLineParsed(parser);
    }

    bool OnInit() override
    {
        if (!wxApp::OnInit())
            return false;
        LoadSkinBitmaps();
        auto *frame = new CToVixCommonDlg;
        frame->SetSkin(g_hMainSkin);
        frame->Create();
        frame->Centre();
        if (m_tree) {
            auto *tree = new CToVixTree;
            tree->Create(frame->GetClientArea(), 1005, wxPoint(5, 98), wxSize(159, 264), TVS_SHOWSELALWAYS);
            tree->SetBackgroundColour(*wxWHITE);
            FillSampleTree(*tree);
        }
        frame->Show();
        if (m_sub) {
            auto *sub = new CToVixCommonSubDlg;
            sub->SetSkin(g_hSubSkin);
            sub->Create(frame, wxString::FromUTF8("系统设置"));
            new wxStaticText(sub, wxID_ANY, wxString::FromUTF8("静态文字直接写在背景上"), wxPoint(30, 390));
            sub->Show();
        }
        return true;
    }

private:
    bool m_tree = false;
    bool m_sub = false;
};

} // namespace

wxIMPLEMENT_APP(CFramesApp);
