#include "app/PluginInstaller.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

class PluginInstallerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A data folder with a Chinese name, spelt in UTF-8 as the system gives it.
        folders.system = folder / "\xE6\x95\xB0\xE6\x8D\xAE/tovix/system";
        folders.common = folder / "\xE6\x95\xB0\xE6\x8D\xAE/tovix/common";
    }

    void ShipFlash()
    {
        MakeFolder(folder / "Plug_in");
        MakeFolder(folder / "Plug_in/Flash");
        WriteFile(folder / "Plug_in/Flash/Flash9d.ocx", "ocx");
        WriteFile(folder / "Plug_in/Flash/FlashUtil9d.exe", "util");
    }

    void ShipReal()
    {
        MakeFolder(folder / "Plug_in");
        MakeFolder(folder / "Plug_in/Real");
        MakeFolder(folder / "Plug_in/Real/Codecs");
        WriteFile(folder / "Plug_in/Real/Codecs/libgstrealmedia.so", "codec");
        WriteFile(folder / "Plug_in/Real/RealMediaSplitter.ax", "ax");
        WriteFile(folder / "Plug_in/Real/pncrt.dll", "dll");
    }

    CPluginInstaller Installer()
    {
        return CPluginInstaller(keys, folders, [this](const std::string &component) { registered.push_back(component); });
    }

    CTestFolder folder;
    CKeyStore keys{folder / "keys"};
    TPluginFolders folders;
    std::vector<std::string> registered;
};

} // namespace

TEST_F(PluginInstallerTest, FirstRunInstallsAndLogsEveryStep)
{
    ShipFlash();
    ShipReal();
    CPluginInstaller installer = Installer();
    EXPECT_EQ(0, installer.InstallFlashPlugin());
    EXPECT_EQ(0, installer.InstallRealCodecs());

    const std::string s = folders.system, c = folders.common;
    EXPECT_EQ((std::vector<std::string>{
                  "#################Check Flash ##############",
                  "Create " + s + "/Macromed success",
                  "Create " + s + "/Macromed/Flash success",
                  "CopyFile " + s + "/Macromed/Flash/Flash9d.ocx OK",
                  "CopyFile " + s + "/Macromed/Flash/FlashUtil9d.exe OK",
                  "Reg Flash9d.ocx",
                  "#################Check Real Codecs##############",
                  "Create " + c + "/Real success",
                  "Create " + c + "/Real/Codecs success",
                  "Copy " + c + "/Real/Codecs/libgstrealmedia.so OK",
                  "RegCreateKey(DT_Codecs) OK",
                  "RegSetValue(DT_Codecs) OK",
                  "RegCreateKey(.rmvb) OK",
                  "RegSetValue(Runtime) OK",
                  "RegSetValue(Permissions) OK",
                  "RegCreateKey(.rm) OK",
                  "RegSetValue(Runtime) OK",
                  "RegSetValue(Permissions) OK",
                  "Copy " + s + "/RealMediaSplitter.ax OK",
                  "Copy " + s + "/pncrt.dll OK",
              }),
              folder.LogLines());
    EXPECT_EQ("ocx", ReadFile(s + "/Macromed/Flash/Flash9d.ocx"));
    EXPECT_EQ("codec", ReadFile(c + "/Real/Codecs/libgstrealmedia.so"));
    EXPECT_EQ((std::vector<std::string>{"Macromed/Flash/Flash9d.ocx", "RealMediaSplitter.ax"}), registered);
    std::string value;
    EXPECT_TRUE(keys.ReadValue(EHive::ClassesRoot, "Software\\RealNetworks\\Preferences\\DT_Codecs", "@", value));
    EXPECT_EQ(c + "/Real/Codecs", value);
    EXPECT_TRUE(keys.ReadValue(EHive::LocalMachine, "SOFTWARE\\Microsoft\\Multimedia\\WMPlayer\\Extensions\\.rm",
                               "Permissions", value));
    EXPECT_EQ("1", value);
}

