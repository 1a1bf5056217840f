// File operations on paths held as GBK bytes. Each converts the path for the
// file system just before the call, so files on disk carry UTF-8 names.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

bool FileExists(const std::string &path);

// Deletes a file; returns 0 or the system error number.
int DeleteFileError(const std::string &path);

// Renames without ever replacing an existing target; returns 0 or the system error number.
int RenameNoReplace(const std::string &from, const std::string &to);

// What an atomic write does with the file it replaces.
enum class EReplace {
    // Replaced whatever its mode; the new file gets the usual mode under the umask.
    Always,
    // Not replaced when its owner made it read-only (EACCES, checked by the mode
    // bits, which do not stop root); otherwise the new file keeps its mode.
    UnlessReadOnly,
};

// Writes a file through a temporary file in the same folder, flushed and renamed
// over the old one, so a crash or a full disk never leaves a truncated file.
// On failure the old file is intact and *error (when given) holds the error number.
bool WriteFileAtomic(const std::string &path, const std::string &data, int *error = nullptr);
bool WriteFileAtomic(const std::string &path, const std::function<bool(FILE *)> &writer, int *error = nullptr,
                     EReplace replace = EReplace::Always);

// Removes what WriteFileAtomic calls killed midway left in folder (a path from
// the system, such as the working folder): files named one of names followed by
// "." and six letters or digits. One log line per file.
void RemoveAtomicLeftovers(const std::string &folder, const std::vector<std::string> &names);

// Names in a folder (GBK), without "." and ".."; empty when the folder cannot be read.
std::vector<std::string> ListFolder(const std::string &folder);

// The same operations on paths that came from the system (the working folder,
// $HOME, the XDG folders and paths built on them): those are in the file
// system's encoding already and must never pass through the GBK conversion.
namespace SystemPath {
bool FileExists(const std::string &path);
bool IsFolder(const std::string &path);
int DeleteFileError(const std::string &path);
int RenameNoReplace(const std::string &from, const std::string &to);
bool WriteFileAtomic(const std::string &path, const std::string &data, int *error = nullptr);
bool WriteFileAtomic(const std::string &path, const std::function<bool(FILE *)> &writer, int *error = nullptr,
                     EReplace replace = EReplace::Always);
// Names as the file system holds them.
std::vector<std::string> ListFolder(const std::string &folder);
} // namespace SystemPath

// The file-error cause code the log lines report for a system error number:
// 0 none, 1 generic, 2 not found, 3 bad path, 4 too many open files, 5 access denied,
// 7 removing the current directory, 8 directory full, 10 I/O error, 11 sharing violation,
// 12 lock violation, 13 disk full.
int FileErrorCause(int error);
