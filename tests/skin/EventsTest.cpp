#include "skin/SkinEvents.h"
#include "support/WxTestSupport.h"

#include <gtest/gtest.h>

TEST(SkinEvents, SentMessageReachesItsHandlerAndReturnsItsResult)
{
    CTestFrame frame;
    wxPanel *target = frame.Panel();
    wxUIntPtr seenW = 0;
    wxIntPtr seenL = 0;
    target->Bind(
        wxEVT_WINDOW_MESSAGE,
        [&](CMessageEvent &event) {
            seenW = event.WParam();
            seenL = event.LParam();
            event.SetResult(1);
        },
        WM_TRAY_NOTIFY);
    EXPECT_EQ(1, SendWindowMessage(target, WM_TRAY_NOTIFY, 100, 515));
    EXPECT_EQ(100u, seenW);
    EXPECT_EQ(515, seenL);
    // another message number is not this handler's
    EXPECT_EQ(0, SendWindowMessage(target, WM_SHOW_CHANNEL, 0, -1));
    EXPECT_EQ(0, SendWindowMessage(nullptr, WM_SHOW_CHANNEL, 0, -1));
}

TEST(SkinEvents, PostedMessageArrivesLaterInOrder)
{
    CTestFrame frame;
    std::vector<wxIntPtr> keys;
    frame.Panel()->Bind(
        wxEVT_WINDOW_MESSAGE, [&](CMessageEvent &event) { keys.push_back(event.LParam()); }, WM_SHOW_CHANNEL);
    PostWindowMessage(frame.Panel(), WM_SHOW_CHANNEL, 0, 7);
    PostWindowMessage(frame.Panel(), WM_SHOW_CHANNEL, 0, -2);
    EXPECT_TRUE(keys.empty());
    PumpEvents();
    EXPECT_EQ((std::vector<wxIntPtr>{7, -2}), keys);
}

TEST(SkinEvents, NotificationGoesToTheParentOnlyWithSenderCodeAndPayload)
{
    CTestFrame frame;
    auto *middle = new wxPanel(frame.Panel(), 10);
    auto *sender = new wxWindow(middle, 5504);
    std::vector<CNotifyEvent> atMiddle, atTop;
    middle->Bind(wxEVT_CONTROL_NOTIFY, [&](CNotifyEvent &event) { atMiddle.push_back(event); });
    frame.Panel()->Bind(wxEVT_CONTROL_NOTIFY, [&](CNotifyEvent &event) { atTop.push_back(event); });
    SendNotify(sender, SPN_MOVED, -37);
    ASSERT_EQ(1u, atMiddle.size());
    EXPECT_EQ(5504, atMiddle[0].SenderId());
    EXPECT_EQ(SPN_MOVED, atMiddle[0].Code());
    EXPECT_EQ(-37, atMiddle[0].Payload());
    EXPECT_TRUE(atTop.empty());
}