TEST_F(PluginInstallerTest, SecondRunLogsCopyFailuresAndKeepsExistingKeys)
{
    ShipFlash();
    ShipReal();
    Installer().InstallRealCodecs();
    ASSERT_TRUE(keys.WriteValue(EHive::ClassesRoot, "Software\\RealNetworks\\Preferences\\DT_Codecs", "@", "mine"));
    WriteFile(folder / "Plug_in/Real/Codecs/libgstrealmedia.so", "newer codec");
    Installer().InstallFlashPlugin();

    const size_t before = folder.LogLines().size();
    Installer().InstallRealCodecs();
    const auto all = folder.LogLines();
    const std::vector<std::string> second(all.begin() + static_cast<long>(before), all.end());
    const std::string c = folders.common, s = folders.system;
    EXPECT_EQ((std::vector<std::string>{
                  "#################Check Real Codecs##############",
                  "Copy " + c + "/Real/Codecs/libgstrealmedia.so fail(17)",
                  "RegSetValue(Runtime) OK",
                  "RegSetValue(Permissions) OK",
                  "RegSetValue(Runtime) OK",
                  "RegSetValue(Permissions) OK",
                  "Copy " + s + "/RealMediaSplitter.ax faile(17)",
                  "Copy " + s + "/pncrt.dll faile(17)",
              }),
              second);
    EXPECT_EQ("codec", ReadFile(c + "/Real/Codecs/libgstrealmedia.so"));
    std::string value;
    keys.ReadValue(EHive::ClassesRoot, "Software\\RealNetworks\\Preferences\\DT_Codecs", "@", value);
    EXPECT_EQ("mine", value);
}

TEST_F(PluginInstallerTest, RegisteredFlashIsLeftAloneAndSubfoldersFailToCopy)
{
    ShipFlash();
    ShipReal();
    MakeFolder(folder / "Plug_in/Real/Codecs/nested");
    ASSERT_TRUE(keys.CreateKey(EHive::ClassesRoot, "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}"));
    CPluginInstaller installer = Installer();
    EXPECT_EQ(0, installer.InstallFlashPlugin());
    installer.InstallRealCodecs();
    const auto lines = folder.LogLines();
    EXPECT_EQ("Already installed flash", lines[1]);
    EXPECT_FALSE(Exists(folders.system + "/Macromed"));
    EXPECT_NE(lines.end(), std::find(lines.begin(), lines.end(),
                                     "Copy " + folders.common + "/Real/Codecs/nested fail(21)"));
}

TEST_F(PluginInstallerTest, FlashIsMarkedInstalledOnlyWhenTheControlWasCopied)
{
    ShipFlash();
    const std::string control = folder / "Plug_in/Flash/Flash9d.ocx";
    ASSERT_EQ(0, unlink(control.c_str()));
    Installer().InstallFlashPlugin();
    EXPECT_FALSE(keys.KeyExists(EHive::ClassesRoot, "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}"));

    // The next start tries again and, with the control shipped, completes.
    WriteFile(control, "ocx");
    const size_t before = folder.LogLines().size();
    Installer().InstallFlashPlugin();
    const auto lines = folder.LogLines();
    EXPECT_EQ("CopyFile " + folders.system + "/Macromed/Flash/Flash9d.ocx OK", lines.at(before + 1));
    EXPECT_TRUE(keys.KeyExists(EHive::ClassesRoot, "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}"));
}

TEST_F(PluginInstallerTest, MissingPlugInFoldersLogOneLineEach)
{
    CPluginInstaller installer = Installer();
    EXPECT_EQ(0, installer.InstallFlashPlugin());
    EXPECT_EQ(0, installer.InstallRealCodecs());
    EXPECT_EQ((std::vector<std::string>{"#################Check Flash ##############", "There is no Flash plug_in",
                                        "#################Check Real Codecs##############", "There is no Real plug_in"}),
              folder.LogLines());
    EXPECT_TRUE(registered.empty());
}

TEST_F(PluginInstallerTest, UnusableSystemFolderGivesMinusOne)
{
    ShipFlash();
    ShipReal();
    folders.system.clear();
    folders.common.clear();
    EXPECT_EQ(-1, Installer().InstallFlashPlugin());
    EXPECT_EQ(-1, Installer().InstallRealCodecs());
}

TEST(PluginFolders, FollowXdgDataHomeAndFeedTheMediaPluginPath)
{
    setenv("XDG_DATA_HOME", "/x/share", 1);
    const TPluginFolders folders = TPluginFolders::Default();
    EXPECT_EQ("/x/share/tovix/system", folders.system);
    EXPECT_EQ("/x/share/tovix/common", folders.common);
    setenv("GST_PLUGIN_PATH", "/old", 1);
    UseRealCodecFolder(folders);
    EXPECT_STREQ("/x/share/tovix/common/Real/Codecs:/old", getenv("GST_PLUGIN_PATH"));
    unsetenv("GST_PLUGIN_PATH");
    unsetenv("XDG_DATA_HOME");
}
