#include "store/CatalogueStore.h"

#include "base/DebugLog.h"
#include "base/FileSystem.h"
#include "store/XmlNumber.h"

namespace {

const char *const kItemNames[CFG_ITEM_COUNT] = {
    "Intervel",  "MaxID",     "ChannelDate", "ThreadNum", "MaxDLSpeed", "MaxULSpeed", "FileRoot", "TorrentRoot",
    "PicRoot",   "TorrentURL", "PicURL",     "Connection", "Version",   "ADURL",      "WebURL",   "ForumURL",
};

constexpr const char *kDeclaration = "<?xml version=\"1.0\" encoding=\"GB2312\" ?>\r\n";

void LoadOne(TiXmlDocument &document, const char *path, const char *root, const CCatalogueStore::LoadReport &report)
{
    if (document.LoadFile(path, TIXML_DEFAULT_ENCODING) && document.RootElement())
        return;
    if (report)
        report(std::string("LoadFile ") + path + " error!!");
    // A file that failed part-way leaves its partial tree behind; start from nothing.
    document.Clear();
    document.ClearError();
    const std::string defaults = std::string(kDeclaration) + "<" + root + ">\r\n</" + root + ">";
    document.Parse(defaults.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
}

} // namespace

const char *ConfigItemName(int item)
{
    return item >= 0 && item < CFG_ITEM_COUNT ? kItemNames[item] : nullptr;
}

bool SaveDocument(const TiXmlDocument &document, const std::string &path)
{
    int error = 0;
    // A catalogue file its owner made read-only stays as it is; memory keeps the change.
    if (WriteFileAtomic(path, [&document](FILE *file) { return document.SaveFile(file); }, &error,
                        EReplace::UnlessReadOnly))
        return true;
    DebugLog("Save file %s error[%d]", path.c_str(), error);
    return false;
}

CCatalogueStore::~CCatalogueStore()
{
    if (m_exitSave)
        ExitSave();
}

void CCatalogueStore::Load(const LoadReport &report)
{
    LoadOne(m_fileDoc, kFileInfo, "TovixFile", report);
    LoadOne(m_channelDoc, kChannelInfo, "TovixChannel", report);
    LoadOne(m_configDoc, kConfigure, "TovixConfig", report);
}

std::string CCatalogueStore::GetConfigValue(int item)
{
    const char *name = ConfigItemName(item);
    if (!name)
        return std::string();
    std::lock_guard<std::recursive_mutex> lock(m_configLock);
    const TiXmlElement *root = m_configDoc.RootElement();
    return root ? TextAttribute(root->FirstChildElement(name), "value") : std::string();
}

int CCatalogueStore::GetConfigInt(int item) { return AtoI(GetConfigValue(item)); }

void CCatalogueStore::SetConfigValue(const std::string &name, const std::string &text)
{
    std::lock_guard<std::recursive_mutex> lock(m_configLock);
    TiXmlElement *root = m_configDoc.RootElement();
    TiXmlElement *element = root ? root->FirstChildElement(name.c_str()) : nullptr;
    if (!element)
        return;
    element->SetAttribute("value", text.c_str());
    SaveConfigDoc();
}

bool CCatalogueStore::SaveFileDoc()
{
    ++m_fileSaves;
    return SaveDocument(m_fileDoc, kFileInfo);
}
bool CCatalogueStore::SaveChannelDoc() { return SaveDocument(m_channelDoc, kChannelInfo); }
bool CCatalogueStore::SaveConfigDoc() { return SaveDocument(m_configDoc, kConfigure); }

void CCatalogueStore::ExitSave()
{
    SaveFileDoc();
    SaveChannelDoc();
    SaveConfigDoc();
}
