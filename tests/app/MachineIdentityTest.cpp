#include "app/MachineIdentity.h"

#include <gtest/gtest.h>
#include <regex>

TEST(MachineIdentity, UnresolvableOrUnnamedHostReportsNull)
{
    auto failing = [](const std::string &, std::string &) { return false; };
    EXPECT_EQ("NULL", LocalAddressOf("somehost", failing));
    auto working = [](const std::string &, std::string &dotted) {
        dotted = "10.1.2.3";
        return true;
    };
    EXPECT_EQ("NULL", LocalAddressOf("", working));
    EXPECT_EQ("10.1.2.3", LocalAddressOf("somehost", working));
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
    const std::string local = GetLocalAddress();
    EXPECT_TRUE(local == "NULL" || std::regex_match(local, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\\.[0-9]+"))) << local;
    std::string dotted;
    ASSERT_TRUE(ResolveHostIPv4("localhost", dotted));
    EXPECT_EQ(0u, dotted.find("127."));
}
