#include "app/InstallRecord.h"

#include "store/CatalogueStore.h"
#include "store/XmlNumber.h"

int GetInstallState(CKeyStore &keys, CCatalogueStore &store, IPluginInstaller *installer)
{
    int state = INSTALL_NEW;
    CRegKey key;
    if (key.Open(keys, EHive::LocalMachine, kTovixKey)) {
        std::string recorded;
        if (key.QueryValue("Install", recorded) && recorded.size() < 256 && AtoI(recorded) != 0)
            state = AtoI(recorded) == store.GetConfigInt(CFG_VERSION) ? INSTALL_SAME : INSTALL_UPGRADE;
        key.Close();
    }
    if (state == INSTALL_NEW && installer) {
        installer->InstallFlash();
        installer->InstallReal();
    }
    return state;
}

void RecordInstall(CKeyStore &keys, CCatalogueStore &store)
{
    CRegKey key;
    if (!key.Open(keys, EHive::LocalMachine, kTovixKey) && !key.Create(keys, EHive::LocalMachine, kTovixKey))
        return;
    key.SetValue("Install", store.GetConfigValue(CFG_VERSION));
    key.Close();
}
