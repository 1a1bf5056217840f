// The periodic catalogue report, in real time: the program left running picks
// up a file the service publishes meanwhile, at its next report.
#include "WholeSystem.h"

#include <algorithm>
#include <sstream>

using namespace std::chrono_literals;

namespace {

using CatalogueReport = CWholeSystemTest;

// The catalogue reports (message type 1) the service received.
int CatalogueReports(const std::string &requests)
{
    std::istringstream lines(requests);
    int count = 0;
    for (std::string line; std::getline(lines, line);)
        count += line.rfind("i1e", 0) == 0;
    return count;
}

} // namespace

TEST_F(CatalogueReport, EveryThreeHundredSecondsItFetchesWhatWasPublishedMeanwhile)
{
    // An interval of 0 means the shortest period the program allows: 300 s.
    std::string configure = ReadFile(client + "/Configure.xml");
    const size_t interval = configure.find("<Intervel value=\"");
    ASSERT_NE(std::string::npos, interval);
    configure.replace(interval, configure.find(" />", interval) - interval, "<Intervel value=\"0\"");
    WriteFile(client + "/Configure.xml", configure);

    const auto started = std::chrono::steady_clock::now();
    const pid_t tovix = Start();
    ASSERT_TRUE(WaitDownloaded(1, 5, 180s));
    EXPECT_EQ(0, CatalogueReports(service.Requests())); // the login brought the catalogue
    const int published = service.PublishNext();
    ASSERT_GT(published, 0);

    ASSERT_TRUE(WaitDownloaded(1, 6, 420s));
    const auto waited = std::chrono::steady_clock::now() - started;
    const std::vector<TClientFile> files = Files(1);
    EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const TClientFile &file) { return file.id == published; }));
    EXPECT_EQ(1, CatalogueReports(service.Requests()));
    // Not before the period: the report timer, not anything else, brought it.
    EXPECT_GE(waited, 299s);
    EXPECT_EQ(0, Stop(tovix));
}
