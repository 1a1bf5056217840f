#include "net/ReplyDispatch.h"

#include "app/InstallRecord.h"
#include "base/DebugLog.h"
#include "net/MainWindowLink.h"
#include "net/ReplyReader.h"
#include "net/ServiceWatch.h"
#include "net/XmlFragment.h"
#include "store/CatalogueStore.h"

#include <string>

namespace {

enum EReplyType { REPLY_FILE_NEWS = 1, REPLY_VERSION = 2, REPLY_LOGIN = 3, REPLY_PLAY = 4, REPLY_TEXT = 5 };

// A token that is cut short waits for more bytes; a malformed one ends the exchange.
EReplyResult Unread(ETokenResult result)
{
    return result == ETokenResult::Short ? EReplyResult::Wait : EReplyResult::Closed;
}

struct TText {
    const char *data = nullptr;
    size_t length = 0;
};

// Parses a fragment; a broken one is one log line, the prefix and the reason.
bool ParseLogged(const TText &text, TiXmlDocument &document, const char *prefix)
{
    std::string error;
    if (ParseXmlFragment(text.data, text.length, document, error))
        return true;
    DebugLog("%s%s", prefix, error.c_str());
    return false;
}

} // namespace

EReplyResult CReplyDispatch::Dispatch(const char *data, size_t length)
{
    if (length <= 2)
        return EReplyResult::Wait;
    CReplyReader reader(data, length);
    int64_t type = 0;
    if (reader.ReadInt(type) != ETokenResult::Ok)
        return EReplyResult::Wait;
    switch (type) {
    case REPLY_FILE_NEWS:
        return OnFileNews(reader);
    case REPLY_VERSION:
        return OnVersion(reader);
    case REPLY_LOGIN:
        return OnLogin(reader);
    case REPLY_PLAY:
    case REPLY_TEXT:
        return EReplyResult::Done;
    default:
        return EReplyResult::Wait;
    }
}

void CReplyDispatch::HeardLogin()
{
    if (m_watch)
        m_watch->OnLoginReply();
}

void CReplyDispatch::StartPictureFetcher()
{
    if (m_link.MainWindowExists())
        m_workers.StartPictureFetcher();
}

EReplyResult CReplyDispatch::OnFileNews(CReplyReader &reader)
{
    int64_t count = 0;
    if (ETokenResult result = reader.ReadInt(count); result != ETokenResult::Ok)
        return Unread(result);
    if (count <= 0)
        return EReplyResult::Done;
    TText text;
    if (ETokenResult result = reader.ReadString(text.data, text.length); result != ETokenResult::Ok)
        return Unread(result);

    TiXmlDocument fragment;
    if (!ParseLogged(text, fragment, "GetFileInfo error "))
        return EReplyResult::Closed;
    m_merge.MergeFileFragment(fragment);
    StartPictureFetcher();
    return EReplyResult::Done;
}

EReplyResult CReplyDispatch::OnVersion(CReplyReader &reader)
{
    int64_t version = 0;
    TText address;
    ETokenResult result = reader.ReadInt(version);
    if (result == ETokenResult::Ok)
        result = reader.ReadString(address.data, address.length);
    if (result != ETokenResult::Ok)
        return Unread(result);

    if (version == 0 || version <= m_store.GetConfigInt(CFG_VERSION))
        return EReplyResult::Closed;
    // Stored before the updater is fetched: a failed download is not offered again.
    m_store.SetConfigValue("Version", std::to_string(static_cast<int32_t>(static_cast<uint32_t>(version))));
    m_workers.StartUpdateFetcher(std::string(address.data, address.length));
    return EReplyResult::Done;
}

EReplyResult CReplyDispatch::OnLogin(CReplyReader &reader)
{
    int64_t flags = 0;
    if (ETokenResult result = reader.ReadInt(flags); result != ETokenResult::Ok)
        return Unread(result);
    if (flags > 3) {
        HeardLogin();
        return EReplyResult::Done;
    }
    TText files;
    TText channels;
    if (flags & 1)
        if (ETokenResult result = reader.ReadString(files.data, files.length); result != ETokenResult::Ok)
            return Unread(result);
    if (flags & 2)
        if (ETokenResult result = reader.ReadString(channels.data, channels.length); result != ETokenResult::Ok)
            return Unread(result);
    // The service has answered, whatever its fragments hold.
    HeardLogin();

    // A broken fragment ends the reply; one merged before it stays merged.
    TiXmlDocument fileFragment;
    TiXmlDocument channelFragment;
    if (files.length > 0) {
        if (!ParseLogged(files, fileFragment, "LogIn process error FileInfo:")) {
            StartPictureFetcher();
            return EReplyResult::Closed;
        }
        m_merge.MergeFileFragment(fileFragment);
    }
    if (channels.length > 0) {
        if (!ParseLogged(channels, channelFragment, "LogIn process error ChannelInfo:")) {
            StartPictureFetcher();
            return EReplyResult::Closed;
        }
        m_merge.MergeChannelFragment(channelFragment);
        m_workers.StartAdFetcher();
    }
    StartPictureFetcher();
    RecordInstall(m_keys, m_store);
    return EReplyResult::Done;
}
