#include "views/PictureFile.h"

#include "base/GbkText.h"
#include "base/SafeName.h"
#include "store/FileCatalogue.h"

#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace {

// False when the file is not there to read; *bytes empty when reading failed midway.
bool ReadWholeFile(const std::string &gbkPath, std::string *bytes)
{
    const int fd = ::open(FsPath(gbkPath).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    bytes->clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            bytes->clear();
            break;
        }
        bytes->append(buffer, size_t(got));
    }
    ::close(fd);
    return true;
}

} // namespace

std::string LocalPicturePath(const std::string &picRoot, const std::string &name)
{
    // Files without a picture are common: no log line for them.
    if (!IsSafeName(name) || picRoot.size() + name.size() > CFileCatalogue::kMaxPath)
        return std::string();
    return picRoot + name;
}

bool PictureFileExists(const std::string &gbkPath)
{
    struct stat info;
    return ::stat(FsPath(gbkPath).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool LoadPictureFile(const std::string &gbkPath, const wxSize &size, wxBitmap *picture)
{
    *picture = wxBitmap();
    std::string bytes;
    if (!ReadWholeFile(gbkPath, &bytes))
        return false;
    if (bytes.empty())
        return true;
    if (!wxImage::FindHandler(wxBITMAP_TYPE_JPEG))
        wxInitAllImageHandlers();
    wxLogNull quiet; // a broken picture is an empty frame, never a message box
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    wxImage image(stream, wxBITMAP_TYPE_ANY);
    if (image.IsOk())
        *picture = wxBitmap(image.Scale(size.x, size.y, wxIMAGE_QUALITY_NEAREST), 24);
    return true;
}
