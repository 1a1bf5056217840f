#include "MediaClips.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

// Removed when the test program ends.
class CClipFolder {
public:
    CClipFolder()
    {
        std::string pattern = (fs::temp_directory_path() / "tovix-clips-XXXXXX").string();
        if (!mkdtemp(&pattern[0]))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~CClipFolder()
    {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
};

struct TRecipe {
    const char *name;
    const char *arguments;
};

TRecipe RecipeOf(EClip clip)
{
    switch (clip) {
    case EClip::Video:
        return {"video.mp4", "-f lavfi -i testsrc=size=320x240:rate=12:duration=3 -f lavfi -i sine=duration=3 "
                             "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac -shortest"};
    case EClip::Ad:
        return {"ad.mp4", "-f lavfi -i smptebars=size=320x240:rate=12:duration=2 "
                          "-c:v libx264 -preset ultrafast -pix_fmt yuv420p"};
    case EClip::Wmv:
        return {"video.wmv", "-f lavfi -i testsrc=size=320x240:rate=12:duration=2 -f lavfi -i sine=duration=2 "
                             "-c:v wmv2 -c:a wmav2 -shortest"};
    case EClip::RealMedia10:
        return {"video10.rm", "-f lavfi -i testsrc=size=320x240:rate=12:duration=2 -c:v rv10 -f rm"};
    case EClip::Long:
        return {"long.mp4", "-f lavfi -i testsrc=size=160x120:rate=5:duration=40 "
                            "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -g 5"};
    case EClip::RealMedia20:
        return {"video20.rm", "-f lavfi -i testsrc=size=320x240:rate=12:duration=2 -c:v rv20 -f rm"};
    }
    return {"", ""};
}

} // namespace

std::string Clip(EClip clip)
{
    static CClipFolder folder;
    static std::map<EClip, std::string> made;
    auto found = made.find(clip);
    if (found != made.end())
        return found->second;
    const TRecipe recipe = RecipeOf(clip);
    const std::string path = folder.Path() + "/" + recipe.name;
    const std::string command =
        std::string("ffmpeg -nostdin -hide_banner -loglevel error -y ") + recipe.arguments + " " + path;
    if (std::system(command.c_str()) != 0 || !fs::exists(path)) {
        std::fprintf(stderr, "cannot make %s: %s\n", recipe.name, command.c_str());
        return made[clip] = "";
    }
    return made[clip] = path;
}

bool CopyClip(EClip clip, const std::string &path)
{
    const std::string source = Clip(clip);
    std::error_code error;
    return !source.empty() && fs::copy_file(source, path, fs::copy_options::overwrite_existing, error);
}

bool HasGstElement(const std::string &name)
{
    return std::system(("gst-inspect-1.0 --exists " + name).c_str()) == 0;
}
