#include "base/FileSystem.h"

#include "base/DebugLog.h"
#include "base/GbkText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The temporary file of an atomic write: the target's name and mkstemp's six characters.
constexpr char kTempSuffix[] = ".XXXXXX";

bool IsTempOf(const std::string &name, const std::string &target)
{
    const size_t length = target.size() + sizeof kTempSuffix - 1;
    if (name.size() != length || name.compare(0, target.size() + 1, target + ".") != 0)
        return false;
    return std::all_of(name.begin() + target.size() + 1, name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; });
}

} // namespace

bool FileExists(const std::string &path)
{
    struct stat info;
    return ::stat(FsPath(path).c_str(), &info) == 0;
}

int DeleteFileError(const std::string &path)
{
    return ::unlink(FsPath(path).c_str()) == 0 ? 0 : errno;
}

int RenameNoReplace(const std::string &from, const std::string &to)
{
    const std::string source = FsPath(from);
    const std::string target = FsPath(to);
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing target too.
    if (::link(source.c_str(), target.c_str()) != 0)
        return errno;
    return ::unlink(source.c_str()) == 0 ? 0 : errno;
}

bool WriteFileAtomic(const std::string &path, const std::string &data, int *error)
{
    return WriteFileAtomic(
        path,
        [&data](FILE *file) { return data.empty() || std::fwrite(data.data(), 1, data.size(), file) == data.size(); },
        error);
}

bool WriteFileAtomic(const std::string &path, const std::function<bool(FILE *)> &writer, int *error)
{
    const std::string target = FsPath(path);
    std::string temp = target + kTempSuffix;
    int fd = ::mkstemp(&temp[0]);
    if (fd < 0) {
        if (error)
            *error = errno;
        return false;
    }
    // mkstemp creates 0600; a saved file gets the usual mode under the user's umask.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);

    FILE *file = ::fdopen(fd, "wb");
    if (!file) {
        int saved = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        if (error)
            *error = saved;
        return false;
    }
    errno = 0;
    bool ok = writer(file);
    ok = ok && std::fflush(file) == 0 && !std::ferror(file) && ::fsync(fd) == 0;
    int saved = errno ? errno : EIO;
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        saved = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        if (error)
            *error = saved;
    }
    return ok;
}

std::vector<std::string> ListFolder(const std::string &folder)
{
    std::vector<std::string> names;
    DIR *dir = ::opendir(FsPath(folder.empty() ? std::string(".") : folder).c_str());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(Utf8ToGbk(name));
    }
    ::closedir(dir);
    return names;
}

void RemoveAtomicLeftovers(const std::string &folder, const std::vector<std::string> &names)
{
    for (const std::string &name : ListFolder(folder)) {
        if (std::none_of(names.begin(), names.end(), [&name](const std::string &target) { return IsTempOf(name, target); }))
            continue;
        const std::string path = folder + "/" + name;
        if (const int error = DeleteFileError(path))
            DebugLog("Del file %s error[%d]", path.c_str(), FileErrorCause(error));
        else
            DebugLog("Removed leftover %s", path.c_str());
    }
}

int FileErrorCause(int error)
{
    switch (error) {
    case 0:
        return 0;
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5;
    case EBUSY:
    case ETXTBSY:
        return 11;
    case ENOSPC:
    case EDQUOT:
        return 13;
    case EIO:
        return 10;
    default:
        return 1;
    }
}
