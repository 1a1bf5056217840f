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

namespace SystemPath {

bool FileExists(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string &path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int DeleteFileError(const std::string &path)
{
    return ::unlink(path.c_str()) == 0 ? 0 : errno;
}

int RenameNoReplace(const std::string &from, const std::string &to)
{
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without RENAME_NOREPLACE: a hard link fails on an existing target too.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

bool WriteFileAtomic(const std::string &path, const std::string &data, int *error)
{
    return WriteFileAtomic(
        path,
        [&data](FILE *file) { return data.empty() || std::fwrite(data.data(), 1, data.size(), file) == data.size(); },
        error);
}

bool WriteFileAtomic(const std::string &path, const std::function<bool(FILE *)> &writer, int *error,
                     EReplace replace)
{
    std::string temp = path + kTempSuffix;
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
    // The old file's mode is read last, right before the rename, so a file made
    // read-only while the new one was written is not replaced either.
    struct stat old;
    if (ok && replace == EReplace::UnlessReadOnly && ::stat(path.c_str(), &old) == 0) {
        if (!(old.st_mode & S_IWUSR)) {
            ok = false;
            saved = EACCES;
        } else {
            ::fchmod(fd, old.st_mode & 0777);
        }
    }
    if (std::fclose(file) != 0 && ok) {
        ok = false;
        saved = errno;
    }
    if (ok && ::rename(temp.c_str(), path.c_str()) != 0) {
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
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    ::closedir(dir);
    return names;
}

} // namespace SystemPath

bool FileExists(const std::string &path) { return SystemPath::FileExists(FsPath(path)); }

int DeleteFileError(const std::string &path) { return SystemPath::DeleteFileError(FsPath(path)); }

int RenameNoReplace(const std::string &from, const std::string &to)
{
    return SystemPath::RenameNoReplace(FsPath(from), FsPath(to));
}

bool WriteFileAtomic(const std::string &path, const std::string &data, int *error)
{
    return SystemPath::WriteFileAtomic(FsPath(path), data, error);
}

bool WriteFileAtomic(const std::string &path, const std::function<bool(FILE *)> &writer, int *error, EReplace replace)
{
    return SystemPath::WriteFileAtomic(FsPath(path), writer, error, replace);
}

std::vector<std::string> ListFolder(const std::string &folder)
{
    std::vector<std::string> names = SystemPath::ListFolder(FsPath(folder));
    for (std::string &name : names)
        name = Utf8ToGbk(name);
    return names;
}

void RemoveAtomicLeftovers(const std::string &folder, const std::vector<std::string> &names)
{
    for (const std::string &name : SystemPath::ListFolder(folder)) {
        if (std::none_of(names.begin(), names.end(),
                         [&name](const std::string &target) { return IsTempOf(name, target); }))
            continue;
        const std::string path = folder + "/" + name;
        if (const int error = SystemPath::DeleteFileError(path))
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
