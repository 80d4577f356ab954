// A line-preserving editor for the freedesktop key files the associations live in.
#include "MimeApps.h"

#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>

namespace {

bool IsGroupLine(const QString &line) {
    return line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'));
}

QStringList SplitList(const QString &value) {
    QStringList items = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString &item : items)
        item = item.trimmed();
    items.removeAll(QString());
    return items;
}

} // namespace

bool MimeAppsList::Load(const QString &path) {
    m_lines.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream in(&file);
    while (!in.atEnd())
        m_lines << in.readLine();
    return true;
}

bool MimeAppsList::Save(const QString &path) const {
    // Written beside and renamed over, so a crash never leaves a half-written list.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    for (const QString &line : m_lines)
        out << line << '\n';
    out.flush();
    return file.commit();
}

QStringList MimeAppsList::Values(const QString &group, const QString &key) const {
    bool inGroup = false;
    for (const QString &raw : m_lines) {
        const QString line = raw.trimmed();
        if (IsGroupLine(line)) {
            inGroup = line.mid(1, line.size() - 2) == group;
            continue;
        }
        if (!inGroup)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key)
            return SplitList(line.mid(eq + 1));
    }
    return {};
}

void MimeAppsList::SetValues(const QString &group, const QString &key, const QStringList &values) {
    const QString newLine = key + QLatin1Char('=') + values.join(QLatin1Char(';')) + QLatin1Char(';');
    int groupStart = -1;
    int groupEnd = m_lines.size();
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString line = m_lines[i].trimmed();
        if (IsGroupLine(line)) {
            if (groupStart >= 0) {
                groupEnd = i;
                break;
            }
            if (line.mid(1, line.size() - 2) == group)
                groupStart = i;
            continue;
        }
        if (groupStart < 0)
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq > 0 && line.left(eq).trimmed() == key) {
            if (values.isEmpty())
                m_lines.removeAt(i);
            else
                m_lines[i] = newLine;
            return;
        }
    }
    if (values.isEmpty())
        return;
    if (groupStart < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines << QString();
        m_lines << QLatin1Char('[') + group + QLatin1Char(']') << newLine;
        return;
    }
    // Insert after the group's last non-empty line, so blank separators stay between groups.
    int at = groupEnd;
    while (at > groupStart + 1 && m_lines[at - 1].trimmed().isEmpty())
        --at;
    m_lines.insert(at, newLine);
}

QString DesktopEntryCommand(const QString &desktopFilePath) {
    QFile file(desktopFilePath);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool inEntry = false;
    QString exec;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (IsGroupLine(line)) {
            inEntry = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (inEntry && line.startsWith(QLatin1String("Exec="))) {
            exec = line.mid(5);
            break;
        }
    }
    static const QRegularExpression fieldCode(QStringLiteral("\\s*%[fFuUdDnNickvm]"));
    exec.remove(fieldCode);
    exec.replace(QLatin1String("%%"), QLatin1String("%"));
    return exec.trimmed();
}
