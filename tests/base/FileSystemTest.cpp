#include "base/FileSystem.h"
#include "support/TestFolder.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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

TEST(FileSystem, LeftoversOfAKilledSaveAreRemovedAndNothingElse)
{
    CTestFolder folder;
    const std::string work = folder / "work";
    MakeFolder(work);
    int ready[2];
    ASSERT_EQ(0, pipe(ready));
    const pid_t child = fork();
    if (child == 0) {
        WriteFileAtomic(work + "/FileInfo.xml", [&](FILE *file) {
            std::fputs("<TovixFile", file);
            ssize_t written = write(ready[1], "1", 1);
            (void)written;
            pause();
            return true;
        });
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(1, read(ready[0], &byte, 1));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    std::vector<std::string> left = ListFolder(work);
    ASSERT_EQ(1u, left.size());

    WriteFile(work + "/Configure.xml", "kept");
    WriteFile(work + "/ChannelInfo.xml.Ab12Cd", "");
    for (const char *kept : {"Configure.xml.bak", "Configure.xml.abcdefg", "FileInfo.xml.ab-cde", "Other.xml.abcdef",
                             "FileInfo.xmlXabcdef"})
        WriteFile(work + "/" + kept, "");
    MakeFolder(work + "/Configure.xml.zzzzzz"); // cannot be deleted as a file
    RemoveAtomicLeftovers(work, {"Configure.xml", "FileInfo.xml", "ChannelInfo.xml"});

    std::vector<std::string> names = ListFolder(work);
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Configure.xml", "Configure.xml.abcdefg", "Configure.xml.bak",
                                        "Configure.xml.zzzzzz", "FileInfo.xml.ab-cde", "FileInfo.xmlXabcdef",
                                        "Other.xml.abcdef"}),
              names);
    std::vector<std::string> lines = folder.LogLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ((std::vector<std::string>{"Del file " + work + "/Configure.xml.zzzzzz error[5]",
                                        "Removed leftover " + work + "/ChannelInfo.xml.Ab12Cd",
                                        "Removed leftover " + work + "/" + left[0]}),
              lines);
}
