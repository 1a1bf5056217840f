#include "SampleData.h"

#include "ServiceCatalogue.h"
#include "base/GbkText.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sys/wait.h>
#include <tinyxml.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char *const kFont = "/usr/share/fonts/truetype/wqy/wqy-zenhei.ttc";

struct TSampleChannel {
    int category;
    int id;
    const char *name;      // UTF-8 here, GBK in the catalogue
    const char *subscribe; // the service's own mark
    int preserveNum;
    const char *ad;        // advertisement clip, or ""
    int adDays;            // ADTime relative to today
    int files;
    const char *colour;    // background of the pictures and clips
};

const struct {
    int id;
    const char *name;
} kCategories[] = {{10001, "新闻资讯"}, {10002, "体育天地"}, {10003, "影视娱乐"}};

const TSampleChannel kChannels[] = {
    {10001, 1, "国际新闻", "1", 0, "ad-news.mp4", 30, 5, "0x1F4E79"},
    {10001, 2, "财经报道", "0", 3, "", 0, 5, "0x385723"},
    {10001, 3, "科技前沿", "0", 0, "", 0, 5, "0x7030A0"},
    {10002, 4, "足球风云", "0", 0, "ad-sport.mp4", -1, 5, "0x00703C"},
    {10002, 5, "篮球时刻", "0", 0, "", 0, 5, "0xC55A11"},
    {10002, 6, "网球公开赛", "0", 0, "", 0, 4, "0x2E75B6"},
    {10003, 7, "电影预告", "0", 0, "", 0, 6, "0x843C0C"},
    {10003, 8, "音乐现场", "0", 0, "", 0, 5, "0xBF9000"},
};

std::string G(const std::string &utf8) { return Utf8ToGbk(utf8); }

