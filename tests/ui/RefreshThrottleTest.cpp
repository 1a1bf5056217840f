#include "ui/RefreshThrottle.h"

#include <gtest/gtest.h>

TEST(RefreshThrottle, BurstGivesOneRefreshNowAndOneFromTheTimer)
{
    int64_t now = 1000;
    CRefreshThrottle throttle([&] { return now; });
    EXPECT_TRUE(throttle.OnNotification()); // the first one refreshes at once
    for (int i = 0; i < 5; ++i)
        EXPECT_FALSE(throttle.OnNotification()); // the rest of the second arms the timer
    now = 1001;
    throttle.OnTimer(); // about a second later: the last notification is not lost
    EXPECT_EQ(1001, throttle.LastRefresh());
    EXPECT_FALSE(throttle.OnNotification()); // same second as the timer's refresh
    now = 1002;
    EXPECT_TRUE(throttle.OnNotification());
}

TEST(RefreshThrottle, NothingRecordedBeforeTheFirstRefresh)
{
    CRefreshThrottle throttle([] { return int64_t(0); });
    EXPECT_EQ(0, throttle.LastRefresh());
    // A clock at 0 reads as "no refresh yet", so it never blocks one.
    EXPECT_TRUE(throttle.OnNotification());
    EXPECT_TRUE(throttle.OnNotification());
}
