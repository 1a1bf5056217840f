#include "MainWindowFixture.h"
#include "support/WxTestSupport.h"
#include "ui/CHtmlCtrl.h"

#include <gtest/gtest.h>
#include <wx/webview.h>

namespace {

using namespace std::chrono_literals;

class CRecordingHtmlCtrl : public CHtmlCtrl {
public:
    std::vector<wxString> commands;

protected:
    void OnAppCommand(const wxString &command) override { commands.push_back(command); }
};

const char *kPage = "<html><body>"
                    "<a id='upper' href='APP:Play:7'>upper</a>"
                    "<a id='empty' href='app:'>empty</a>"
                    "<a id='blank' href='about:blank'>blank</a>"
                    "</body></html>";

} // namespace

TEST(HtmlCtrl, RecognisesAppCommandsInAnyCase)
{
    wxString command;
    EXPECT_TRUE(CHtmlCtrl::IsAppCommand("app:subscribe:1", &command));
    EXPECT_EQ("subscribe:1", command);
    EXPECT_TRUE(CHtmlCtrl::IsAppCommand("ApP:%20x", &command));
    EXPECT_EQ("%20x", command); // not decoded
    EXPECT_TRUE(CHtmlCtrl::IsAppCommand("APP:", &command));
    EXPECT_EQ("", command);
    EXPECT_FALSE(CHtmlCtrl::IsAppCommand("ap", &command));
    EXPECT_FALSE(CHtmlCtrl::IsAppCommand("http://app:80/", &command));
    EXPECT_FALSE(CHtmlCtrl::IsAppCommand("about:blank", &command));
}

TEST(HtmlCtrl, AppLinksAreCancelledAndHandedOnOtherLinksNavigate)
{
    CTestFrame frame(wxSize(300, 200));
    CRecordingHtmlCtrl pane;
    ASSERT_TRUE(pane.Create(frame.Panel(), 0, wxRect(2, 2, 157, 134)));
    wxWebView *view = pane.View();
    ASSERT_TRUE(view);
    view->SetPage(kPage, "http://127.0.0.1/");
    ASSERT_TRUE(PumpFor([&] { return !view->IsBusy(); }, 10s));
    const wxString shown = view->GetCurrentURL();

    view->RunScript("document.getElementById('upper').click();");
    ASSERT_TRUE(PumpFor([&] { return pane.commands.size() == 1; }, 5s));
    EXPECT_EQ("Play:7", pane.commands[0]);
    view->RunScript("document.getElementById('empty').click();");
    ASSERT_TRUE(PumpFor([&] { return pane.commands.size() == 2; }, 5s));
    EXPECT_EQ("", pane.commands[1]);
    EXPECT_EQ(shown, view->GetCurrentURL());

    view->RunScript("document.getElementById('blank').click();");
    EXPECT_TRUE(PumpFor([&] { return view->GetCurrentURL() == "about:blank"; }, 5s)) << view->GetCurrentURL();
    EXPECT_EQ(2u, pane.commands.size());
}