bool Run(const std::vector<std::string> &argv)
{
    pid_t child = fork();
    if (child == 0) {
        std::vector<char *> args;
        for (const std::string &arg : argv)
            args.push_back(const_cast<char *>(arg.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    std::cerr << "tovix-service: " << argv[0] << " failed making " << argv.back() << "\n";
    return false;
}

// A clip with its title drawn on a moving test pattern, and a tone.
bool MakeClip(const std::string &path, const std::string &titleFile, const char *colour, int seconds)
{
    const std::string duration = std::to_string(seconds);
    return Run({"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                "testsrc2=size=640x360:rate=25:duration=" + duration, "-f", "lavfi", "-i",
                "sine=frequency=440:duration=" + duration, "-vf",
                std::string("drawbox=x=0:y=250:w=640:h=110:color=") + colour + "@0.85:t=fill,drawtext=fontfile=" + kFont +
                    ":textfile=" + titleFile + ":fontcolor=white:fontsize=40:x=(w-tw)/2:y=280",
                "-c:v", "libx264", "-preset", "veryfast", "-b:v", "1500k", "-pix_fmt", "yuv420p", "-c:a", "aac",
                "-shortest", "-movflags", "+faststart", path});
}

// A 200 x 150 JPEG thumbnail with the title written on the channel's colour.
bool MakePicture(const std::string &path, const std::string &titleFile, const char *colour)
{
    return Run({"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                std::string("color=c=") + colour + ":size=200x150:duration=1", "-vf",
                std::string("drawbox=x=8:y=8:w=184:h=134:color=white@0.25:t=2,drawtext=fontfile=") + kFont +
                    ":textfile=" + titleFile + ":fontcolor=white:fontsize=20:x=(w-tw)/2:y=(h-th)/2",
                "-frames:v", "1", "-q:v", "3", path});
}

bool WriteText(const fs::path &path, const std::string &text)
{
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    return static_cast<bool>(out);
}

const char *kAdPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Tovix</title>
<style>body{margin:0;font:12px sans-serif;background:#f4f7fb;color:#234}
.box{padding:8px}h1{font-size:14px;margin:0 0 6px;color:#1F4E79}a{color:#2E75B6}</style></head>
<body><div class="box"><h1>本周推荐</h1>
<p><a id="subscribe" href="app:subscribe:1">订阅国际新闻</a></p>
<p><a id="home" href="../../index.html">访问网站</a></p></div></body></html>
)";

const char *kHomePage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Tovix</title></head>
<body><h1>Tovix 演示服务</h1><p>This is the home page of the bundled demo service.</p>
<p><a href="forum/index.html">论坛</a></p></body></html>
)";

const char *kForumPage = R"(<!DOCTYPE html>
<html><head><meta charset="utf-8"><title>Tovix forum</title></head>
<body><h1>Tovix 论坛</h1><p>The demo service's forum page.</p></body></html>
)";

// What the demo announces as an update: it only leaves a trace that it ran.
const char *kUpdater = "#!/bin/sh\necho \"updater ran $(date)\" >> updater-ran.txt\n";

} // namespace

bool GenerateSampleData(const std::string &dataFolder, const TSampleOptions &options)
{
    const fs::path data = fs::absolute(dataFolder);
    const fs::path videos = data / "videos", web = data / "web", scratch = data / "scratch";
    for (const fs::path &folder : {videos, web / "pics", web / "ads", web / "torrents", web / "update", scratch})
        fs::create_directories(folder);

    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "GB2312", ""));
    TiXmlElement *root = new TiXmlElement("TovixService");
    document.LinkEndChild(root);
    root->SetAttribute("Date", DateNumber(0));
    root->SetAttribute("Version", options.version);
    root->SetAttribute("Updater", "update/TovixUpdate.sh");

    for (const auto &category : kCategories) {
        TiXmlElement *element = new TiXmlElement("Channel1");
        element->SetAttribute("ID", category.id);
        element->SetAttribute("Name", G(category.name).c_str());
        for (const TSampleChannel &channel : kChannels) {
            if (channel.category != category.id)
                continue;
            TiXmlElement *child = new TiXmlElement("Channel2");
            child->SetAttribute("ID", channel.id);
            child->SetAttribute("Name", G(channel.name).c_str());
            child->SetAttribute("Subscribe", channel.subscribe);
            child->SetAttribute("PreserveNum", channel.preserveNum);
            child->SetAttribute("AD", channel.ad);
            if (*channel.ad)
                child->SetAttribute("ADDays", channel.adDays);
            else
                child->SetAttribute("ADTime", "");
            element->LinkEndChild(child);
        }
        root->LinkEndChild(element);
    }

    // Files in publishing order: the first files of every channel, then the
    // held-back ones, which alternate between the subscribed and the pruned channel.
    struct TPlanned {
        const TSampleChannel *channel;
        int episode;
        bool held;
    };
    std::vector<TPlanned> planned;
    for (const TSampleChannel &channel : kChannels)
        for (int episode = 1; episode <= channel.files; ++episode)
            planned.push_back({&channel, episode, false});
    for (int i = 0; i < options.heldBack; ++i)
        planned.push_back({&kChannels[i % 2], kChannels[i % 2].files + 1 + i / 2, true});

    int id = 1000;
    for (const TPlanned &plan : planned) {
        ++id;
        const std::string title = std::string(plan.channel->name) + " 第" + std::to_string(plan.episode) + "期";
        const std::string titleFile = (scratch / (std::to_string(id) + ".txt")).string();
        const std::string location = std::string(plan.channel->name) + "_" + std::to_string(id) + ".mp4";
        WriteText(titleFile, title);
        const fs::path video = videos / location;
        if (!MakeClip(video.string(), titleFile, plan.channel->colour, options.clipSeconds) ||
            !MakePicture((web / "pics" / (std::to_string(id) + ".jpg")).string(), titleFile, plan.channel->colour))
            return false;

        TiXmlElement *file = new TiXmlElement("File");
        file->SetAttribute("Channel", plan.channel->id);
        file->SetAttribute("ID", id);
        file->SetAttribute("Title", G(title).c_str());
        file->SetAttribute("Pic", (std::to_string(id) + ".jpg").c_str());
        // Older files carry older dates, a few files a day.
        const int date = DateNumber(-(static_cast<int>(planned.size()) - (id - 1000)) / 4);
        char dateText[16];
        std::snprintf(dateText, sizeof dateText, "%04d-%02d-%02d", date / 10000, date / 100 % 100, date % 100);
        file->SetAttribute("Date", dateText);
        file->SetAttribute("Progress", -1);
        file->SetAttribute("Torrent", (std::to_string(id) + ".torrent").c_str());
        file->SetAttribute("Location", G(location).c_str());
        file->SetAttribute("Desc", G(std::string("这是《") + plan.channel->name + "》第" + std::to_string(plan.episode) +
                                     "期节目。演示服务生成的短片，用于检验下载、播放和栏目管理。").c_str());
        file->SetAttribute("KBytes", static_cast<int>(fs::file_size(video) / 1024));
        if (plan.held)
            file->SetAttribute("Held", "1");
        root->LinkEndChild(file);
    }

    for (const TSampleChannel &channel : kChannels) {
        if (!*channel.ad)
            continue;
        const std::string titleFile = (scratch / (std::string(channel.ad) + ".txt")).string();
        WriteText(titleFile, std::string("广告 · ") + channel.name);
        if (!MakeClip((web / "ads" / channel.ad).string(), titleFile, "0xC00000", 4))
            return false;
    }

    bool ok = WriteText(web / "webclient/adleft/index.html", kAdPage) && WriteText(web / "index.html", kHomePage) &&
              WriteText(web / "forum/index.html", kForumPage) && WriteText(web / "update/TovixUpdate.sh", kUpdater);
    fs::remove_all(scratch);
    return ok && document.SaveFile((data / CServiceCatalogue::kFileName).string().c_str());
}

