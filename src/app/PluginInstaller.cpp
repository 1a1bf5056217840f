#include "app/PluginInstaller.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "base/Process.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *kFlashClsid = "CLSID\\{D27CDB6E-AE6D-11cf-96B8-444553540000}";
constexpr const char *kDtCodecs = "Software\\RealNetworks\\Preferences\\DT_Codecs";
constexpr const char *kRmvbKey = "SOFTWARE\\Microsoft\\Multimedia\\WMPlayer\\Extensions\\.rmvb";
constexpr const char *kRmKey = "SOFTWARE\\Microsoft\\Multimedia\\WMPlayer\\Extensions\\.rm";
constexpr const char *kDefaultValue = "@";

using SystemPath::IsFolder;

// The system and common folders always exist on the platform they stand for.
bool EnsureFolders(const std::string &path)
{
    if (path.empty())
        return false;
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
        if (slash == std::string::npos)
            break;
    }
    return IsFolder(path);
}

// The media framework rereads its plug-ins; nothing waits for it.
void RefreshMediaRegistry(const std::string &)
{
    StartDetached({"gst-inspect-1.0"});
}

} // namespace

TPluginFolders TPluginFolders::Default()
{
    TPluginFolders folders;
    const char *data = std::getenv("XDG_DATA_HOME");
    const char *home = std::getenv("HOME");
    std::string base;
    if (data && *data)
        base = data;
    else if (home && *home)
        base = std::string(home) + "/.local/share";
    if (!base.empty()) {
        folders.system = base + "/tovix/system";
        folders.common = base + "/tovix/common";
    }
    return folders;
}

std::string RealCodecFolder(const TPluginFolders &folders) { return folders.common + "/Real/Codecs"; }

void UseRealCodecFolder(const TPluginFolders &folders)
{
    std::string path = RealCodecFolder(folders);
    if (const char *existing = std::getenv("GST_PLUGIN_PATH"); existing && *existing)
        path += std::string(":") + existing;
    ::setenv("GST_PLUGIN_PATH", path.c_str(), 1);
}

int CopyFileNoReplace(const std::string &from, const std::string &to)
{
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    struct stat info;
    if (::fstat(in, &info) != 0 || S_ISDIR(info.st_mode)) {
        const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
        ::close(in);
        return error;
    }
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 0777);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        return error;
    }
    int error = 0;
    char buffer[65536];
    for (ssize_t got; (got = ::read(in, buffer, sizeof buffer)) != 0;) {
        if (got < 0 || ::write(out, buffer, static_cast<size_t>(got)) != got) {
            error = errno ? errno : EIO;
            break;
        }
    }
    ::close(in);
    if (::close(out) != 0 && !error)
        error = errno;
    if (error)
        ::unlink(to.c_str()); // a half copy would block every later attempt
    return error;
}

CPluginInstaller::CPluginInstaller(CKeyStore &keys, TPluginFolders folders, Registrar registrar)
    : m_keys(keys), m_folders(std::move(folders)), m_register(registrar ? std::move(registrar) : RefreshMediaRegistry)
{
}

void CPluginInstaller::CreateFolderLogged(const std::string &folder)
{
    if (IsFolder(folder))
        return;
    if (::mkdir(folder.c_str(), 0755) == 0)
        DebugLog("Create %s success", folder.c_str());
    else
        DebugLog("Create %s fail(%d)", folder.c_str(), errno);
}

