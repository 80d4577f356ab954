// Which associations the File Types page shows and which it writes.
#include "FileTypes.h"

#include "Messages.h"
#include "PluginHost.h"
#include "registry/Registry.h"

Associations Associations::Registry() {
    return {[](const QString &key) { return CompareValues(key.toUtf8().constData()) != 0; },
            [](bool bSet, const QString &key, const QString &description, const QString &icon) {
                SetAssociation(bSet ? 1 : 0, key.toUtf8().constData(), description.toUtf8().constData(),
                               icon.toUtf8().constData()); // the result is of no use to the page
            }};
}

FileTypes::FileTypes(const std::vector<PluginEntry *> &plugins, Associations associations)
    : m_plugins(plugins), m_associations(std::move(associations)) {
    for (size_t p = 0; p < m_plugins.size() && p < kNoPlugin; ++p) {
        const PluginEntry *plugin = m_plugins[p];
        const QStringList extensions = QString::fromUtf8(plugin->pszExtensions ? plugin->pszExtensions : "")
                                           .split(QLatin1Char(';'), Qt::SkipEmptyParts);
        const QStringList descriptions =
            QString::fromUtf8(plugin->pszDescriptions ? plugin->pszDescriptions : "").split(QLatin1Char(';'));
        for (qsizetype i = 0; i < extensions.size(); ++i) {
            FileTypeItem item;
            item.strExtension = extensions[i];
            item.strDescription = descriptions.value(i);
            if (item.strDescription.isEmpty())
                item.strDescription = LoadStringRes(34);
            item.nPlugin = uint8_t(p);
            if (m_nCdaItem < 0 && item.strExtension.compare(QLatin1String("cda"), Qt::CaseInsensitive) == 0)
                m_nCdaItem = int(m_items.size());
            m_items.append(item);
        }
    }
    m_bAudioCdInitial = m_associations.compare(QStringLiteral("AudioCD"));
    bAudioCd = m_bAudioCdInitial;
    for (FileTypeItem &item : m_items)
        item.bChecked = item.bInitial = m_associations.compare(QLatin1Char('.') + item.strExtension);
}

void FileTypes::Standard() {
    bAudioCd = true;
    for (FileTypeItem &item : m_items)
        item.bChecked = true;
}

int FileTypes::Apply() {
    int written = 0;
    // Without a "cda" item the box is disabled and cannot differ.
    if (bAudioCd != m_bAudioCdInitial && m_nCdaItem >= 0) {
        m_associations.set(bAudioCd, QStringLiteral("AudioCD"), m_items[m_nCdaItem].strDescription, QString());
        ++written;
    }
    for (const FileTypeItem &item : m_items) {
        if (item.bChecked == item.bInitial)
            continue;
        const PluginEntry *plugin = m_plugins[item.nPlugin];
        m_associations.set(item.bChecked, QLatin1Char('.') + item.strExtension, item.strDescription,
                           QStringLiteral("%1,0").arg(QString::fromUtf8(plugin->pszPath ? plugin->pszPath : "")));
        ++written;
    }
    return written;
}
