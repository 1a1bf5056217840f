#include "base/EngineApi.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

namespace {
int g_added = 0;
int RecordAdd(const char *, const char *) { return ++g_added; }
} // namespace

TEST(EngineApi, UnboundCallsDoNothingAndLogOneLineEach)
{
    CTestFolder folder;
    UnbindEngine();
    EXPECT_EQ(-1, Engine().GetPosByTorrent("t"));
    EXPECT_EQ(0, Engine().AddDownload("t", "s"));
    EXPECT_EQ(0.0, Engine().GetProgress(0));
    Engine().CleanUp();
    const auto lines = folder.LogLines();
    ASSERT_EQ(4u, lines.size());
    EXPECT_EQ("Download engine not loaded: GetPosByTorrent", lines[0]);
    EXPECT_EQ("Download engine not loaded: CleanUp", lines[3]);
}

TEST(EngineApi, BindingReplacesTheTableUntilUnbound)
{
    CTestFolder folder;
    TEngineApi api = UnboundEngine();
    api.AddDownload = RecordAdd;
    BindEngine(api);
    EXPECT_EQ(1, Engine().AddDownload("t", "s"));
    UnbindEngine();
    EXPECT_EQ(0, Engine().AddDownload("t", "s"));
    EXPECT_EQ(1, g_added);
}
