// Installs the media plug-ins a deployment ships in "Plug_in" on the first start:
// the Flash files into the system folder, the Real codecs into the common folder,
// with their registry keys, then a refresh of the media framework's registry.
#pragma once

#include "app/InstallRecord.h"
#include "base/KeyStore.h"

#include <functional>
#include <string>
#include <vector>

// Every folder here comes from the system (the working folder, $HOME, XDG_*) and is
// used as the file system spells it, never converted from GBK.
struct TPluginFolders {
    std::string source = "Plug_in"; // relative to the working directory
    std::string system;             // the system folder
    std::string common;             // the common program files folder

    // $XDG_DATA_HOME/tovix/system and $XDG_DATA_HOME/tovix/common (~/.local/share).
    static TPluginFolders Default();
};

// The folder whose GStreamer plug-ins the players load: common + "/Real/Codecs".
std::string RealCodecFolder(const TPluginFolders &folders);
// Puts that folder in front of GST_PLUGIN_PATH, before the media framework starts.
void UseRealCodecFolder(const TPluginFolders &folders);

class CPluginInstaller : public IPluginInstaller {
public:
    // How "regsvr32" is carried out: by default a detached refresh of the media
    // framework's registry; tests record it instead.
    using Registrar = std::function<void(const std::string &component)>;

    CPluginInstaller(CKeyStore &keys, TPluginFolders folders, Registrar registrar = nullptr);

    // 0 when there was nothing to do, -1 when the system folder is unusable.
    int InstallFlashPlugin();
    // 0 when "Plug_in/Real" is missing, -1 when the common folder is unusable.
    int InstallRealCodecs();

    void InstallFlash() override { InstallFlashPlugin(); }
    void InstallReal() override { InstallRealCodecs(); }

private:
    void CreateFolderLogged(const std::string &folder);
    void SetDwordValues(const char *key, const char *label);

    CKeyStore &m_keys;
    TPluginFolders m_folders;
    Registrar m_register;
};

// Copies a file without ever replacing the target: 0, or the system error number.
int CopyFileNoReplace(const std::string &from, const std::string &to);
