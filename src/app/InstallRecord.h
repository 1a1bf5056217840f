// The install record: which version last logged in on this machine.
#pragma once

#include "base/KeyStore.h"

class CCatalogueStore;

// Installs the media plug-ins on a new installation (a later piece fills it in).
class IPluginInstaller {
public:
    virtual ~IPluginInstaller() = default;
    virtual void InstallFlash() = 0;
    virtual void InstallReal() = 0;
};

constexpr const char *kTovixKey = "Software\\Tovix";

enum EInstallState { INSTALL_SAME = 0, INSTALL_NEW = 1, INSTALL_UPGRADE = 2 };

// 1 new (no usable record), 2 another version recorded, 0 this version. On a new
// installation the installer runs first the Flash step, then the Real step.
int GetInstallState(CKeyStore &keys, CCatalogueStore &store, IPluginInstaller *installer);
// Records the configured Version as the "Install" value.
void RecordInstall(CKeyStore &keys, CCatalogueStore &store);
