// The associations the File Types page offers: every extension of the loaded plug-ins, and audio CDs.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <vector>

struct PluginEntry;

// The two calls of the registry component the page makes; tests put their own in.
struct Associations {
    std::function<bool(const QString &key)> compare;
    std::function<void(bool bSet, const QString &key, const QString &description, const QString &icon)> set;
    static Associations Registry();
};

struct FileTypeItem {
    QString strExtension;
    QString strDescription; // "Unknown file." where the plug-in gives none
    uint8_t nPlugin = 0;    // index in the plug-in table
    bool bInitial = false;  // associated when the page opened
    bool bChecked = false;
};

class FileTypes {
public:
    FileTypes(const std::vector<PluginEntry *> &plugins, Associations associations);

    QList<FileTypeItem> &Items() { return m_items; }
    const QList<FileTypeItem> &Items() const { return m_items; }
    // The index of the "cda" item, or -1: without it audio CDs cannot be associated.
    int AudioCdItem() const { return m_nCdaItem; }
    bool bAudioCd = false;

    // Everything checked, audio CDs too; nothing is written yet.
    void Standard();
    // Writes what differs from the page's start; returns how many associations were written.
    int Apply();

private:
    std::vector<PluginEntry *> m_plugins;
    Associations m_associations;
    QList<FileTypeItem> m_items;
    int m_nCdaItem = -1;
    bool m_bAudioCdInitial = false;
};
