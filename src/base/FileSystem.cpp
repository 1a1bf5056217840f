#include "base/FileSystem.h"

#include "base/GbkText.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    std::string temp = target + ".XXXXXX";
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
