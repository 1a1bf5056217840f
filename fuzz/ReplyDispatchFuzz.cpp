// Feeds arbitrary bytes to the reply dispatch as a reply from the message server,
// on a fresh copy of a small catalogue each time, and checks what must hold:
// a reply that waits changes nothing, local file entries are never changed, the
// file merge and pruning give exactly what plain walks of the documents give, and the
// shape the dispatch checks before parsing is exactly the shape the parser reaches.
#include "base/DebugLog.h"
#include "base/EngineApi.h"
#include "base/KeyStore.h"
#include "net/MainWindowLink.h"
#include "net/ReplyDispatch.h"
#include "net/ReplyReader.h"
#include "net/XmlFragment.h"
#include "store/CatalogueStore.h"
#include "store/ChannelCatalogue.h"
#include "store/XmlNumber.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char *const kDecl = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\n";

const std::string kFiles = std::string(kDecl) +
                           "<TovixFile>\n<Channel ID=\"1\">\n"
                           "<File ID=\"10\" Pic=\"p10.jpg\" Progress=\"50\" Torrent=\"t10\" Location=\"v10\" />\n"
                           "<File ID=\"11\" Pic=\"p11.jpg\" Progress=\"-1\" Torrent=\"t11\" Location=\"v11\" />\n"
                           "</Channel>\n<Channel ID=\"2\">\n"
                           "<File ID=\"20\" Pic=\"p20.jpg\" Progress=\"100\" Torrent=\"t20\" Location=\"v20\" />\n"
                           "</Channel>\n</TovixFile>\n";
const std::string kChannels = std::string(kDecl) +
                              "<TovixChannel>\n<Date value=\"20260101\" />\n<Channel1 ID=\"10001\">\n"
                              "<Channel2 ID=\"1\" Subscribe=\"1\" PreserveNum=\"1000\" />\n"
                              "<Channel2 ID=\"2\" Subscribe=\"0\" PreserveNum=\"2\" />\n"
                              "</Channel1>\n</TovixChannel>\n";
const std::string kConfig = std::string(kDecl) +
                            "<TovixConfig>\n<MaxID value=\"7\" />\n<ChannelDate value=\"20260101\" />\n"
                            "<Version value=\"12\" />\n<FileRoot value=\"v/\" />\n<TorrentRoot value=\"t/\" />\n"
                            "<PicRoot value=\"p/\" />\n</TovixConfig>\n";

class CNoWindow : public CMainWindowLink, public ISyncWorkers {
public:
    bool MainWindowExists() override { return true; }
    void PostShowChannel(int) override {}
    void PostCommand(int) override {}
    bool IsButtonDisabled(int commandId) override { return commandId == 1002; }
    void SendPictureReady(const std::string &, int) override {}
    void StartPictureFetcher() override {}
    void StartAdFetcher() override {}
    void StartUpdateFetcher(const std::string &) override {}
    void RunSubscribedDownloadStart() override {}
};

void Check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

void Reset(CCatalogueStore &store)
{
    for (auto [document, text] : {std::pair{&store.FileDoc(), &kFiles}, std::pair{&store.ChannelDoc(), &kChannels},
                                  std::pair{&store.ConfigDoc(), &kConfig}}) {
        document->Clear();
        document->Parse(text->c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    }
}

std::string Print(const TiXmlDocument &document)
{
    TiXmlPrinter printer;
    document.Accept(&printer);
    return printer.Str();
}

TXmlShape ShapeOf(const TiXmlNode *node)
{
    TXmlShape shape;
    for (const TiXmlNode *child = node->FirstChild(); child; child = child->NextSibling()) {
        const TXmlShape inner = ShapeOf(child);
        shape.depth = std::max(shape.depth, inner.depth);
        shape.attributes = std::max(shape.attributes, inner.attributes);
    }
    if (const TiXmlElement *element = node->ToElement()) {
        ++shape.depth;
        int count = 0;
        for (const TiXmlAttribute *attribute = element->FirstAttribute(); attribute; attribute = attribute->Next())
            ++count;
        shape.attributes = std::max(shape.attributes, count);
    }
    return shape;
}

// Inputs are short, so the parse itself is safe here whatever the text holds.
void CheckShape(std::string text)
{
    text.append(kXmlPadding - 1, '\0');
    const TXmlShape scanned = XmlShapeOf(text.c_str(), 1 << 30, 1 << 30);
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    const TXmlShape parsed = ShapeOf(&document);
    Check(scanned.depth == parsed.depth, "nesting depth differs from the parser's");
    Check(scanned.attributes == parsed.attributes, "attribute count differs from the parser's");
}

// The file fragment the dispatch will merge, when the reply carries one.
bool FileFragmentOf(const uint8_t *data, size_t size, std::string &fragment)
{
    CReplyReader reader(reinterpret_cast<const char *>(data), size);
    int64_t type = 0;
    int64_t number = 0;
    const char *text = nullptr;
    size_t length = 0;
    if (reader.ReadInt(type) != ETokenResult::Ok || (type != 1 && type != 3) ||
        reader.ReadInt(number) != ETokenResult::Ok)
        return false;
    if (type == 1 ? number <= 0 : (number > 3 || !(number & 1)))
        return false;
    if (reader.ReadString(text, length) != ETokenResult::Ok || (type == 3 && length == 0))
        return false;
    fragment.assign(text, length);
    // A login carrying channels too is handled only once both strings are whole.
    const char *channels = nullptr;
    size_t channelsLength = 0;
    return type == 1 || number == 1 || reader.ReadString(channels, channelsLength) == ETokenResult::Ok;
}

// The merge as a plain walk: the first local channel with the fragment channel's
// ID, its file IDs collected afresh for each fragment channel.
void PlainMerge(TiXmlElement &local, const TiXmlElement &fragment)
{
    for (const TiXmlElement *channel = fragment.FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel")) {
        TiXmlElement *known = FindChildById(&local, "Channel", IdOf(channel));
        if (!known) {
            local.InsertEndChild(*channel);
            continue;
        }
        std::set<int> ids;
        for (const TiXmlElement *file = known->FirstChildElement("File"); file; file = file->NextSiblingElement("File"))
            ids.insert(IdOf(file));
        for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
             file = file->NextSiblingElement("File"))
            if (!ids.count(IdOf(file)))
                known->InsertEndChild(*file);
    }
}