int CPluginInstaller::InstallFlashPlugin()
{
    DebugLog("#################Check Flash ##############");
    const std::string source = m_folders.source + "/Flash";
    if (!IsFolder(source)) {
        DebugLog("There is no Flash plug_in");
        return 0;
    }
    CRegKey registered;
    if (registered.Open(m_keys, EHive::ClassesRoot, kFlashClsid)) {
        DebugLog("Already installed flash");
        registered.Close();
        return 0;
    }
    if (!EnsureFolders(m_folders.system))
        return -1;

    const std::string macromed = m_folders.system + "/Macromed";
    const std::string flash = macromed + "/Flash";
    CreateFolderLogged(macromed);
    CreateFolderLogged(flash);

    bool copied = false;
    for (const char *name : {"Flash9d.ocx", "FlashUtil9d.exe"}) {
        const std::string target = flash + "/" + name;
        if (SystemPath::FileExists(target))
            continue;
        if (int error = CopyFileNoReplace(source + "/" + name, target))
            DebugLog("CopyFile %s fail(%d)", target.c_str(), error);
        else
            DebugLog("CopyFile %s OK", target.c_str());
        copied = true;
    }
    if (!copied)
        return 0;
    m_register("Macromed/Flash/Flash9d.ocx");
    // The registration is what marks the control as installed, so it is written
    // only when the control is really there: a failed copy is tried again next start.
    const std::string control = flash + "/Flash9d.ocx";
    CRegKey clsid;
    if (SystemPath::FileExists(control) && clsid.Create(m_keys, EHive::ClassesRoot, kFlashClsid)) {
        clsid.SetValue(kDefaultValue, control);
        clsid.Close();
    }
    DebugLog("Reg Flash9d.ocx");
    return 0;
}

void CPluginInstaller::SetDwordValues(const char *key, const char *label)
{
    CRegKey extension;
    if (!extension.Open(m_keys, EHive::LocalMachine, key)) {
        if (!extension.Create(m_keys, EHive::LocalMachine, key)) {
            DebugLog("RegCreateKey(%s) fail(%d)", label, m_keys.LastError());
            return;
        }
        DebugLog("RegCreateKey(%s) OK", label);
    }
    for (const char *value : {"Runtime", "Permissions"}) {
        if (extension.SetValue(value, "1"))
            DebugLog("RegSetValue(%s) OK", value);
        else
            DebugLog("RegSetValue(%s) fail(%d)", value, m_keys.LastError());
    }
    extension.Close();
}

int CPluginInstaller::InstallRealCodecs()
{
    DebugLog("#################Check Real Codecs##############");
    const std::string source = m_folders.source + "/Real";
    if (!IsFolder(source)) {
        DebugLog("There is no Real plug_in");
        return 0;
    }
    if (!EnsureFolders(m_folders.common))
        return -1;

    const std::string real = m_folders.common + "/Real";
    const std::string codecs = RealCodecFolder(m_folders);
    CreateFolderLogged(real);
    CreateFolderLogged(codecs);

    for (const std::string &name : SystemPath::ListFolder(source + "/Codecs")) {
        const std::string target = codecs + "/" + name;
        if (int error = CopyFileNoReplace(source + "/Codecs/" + name, target))
            DebugLog("Copy %s fail(%d)", target.c_str(), error);
        else
            DebugLog("Copy %s OK", target.c_str());
    }

    CRegKey dtCodecs;
    if (dtCodecs.Open(m_keys, EHive::ClassesRoot, kDtCodecs)) {
        dtCodecs.Close();
    } else if (!dtCodecs.Create(m_keys, EHive::ClassesRoot, kDtCodecs)) {
        DebugLog("RegCreateKey(DT_Codecs) fail(%d)", m_keys.LastError());
    } else {
        DebugLog("RegCreateKey(DT_Codecs) OK");
        if (dtCodecs.SetValue(kDefaultValue, codecs))
            DebugLog("RegSetValue(DT_Codecs) OK");
        else
            DebugLog("RegSetValue(DT_Codecs) fail(%d)", m_keys.LastError());
        dtCodecs.Close();
    }

    SetDwordValues(kRmvbKey, ".rmvb");
    SetDwordValues(kRmKey, ".rm");

    const bool systemUsable = EnsureFolders(m_folders.system);
    auto copyToSystem = [&](const char *name) {
        const std::string target = m_folders.system + "/" + name;
        if (int error = systemUsable ? CopyFileNoReplace(source + "/" + name, target) : ENOENT)
            DebugLog("Copy %s faile(%d)", target.c_str(), error);
        else
            DebugLog("Copy %s OK", target.c_str());
    };
    copyToSystem("RealMediaSplitter.ax");
    m_register("RealMediaSplitter.ax");
    copyToSystem("pncrt.dll");
    return 0;
}
