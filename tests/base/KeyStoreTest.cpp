#include "base/KeyStore.h"
#include "support/TestFolder.h"

#include <gtest/gtest.h>

TEST(KeyStore, KeysMustBeCreatedBeforeTheyOpen)
{
    CTestFolder folder;
    // A home folder with a Chinese name: the system spells it in UTF-8.
    CKeyStore store(folder / "\xE9\x85\x8D\xE7\xBD\xAE/tovix");
    CRegKey key;
    EXPECT_FALSE(key.Open(store, EHive::LocalMachine, "Software\\Tovix"));
    ASSERT_TRUE(key.Create(store, EHive::LocalMachine, "Software\\Tovix"));
    EXPECT_TRUE(key.SetValue("Install", "12"));
    key.Close();

    CRegKey again;
    ASSERT_TRUE(again.Open(store, EHive::LocalMachine, "Software\\Tovix"));
    std::string value;
    EXPECT_TRUE(again.QueryValue("Install", value));
    EXPECT_EQ("12", value);
    EXPECT_FALSE(again.QueryValue("Other", value));
    // Hives are separate files.
    EXPECT_FALSE(CRegKey().Open(store, EHive::CurrentUser, "Software\\Tovix"));
}

TEST(KeyStore, ValuesKeepEveryByteAcrossInstances)
{
    CTestFolder folder;
    const std::string awkward = "line1\nline2\r\\back=\xD6\xD0\xCE\xC4";
    {
        CKeyStore store(folder.Path());
        ASSERT_TRUE(store.WriteValue(EHive::CurrentUser, "Software\\Tovix\\Settings", "Path", awkward));
        ASSERT_TRUE(store.WriteValue(EHive::CurrentUser, "Software\\Tovix\\Settings", "Other", "x"));
    }
    CKeyStore reopened(folder.Path());
    std::string value;
    ASSERT_TRUE(reopened.ReadValue(EHive::CurrentUser, "Software\\Tovix\\Settings", "Path", value));
    EXPECT_EQ(awkward, value);
    ASSERT_TRUE(reopened.ReadValue(EHive::CurrentUser, "Software\\Tovix\\Settings", "Other", value));
    EXPECT_EQ("x", value);
}

TEST(KeyStore, RefusesNamesThatWouldBreakTheFile)
{
    CTestFolder folder;
    CKeyStore store(folder.Path());
    EXPECT_FALSE(store.CreateKey(EHive::LocalMachine, "bad]key"));
    EXPECT_FALSE(store.WriteValue(EHive::LocalMachine, "Key", "a=b", "v"));
    EXPECT_FALSE(store.WriteValue(EHive::LocalMachine, "Key", "", "v"));
}

TEST(KeyStore, DefaultFolderFollowsXdgConfigHome)
{
    setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ("/somewhere/config/tovix", CKeyStore::DefaultFolder());
    unsetenv("XDG_CONFIG_HOME");
    setenv("HOME", "/home/u", 1);
    EXPECT_EQ("/home/u/.config/tovix", CKeyStore::DefaultFolder());
}
