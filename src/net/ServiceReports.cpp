#include "net/ServiceReports.h"

#include "app/InstallRecord.h"
#include "app/MachineIdentity.h"
#include "net/ServiceChannel.h"
#include "net/ServiceConnection.h"
#include "store/CatalogueStore.h"

#include <cstdio>
#include <cstring>

namespace {

int Length(const std::string &text) { return static_cast<int>(std::strlen(text.c_str())); }

} // namespace

std::string CServiceReports::LocalAddress()
{
    sockaddr_in service;
    const bool usable = ParseServiceAddress(m_store.GetConfigValue(CFG_CONNECTION), service);
    return GetLocalAddress(usable ? &service : nullptr);
}

CServiceReports::~CServiceReports() { m_channel.SetLoginRetry(nullptr); }

void CServiceReports::RetryLoginUntilReplied()
{
    m_channel.SetLoginRetry([this] { SendLoginReport(nullptr); });
}

void CServiceReports::SendIfWhole(const char *text, int length, size_t size)
{
    if (length >= 0 && static_cast<size_t>(length) < size)
        m_channel.SendServiceMessage(text);
}

void CServiceReports::SendCatalogueReport()
{
    const std::string local = LocalAddress();
    const std::string hardware = GetHardwareAddress();
    char text[128];
    SendIfWhole(text,
                std::snprintf(text, sizeof text, "i%dei%de%d:%s%d:%s", MSG_CATALOGUE_REPORT,
                              m_store.GetConfigInt(CFG_MAXID), Length(local), local.c_str(), Length(hardware),
                              hardware.c_str()),
                sizeof text);
}

void CServiceReports::SendVersionReport()
{
    char text[32];
    SendIfWhole(text,
                std::snprintf(text, sizeof text, "i%dei%de", MSG_VERSION_REPORT, m_store.GetConfigInt(CFG_VERSION)),
                sizeof text);
}

void CServiceReports::SendLoginReport(IPluginInstaller *installer)
{
    const std::string local = LocalAddress();
    const std::string hardware = GetHardwareAddress();
    const int state = GetInstallState(m_keys, m_store, installer);
    char text[100];
    SendIfWhole(text,
                std::snprintf(text, sizeof text, "i%de%d:%s%d:%si%dei%dei%dei%de", MSG_LOGIN_REPORT, Length(local),
                              local.c_str(), Length(hardware), hardware.c_str(), m_store.GetConfigInt(CFG_VERSION),
                              state, m_store.GetConfigInt(CFG_MAXID), m_store.GetConfigInt(CFG_CHANNELDATE)),
                sizeof text);
}

void CServiceReports::SendPlayReport(int file, int percent)
{
    const std::string local = LocalAddress();
    char text[64];
    SendIfWhole(text,
                std::snprintf(text, sizeof text, "i%de%d:%si%dei%de", MSG_PLAY_REPORT, Length(local), local.c_str(),
                              file, percent),
                sizeof text);
}

void CServiceReports::SendTextReport(const std::string &subscribed, const std::string &unsubscribed)
{
    if (Length(subscribed) > static_cast<int>(kMaxReportText) ||
        Length(unsubscribed) > static_cast<int>(kMaxReportText))
        return;
    const std::string local = LocalAddress();
    char text[1064];
    SendIfWhole(text,
                std::snprintf(text, sizeof text, "i%de%d:%s%d:%s%d:%s", MSG_TEXT_REPORT, Length(local), local.c_str(),
                              Length(subscribed), subscribed.c_str(), Length(unsubscribed), unsubscribed.c_str()),
                sizeof text);
}
