// The five messages the client sends to the service, built from the
// configuration and the machine identity into fixed-size texts.
#pragma once

#include <string>

class CCatalogueStore;
class CKeyStore;
class CServiceChannel;
class IPluginInstaller;

enum EMessageType {
    MSG_CATALOGUE_REPORT = 1,
    MSG_VERSION_REPORT = 2,
    MSG_LOGIN_REPORT = 3,
    MSG_PLAY_REPORT = 4,
    MSG_TEXT_REPORT = 5,
};

class CServiceReports {
public:
    // The longest text of each report the text report accepts.
    static constexpr size_t kMaxReportText = 500;

    CServiceReports(CServiceChannel &channel, CCatalogueStore &store, CKeyStore &keys)
        : m_channel(channel), m_store(store), m_keys(keys)
    {
    }
    ~CServiceReports();
    CServiceReports(const CServiceReports &) = delete;
    CServiceReports &operator=(const CServiceReports &) = delete;

    // Until the service answers a login report, the channel sends it again
    // every 30 s, without the plug-in installation.
    void RetryLoginUntilReplied();

    // MaxID, local address, hardware address.
    void SendCatalogueReport();
    // Version.
    void SendVersionReport();
    // Local address, hardware address, Version, install state, MaxID, ChannelDate.
    // Finding the install state may run the plug-in installation first.
    void SendLoginReport(IPluginInstaller *installer);
    // Local address, the file, how much of its advertisement was watched.
    void SendPlayReport(int file, int percent);
    // Local address, the channels just subscribed and just unsubscribed (each
    // "ID," repeated); nothing is sent when either is longer than 500 bytes.
    void SendTextReport(const std::string &subscribed, const std::string &unsubscribed);

private:
    // The address of this machine on the way to the Connection address.
    std::string LocalAddress();
    // Each report is formatted into a buffer of its fixed size; a text that did
    // not fit whole is not sent.
    void SendIfWhole(const char *text, int length, size_t size);

    CServiceChannel &m_channel;
    CCatalogueStore &m_store;
    CKeyStore &m_keys;
};