// Pruning as a plain walk: per channel, the oldest files beyond its PreserveNum go,
// and of equal IDs the last in document order first.
void PlainPrune(CCatalogueStore &store)
{
    const CChannelCatalogue channels(store);
    for (TiXmlElement *channel = store.FileDoc().RootElement()->FirstChildElement("Channel"); channel;
         channel = channel->NextSiblingElement("Channel")) {
        const int keep = channels.GetPreserveNum(IdOf(channel));
        std::vector<int> ids;
        for (const TiXmlElement *file = channel->FirstChildElement("File"); file;
             file = file->NextSiblingElement("File"))
            ids.push_back(IdOf(file));
        if (keep <= 0 || ids.size() <= static_cast<size_t>(keep))
            continue;
        std::sort(ids.begin(), ids.end());
        for (size_t i = 0; i < ids.size() - static_cast<size_t>(keep); ++i)
            for (TiXmlNode *node = channel->LastChild("File"); node; node = node->PreviousSibling("File"))
                if (node->ToElement() && IdOf(node->ToElement()) == ids[i]) {
                    channel->RemoveChild(node);
                    break;
                }
    }
}

struct TWorld {
    TWorld()
    {
        if (!mkdtemp(&folder[0]) || chdir(folder.c_str()) != 0)
            std::abort();
        CDebugLog::Instance().Reopen("/dev/null");
        TEngineApi engine = UnboundEngine();
        engine.DelDownload = [](const char *, const char *) { return 0; };
        BindEngine(engine);
        store.DisableExitSave();
        reference.DisableExitSave();
    }
    ~TWorld() { std::filesystem::remove_all(folder); }

    std::string folder = "/tmp/tovix-fuzz-XXXXXX";
    CCatalogueStore store;
    CCatalogueStore reference;
    CKeyStore keys{"keys"};
    CNoWindow window;
    CReplyDispatch dispatch{store, keys, window, window};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static TWorld world;
    Reset(world.store);
    const std::string before =
        Print(world.store.FileDoc()) + Print(world.store.ChannelDoc()) + Print(world.store.ConfigDoc());

    // The expected file catalogue, when a fragment will be merged.
    std::string fragmentText;
    std::string expected;
    CheckShape(std::string(reinterpret_cast<const char *>(data), size));
    if (FileFragmentOf(data, size, fragmentText)) {
        CheckShape(fragmentText);
        TiXmlDocument fragment;
        std::string error;
        if (ParseXmlFragment(fragmentText.data(), fragmentText.size(), fragment, error) && fragment.RootElement()) {
            Reset(world.reference);
            PlainMerge(*world.reference.FileDoc().RootElement(), *fragment.RootElement());
            PlainPrune(world.reference);
            expected = Print(world.reference.FileDoc());
        }
    }

    const EReplyResult result = world.dispatch.Dispatch(reinterpret_cast<const char *>(data), size);
    const std::string after = Print(world.store.FileDoc());
    if (result == EReplyResult::Wait)
        Check(before == after + Print(world.store.ChannelDoc()) + Print(world.store.ConfigDoc()), "wait changed");
    if (result != EReplyResult::Wait && !expected.empty())
        Check(after == expected, "merge differs from a plain walk");

    // Entry 10 of channel 1 keeps its local attributes whatever the reply says.
    const TiXmlElement *kept =
        FindChildById(FindChildById(world.store.FileDoc().RootElement(), "Channel", 1), "File", 10);
    Check(kept && TextAttribute(kept, "Progress") == "50" && TextAttribute(kept, "Pic") == "p10.jpg",
          "local entry changed");
    return 0;
}
