#include "app/MachineIdentity.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <algorithm>
#include <netinet/in.h>
#include <regex>

namespace {

sockaddr_in Service(const char *dotted, uint16_t port)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    inet_aton(dotted, &address.sin_addr);
    return address;
}

} // namespace

TEST(MachineIdentity, LocalAddressIsTheOneTheServiceConnectionUses)
{
    // A service on the loopback is reached from the loopback, whatever the adapters are.
    bool listed = false;
    const sockaddr_in loopback = Service("127.0.0.1", 9);
    EXPECT_EQ("127.0.0.1", LocalAddressOf(&loopback, [&] {
                  listed = true;
                  return std::vector<std::string>{"10.1.2.3"};
              }));
    EXPECT_FALSE(listed);
    // Without a usable Connection: the first adapter that is not loopback, else "NULL".
    EXPECT_EQ("10.1.2.3", LocalAddressOf(nullptr, [] { return std::vector<std::string>{"10.1.2.3", "10.9.9.9"}; }));
    EXPECT_EQ("NULL", LocalAddressOf(nullptr, [] { return std::vector<std::string>{}; }));

    // A service elsewhere (a documentation address: connecting a UDP socket sends
    // nothing) is reached from one of this machine's own adapters, never from the
    // loopback the host name resolves to.
    const sockaddr_in remote = Service("198.51.100.7", 9);
    const std::vector<std::string> adapters = ListAdapterIPv4Addresses();
    const std::string local = GetLocalAddress(&remote);
    if (adapters.empty())
        EXPECT_EQ("NULL", local);
    else
        EXPECT_NE(adapters.end(), std::find(adapters.begin(), adapters.end(), local)) << local;
}

TEST(MachineIdentity, OnlyTheFirstAdapterCountsAndNoneGivesNull)
{
    EXPECT_EQ("NULL", FormatFirstAdapter({}));
    EXPECT_EQ("0A1B2C3D4E5F", FormatFirstAdapter({{0x0A, 0x1B, 0x2C, 0x3D, 0x4E, 0x5F}, {1, 2, 3, 4, 5, 6}}));
}

TEST(MachineIdentity, RealMachineGivesWellFormedTexts)
{
    const std::string hardware = GetHardwareAddress();
    EXPECT_TRUE(hardware == "NULL" || std::regex_match(hardware, std::regex("[0-9A-F]{12}"))) << hardware;
    for (const std::string &local : ListAdapterIPv4Addresses()) {
        EXPECT_TRUE(std::regex_match(local, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+"))) << local;
        EXPECT_NE(0u, local.find("127.")) << local;
    }
}
