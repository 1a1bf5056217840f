// main() of the window tests: starts wxWidgets on the display (Xvfb in the
// suite) before the tests run. Listing the tests needs no display.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

#include <cstdio>

int main(int argc, char **argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    // a failed wx assertion fails the test instead of opening a message box
    wxSetAssertHandler([](const wxString &file, int line, const wxString &function, const wxString &condition,
                          const wxString &message) {
        ADD_FAILURE_AT(file.utf8_str().data(), line)
            << "wx assertion " << condition << " in " << function << ": " << message;
    });
    wxApp::SetInstance(new wxApp);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "cannot start wxWidgets: is there a display?\n");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    wxEntryCleanup();
    return result;
}
