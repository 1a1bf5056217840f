#include "base/FileSystem.h"
#include "support/TestFolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(FileSystem, AtomicWriteReplacesWholeAndLeavesNoTemporaryFiles)
{
    CTestFolder folder;
    MakeFolder(folder / "d");
    ASSERT_TRUE(WriteFileAtomic(folder / "d/a.txt", "first"));
    ASSERT_TRUE(WriteFileAtomic(folder / "d/a.txt", "second"));
    EXPECT_EQ("second", ReadFile(folder / "d/a.txt"));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, ListFolder(folder / "d"));
}

TEST(FileSystem, FailedWriterKeepsTheOldFile)
{
    CTestFolder folder;
    MakeFolder(folder / "d");
    WriteFile(folder / "d/a.txt", "old");
    int error = 0;
    EXPECT_FALSE(WriteFileAtomic(folder / "d/a.txt", [](FILE *f) { std::fputs("partial", f); return false; }, &error));
    EXPECT_EQ("old", ReadFile(folder / "d/a.txt"));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, ListFolder(folder / "d"));
}

TEST(FileSystem, WriteIntoReadOnlyFolderFailsAndKeepsTheOldFile)
{
    CTestFolder folder;
    MakeFolder(folder / "ro");
    WriteFile(folder / "ro/a.txt", "old");
    chmod((folder / "ro").c_str(), 0555);
    const std::string path = folder / "ro/a.txt";
    EXPECT_EQ(0, RunUnprivileged([&] { return WriteFileAtomic(path, "new") ? 1 : 0; }));
    EXPECT_EQ("old", ReadFile(path));
}

TEST(FileSystem, GbkPathsBecomeUtf8NamesOnDisk)
{
    CTestFolder folder;
    MakeFolder(folder / "d");
    const std::string gbk = folder / "d/\xD6\xD0\xCE\xC4.avi";
    ASSERT_TRUE(WriteFileAtomic(gbk, "v"));
    EXPECT_TRUE(Exists(folder / "d/\xE4\xB8\xAD\xE6\x96\x87.avi"));
    EXPECT_TRUE(FileExists(gbk));
    EXPECT_EQ(std::vector<std::string>{"\xD6\xD0\xCE\xC4.avi"}, ListFolder(folder / "d"));
    EXPECT_EQ(0, DeleteFileError(gbk));
    EXPECT_EQ(ENOENT, DeleteFileError(gbk));
}

TEST(FileSystem, RenameNeverReplacesAndCausesMapLikeTheLogExpects)
{
    CTestFolder folder;
    WriteFile(folder / "a", "a");
    WriteFile(folder / "b", "b");
    EXPECT_EQ(EEXIST, RenameNoReplace(folder / "a", folder / "b"));
    EXPECT_EQ("b", ReadFile(folder / "b"));
    EXPECT_EQ(0, RenameNoReplace(folder / "a", folder / "c"));
    EXPECT_EQ(2, FileErrorCause(ENOENT));
    EXPECT_EQ(5, FileErrorCause(EACCES));
    EXPECT_EQ(5, FileErrorCause(EISDIR));
    EXPECT_EQ(13, FileErrorCause(ENOSPC));
    EXPECT_EQ(0, FileErrorCause(0));
}
