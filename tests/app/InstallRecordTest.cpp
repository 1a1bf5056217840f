#include "app/InstallRecord.h"
#include "store/CatalogueFixture.h"

namespace {

class CRecordingInstaller : public IPluginInstaller {
public:
    void InstallFlash() override { steps.push_back("flash"); }
    void InstallReal() override { steps.push_back("real"); }
    std::vector<std::string> steps;
};

class InstallRecordTest : public CatalogueTest {
protected:
    void SetUp() override
    {
        WriteConfigure();
        Load();
        store.DisableExitSave();
    }
    void Record(const std::string &value)
    {
        ASSERT_TRUE(keys.WriteValue(EHive::LocalMachine, kTovixKey, "Install", value));
    }
    CKeyStore keys{folder / "keys"};
    CRecordingInstaller installer;
};

} // namespace

TEST_F(InstallRecordTest, NoRecordIsANewInstallationThatInstallsPlugins)
{
    EXPECT_EQ(INSTALL_NEW, GetInstallState(keys, store, &installer));
    EXPECT_EQ((std::vector<std::string>{"flash", "real"}), installer.steps);
}

TEST_F(InstallRecordTest, ZeroOrTextCountsAsNew)
{
    for (const char *value : {"0", "abc", ""}) {
        Record(value);
        installer.steps.clear();
        EXPECT_EQ(INSTALL_NEW, GetInstallState(keys, store, &installer)) << value;
        EXPECT_EQ(2u, installer.steps.size());
    }
}

TEST_F(InstallRecordTest, SameVersionIsKnownAndAnotherIsAnUpgrade)
{
    Record("12");
    EXPECT_EQ(INSTALL_SAME, GetInstallState(keys, store, &installer));
    Record("11");
    EXPECT_EQ(INSTALL_UPGRADE, GetInstallState(keys, store, &installer));
    EXPECT_TRUE(installer.steps.empty());
}

TEST_F(InstallRecordTest, RecordInstallWritesTheConfiguredVersion)
{
    RecordInstall(keys, store);
    EXPECT_EQ(INSTALL_SAME, GetInstallState(keys, store, &installer));
    // After an update raised Version the state is an upgrade until recorded again.
    store.SetConfigValue("Version", "13");
    EXPECT_EQ(INSTALL_UPGRADE, GetInstallState(keys, store, &installer));
    RecordInstall(keys, store);
    std::string value;
    ASSERT_TRUE(keys.ReadValue(EHive::LocalMachine, kTovixKey, "Install", value));
    EXPECT_EQ("13", value);
}

TEST_F(InstallRecordTest, UnwritableStoreLeavesTheStateNew)
{
    WriteFile(folder / "blocked", "a file where the key folder should be");
    CKeyStore blocked(folder / "blocked/keys");
    RecordInstall(blocked, store);
    EXPECT_EQ(INSTALL_NEW, GetInstallState(blocked, store, nullptr));
}
