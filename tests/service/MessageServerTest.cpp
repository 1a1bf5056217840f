#include "MessageServer.h"
#include "support/TestFolder.h"

#include <arpa/inet.h>
#include <chrono>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kCatalogue =
    "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n"
    "<TovixService Date=\"20261208\" Version=\"7\" Updater=\"update/TovixUpdate.sh\">\n"
    "<Channel1 ID=\"10001\" Name=\"\xD0\xC2\xCE\xC5\">\n"
    "<Channel2 ID=\"1\" Name=\"a\" Subscribe=\"1\" PreserveNum=\"0\" AD=\"ad.mp4\" ADDays=\"1\" />\n"
    "<Channel2 ID=\"2\" Name=\"b\" Subscribe=\"0\" PreserveNum=\"2\" AD=\"\" ADTime=\"\" />\n"
    "</Channel1>\n"
    "<File Channel=\"1\" ID=\"1001\" Title=\"t1\" Pic=\"1001.jpg\" Date=\"d\" Progress=\"-1\" Torrent=\"1001.torrent\" "
    "Location=\"v1.mp4\" Desc=\"x\" KBytes=\"10\" />\n"
    "<File Channel=\"2\" ID=\"1002\" Title=\"t2\" Pic=\"1002.jpg\" Date=\"d\" Progress=\"-1\" Torrent=\"1002.torrent\" "
    "Location=\"v2.mp4\" Desc=\"x\" KBytes=\"10\" />\n"
    "<File Channel=\"1\" ID=\"1003\" Title=\"t3\" Pic=\"1003.jpg\" Date=\"d\" Progress=\"-1\" Torrent=\"1003.torrent\" "
    "Location=\"v3.mp4\" Desc=\"x\" KBytes=\"10\" Held=\"1\" />\n"
    "</TovixService>\n";

const std::string kUpdaterUrl = "http://127.0.0.1:1/update/TovixUpdate.sh";
const std::string kVersionReply = "i2ei7e" + std::to_string(kUpdaterUrl.size()) + ":" + kUpdaterUrl;

int Connect(uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

// Reads until the server closes, for at most five seconds.
std::string ReadAll(int fd)
{
    std::string reply;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buffer[4096];
        ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        reply.append(buffer, static_cast<size_t>(got));
    }
    return reply;
}

std::string Exchange(uint16_t port, const std::string &request)
{
    int fd = Connect(port);
    if (fd < 0)
        return "no connection";
    send(fd, request.data(), request.size(), MSG_NOSIGNAL);
    std::string reply = ReadAll(fd);
    close(fd);
    return reply;
}

class MessageServerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteFile(folder / "catalogue.xml", kCatalogue);
        ASSERT_TRUE(catalogue.Load(folder / "catalogue.xml"));
        ASSERT_TRUE(server.Start(0));
    }
    // Waits, at most five seconds, for the request record to hold a text.
    bool RecordShows(const std::string &text)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (ReadFile(folder / "requests.log").find(text) == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    CTestFolder folder;
    CServiceCatalogue catalogue;
    CMessageServer server{catalogue, kUpdaterUrl, folder / "requests.log"};
};

} // namespace

