// Editing the folder string entry by entry.
#include "FolderList.h"

QStringList FolderList::Items() const {
    return m_strFolders.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

void FolderList::Add(const QString &path) {
    m_strFolders += path + QLatin1Char(';');
}

bool FolderList::Remove(const QString &path) {
    // Whole entries only: "/a" must not take a piece out of "/b/a;".
    qsizetype start = 0;
    while (start <= m_strFolders.size()) {
        qsizetype end = m_strFolders.indexOf(QLatin1Char(';'), start);
        const bool bLast = end < 0;
        if (bLast)
            end = m_strFolders.size();
        if (end > start && QStringView(m_strFolders).mid(start, end - start) == path) {
            m_strFolders.remove(start, end - start + (bLast ? 0 : 1));
            return true;
        }
        if (bLast)
            break;
        start = end + 1;
    }
    return false;
}