bool MakeClientFolder(const std::string &clientFolder, const TServicePorts &ports, const std::string &skins)
{
    const fs::path folder = fs::absolute(clientFolder);
    for (const char *sub : {"videos/ADs", "torrents", "pics", "Skins"})
        fs::create_directories(folder / sub);
    const std::string web = "http://127.0.0.1:" + std::to_string(ports.web);
    const std::pair<const char *, std::string> items[] = {
        {"Intervel", "301"},
        {"MaxID", "0"},
        {"ChannelDate", "0"},
        {"ThreadNum", "3"},
        {"MaxDLSpeed", "0"},
        {"MaxULSpeed", "0"},
        {"FileRoot", (folder / "videos").string() + "/"},
        {"TorrentRoot", (folder / "torrents").string() + "/"},
        {"PicRoot", (folder / "pics").string() + "/"},
        {"TorrentURL", web + "/torrents/"},
        {"PicURL", web + "/pics/"},
        {"Connection", "127.0.0.1:" + std::to_string(ports.message)},
        {"Version", "1"},
        {"ADURL", web + "/ads/"},
        {"WebURL", web},
        {"ForumURL", web + "/forum/index.html"},
    };
    TiXmlDocument document;
    document.LinkEndChild(new TiXmlDeclaration("1.0", "GB2312", ""));
    TiXmlElement *root = new TiXmlElement("TovixConfig");
    document.LinkEndChild(root);
    for (const auto &item : items) {
        TiXmlElement *element = new TiXmlElement(item.first);
        element->SetAttribute("value", Utf8ToGbk(item.second).c_str());
        root->LinkEndChild(element);
    }
    if (!document.SaveFile((folder / "Configure.xml").string().c_str())) {
        std::cerr << "tovix-service: cannot write " << (folder / "Configure.xml") << "\n";
        return false;
    }
    // An installation ships empty catalogues, so a first start shows no load errors.
    for (const auto &catalogue : {std::make_pair("FileInfo.xml", "TovixFile"), std::make_pair("ChannelInfo.xml", "TovixChannel")}) {
        TiXmlDocument empty;
        empty.LinkEndChild(new TiXmlDeclaration("1.0", "GB2312", ""));
        empty.LinkEndChild(new TiXmlElement(catalogue.second));
        if (!empty.SaveFile((folder / catalogue.first).string().c_str())) {
            std::cerr << "tovix-service: cannot write " << (folder / catalogue.first) << "\n";
            return false;
        }
    }
    bool complete = true;
    for (const char *image : {"Main.bmp", "ItemStatus.bmp", "Sub.bmp", "ItemDefault.jpg"}) {
        std::error_code error;
        fs::copy_file(fs::path(skins) / image, folder / "Skins" / image, fs::copy_options::overwrite_existing, error);
        if (error) {
            std::cerr << "tovix-service: skin image " << (fs::path(skins) / image) << " missing\n";
            complete = false;
        }
    }
    return complete;
}
