// A small file-backed registry: one INI-style file per hive, holding named keys
// ("Software\Tovix") with string values. Values are stored as the caller's bytes.
#pragma once

#include <map>
#include <mutex>
#include <string>

enum class EHive { LocalMachine, CurrentUser, ClassesRoot };

class CKeyStore {
public:
    // folder holds "machine.ini", "user.ini" and "classes.ini"; it comes from the
    // system ($XDG_CONFIG_HOME, $HOME) and is used as the file system spells it.
    explicit CKeyStore(std::string folder);

    // $XDG_CONFIG_HOME/tovix, or ~/.config/tovix.
    static std::string DefaultFolder();

    bool KeyExists(EHive hive, const std::string &key);
    bool CreateKey(EHive hive, const std::string &key);
    bool ReadValue(EHive hive, const std::string &key, const std::string &name, std::string &value);
    bool WriteValue(EHive hive, const std::string &key, const std::string &name, const std::string &value);

    const std::string &Folder() const { return m_folder; }
    // The system error number of the last failed write (EINVAL for a bad name).
    int LastError() const { return m_lastError; }

private:
    using Values = std::map<std::string, std::string>;
    using Keys = std::map<std::string, Values>;

    std::string HivePath(EHive hive) const;
    bool Load(EHive hive, Keys &keys) const;
    bool Save(EHive hive, const Keys &keys);

    std::string m_folder;
    std::mutex m_mutex;
    int m_lastError = 0;
};

// An open key, in the manner of the registry calls: open or create, read, write, close.
class CRegKey {
public:
    bool Open(CKeyStore &store, EHive hive, const std::string &key);
    bool Create(CKeyStore &store, EHive hive, const std::string &key);
    bool QueryValue(const std::string &name, std::string &value) const;
    bool SetValue(const std::string &name, const std::string &value) const;
    void Close() { m_store = nullptr; }
    bool IsOpen() const { return m_store != nullptr; }

private:
    CKeyStore *m_store = nullptr;
    EHive m_hive = EHive::LocalMachine;
    std::string m_key;
};
