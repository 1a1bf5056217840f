#include "base/KeyStore.h"

#include "base/FileSystem.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

// Values may hold any byte; line breaks and backslashes are escaped so one value stays one line.
std::string Escape(const std::string &text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Unescape(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

bool IsValidKeyName(const std::string &key)
{
    return !key.empty() && key.find_first_of("[]\r\n") == std::string::npos;
}

bool IsValidValueName(const std::string &name)
{
    return !name.empty() && name.find_first_of("=[\r\n") == std::string::npos;
}

void MakeFolders(const std::string &folder)
{
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        ::mkdir(folder.substr(0, slash).c_str(), 0700);
        if (slash == std::string::npos)
            break;
    }
}

} // namespace

CKeyStore::CKeyStore(std::string folder) : m_folder(std::move(folder)) {}

std::string CKeyStore::DefaultFolder()
{
    const char *config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config)
        return std::string(config) + "/tovix";
    const char *home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.config/tovix";
}

std::string CKeyStore::HivePath(EHive hive) const
{
    switch (hive) {
    case EHive::LocalMachine: return m_folder + "/machine.ini";
    case EHive::CurrentUser: return m_folder + "/user.ini";
    default: return m_folder + "/classes.ini";
    }
}

bool CKeyStore::Load(EHive hive, Keys &keys) const
{
    std::ifstream in(HivePath(hive), std::ios::binary);
    if (!in)
        return false;
    std::string line;
    Values *current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = &keys[line.substr(1, line.size() - 2)];
            continue;
        }
        std::string::size_type equals = line.find('=');
        if (current && equals != std::string::npos && equals > 0)
            (*current)[line.substr(0, equals)] = Unescape(line.substr(equals + 1));
    }
    return true;
}

bool CKeyStore::Save(EHive hive, const Keys &keys)
{
    std::ostringstream out;
    for (const auto &key : keys) {
        out << '[' << key.first << "]\n";
        for (const auto &value : key.second)
            out << value.first << '=' << Escape(value.second) << '\n';
    }
    MakeFolders(m_folder);
    // Save runs under m_mutex, so the error belongs to this write.
    return SystemPath::WriteFileAtomic(HivePath(hive), out.str(), &m_lastError);
}

bool CKeyStore::KeyExists(EHive hive, const std::string &key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Keys keys;
    return Load(hive, keys) && keys.count(key) != 0;
}

bool CKeyStore::CreateKey(EHive hive, const std::string &key)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsValidKeyName(key)) {
        m_lastError = EINVAL;
        return false;
    }
    Keys keys;
    Load(hive, keys);
    if (keys.count(key))
        return true;
    keys[key];
    return Save(hive, keys);
}

bool CKeyStore::ReadValue(EHive hive, const std::string &key, const std::string &name, std::string &value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Keys keys;
    if (!Load(hive, keys))
        return false;
    auto k = keys.find(key);
    if (k == keys.end())
        return false;
    auto v = k->second.find(name);
    if (v == k->second.end())
        return false;
    value = v->second;
    return true;
}

bool CKeyStore::WriteValue(EHive hive, const std::string &key, const std::string &name, const std::string &value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsValidKeyName(key) || !IsValidValueName(name)) {
        m_lastError = EINVAL;
        return false;
    }
    Keys keys;
    Load(hive, keys);
    keys[key][name] = value;
    return Save(hive, keys);
}

bool CRegKey::Open(CKeyStore &store, EHive hive, const std::string &key)
{
    if (!store.KeyExists(hive, key))
        return false;
    m_store = &store;
    m_hive = hive;
    m_key = key;
    return true;
}

bool CRegKey::Create(CKeyStore &store, EHive hive, const std::string &key)
{
    if (!store.CreateKey(hive, key))
        return false;
    m_store = &store;
    m_hive = hive;
    m_key = key;
    return true;
}

bool CRegKey::QueryValue(const std::string &name, std::string &value) const
{
    return m_store && m_store->ReadValue(m_hive, m_key, name, value);
}

bool CRegKey::SetValue(const std::string &name, const std::string &value) const
{
    return m_store && m_store->WriteValue(m_hive, m_key, name, value);
}