TEST_F(MessageServerTest, AnswersEachRequestTypeAndRecordsIt)
{
    EXPECT_EQ(kVersionReply, Exchange(server.Port(), "i2ei1e"));
    EXPECT_EQ("i4e", Exchange(server.Port(), "i4e9:127.0.0.1i1001ei25e"));
    EXPECT_EQ("i5e", Exchange(server.Port(), "i5e9:127.0.0.12:1,0:"));
    EXPECT_EQ("i1ei0e", Exchange(server.Port(), "i1ei1002e9:127.0.0.14:NULL"));

    const std::string files = Exchange(server.Port(), "i1ei1001e9:127.0.0.14:NULL");
    ASSERT_EQ(0u, files.find("i1ei1e"));
    EXPECT_NE(std::string::npos, files.find("<Channel ID=\"2\">"));
    EXPECT_NE(std::string::npos, files.find("<MaxID value=\"1002\" />"));
    EXPECT_EQ(std::string::npos, files.find("ID=\"1001\""));
    EXPECT_EQ(std::string::npos, files.find("Held")); // held-back files and bookkeeping stay at the service

    EXPECT_EQ(std::vector<std::string>({"i2ei1e", "i4e9:127.0.0.1i1001ei25e", "i5e9:127.0.0.12:1,0:",
                                         "i1ei1002e9:127.0.0.14:NULL", "i1ei1001e9:127.0.0.14:NULL"}),
              [&] {
                  std::vector<std::string> lines;
                  std::string all = ReadFile(folder / "requests.log");
                  for (size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
                      lines.push_back(all.substr(start, end - start));
                  return lines;
              }());
}

TEST_F(MessageServerTest, LoginSendsWhatTheClientLacks)
{
    // Up to date: nothing to send.
    EXPECT_EQ("i3ei0e", Exchange(server.Port(), "i3e4:NULL4:NULLi1ei0ei1002ei20261208e"));
    // Old MaxID, same date: files only.
    EXPECT_EQ(0u, Exchange(server.Port(), "i3e4:NULL4:NULLi1ei0ei1001ei20261208e").find("i3ei1e"));
    // Fresh client: files, then channels, whose advertisement date is made current.
    const std::string both = Exchange(server.Port(), "i3e4:NULL4:NULLi1ei1ei0ei0e");
    ASSERT_EQ(0u, both.find("i3ei3e"));
    const size_t channels = both.find("<TovixChannel>");
    ASSERT_NE(std::string::npos, channels);
    EXPECT_GT(channels, both.find("<TovixFile>"));
    EXPECT_NE(std::string::npos, both.find("<Date value=\"20261208\" />"));
    EXPECT_NE(std::string::npos, both.find("AD=\"ad.mp4\" ADTime=\"" + std::to_string(DateNumber(1)) + "\""));
    EXPECT_EQ(std::string::npos, both.find("ADDays"));
}

TEST_F(MessageServerTest, PublishingBringsNewsToTheNextReport)
{
    EXPECT_EQ("i1ei0e", Exchange(server.Port(), "i1ei1002e4:NULL4:NULL"));
    EXPECT_EQ(1003, catalogue.PublishNext());
    EXPECT_EQ(0, catalogue.PublishNext());
    const std::string news = Exchange(server.Port(), "i1ei1002e4:NULL4:NULL");
    EXPECT_EQ(0u, news.find("i1ei1e"));
    EXPECT_NE(std::string::npos, news.find("ID=\"1003\""));
}

TEST_F(MessageServerTest, SurvivesGarbageSilenceAndEarlyHangUpsAndStillAnswers)
{
    EXPECT_EQ("", Exchange(server.Port(), "GET / HTTP/1.1\r\nHost: x\r\n\r\n"));
    EXPECT_EQ("", Exchange(server.Port(), std::string("\0\0\0\0", 4)));
    EXPECT_EQ("", Exchange(server.Port(), "i3e99999999999:"));
    EXPECT_EQ("", Exchange(server.Port(), std::string(20000, '1')));
    int silent = Connect(server.Port());   // connects and says nothing
    int halfway = Connect(server.Port());  // starts a request and hangs up
    send(halfway, "i3e4:NU", 7, MSG_NOSIGNAL);
    close(halfway);
    EXPECT_EQ(kVersionReply, Exchange(server.Port(), "i2ei1e"));
    close(silent);
    EXPECT_TRUE(RecordShows("malformed GET / HTTP/1.1\\x0D\\x0A"));
    // The hang-up may be noticed after the answer above went out.
    EXPECT_TRUE(RecordShows("cut short i3e4:NU"));
}

TEST_F(MessageServerTest, ServesTwoHundredClientsAtOnce)
{
    std::vector<int> clients;
    for (int i = 0; i < 200; ++i) {
        int fd = Connect(server.Port());
        ASSERT_GE(fd, 0) << i;
        clients.push_back(fd);
    }
    // Every client sends its request in two pieces, interleaved with the others.
    for (int fd : clients)
        send(fd, "i2e", 3, MSG_NOSIGNAL);
    for (int fd : clients)
        send(fd, "i1e", 3, MSG_NOSIGNAL);
    int answered = 0;
    for (int fd : clients) {
        answered += ReadAll(fd) == kVersionReply;
        close(fd);
    }
    EXPECT_EQ(200, answered);
}
