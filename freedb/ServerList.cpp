// Reading and editing the server list text.
#include "ServerList.h"

#include "FreedbRequest.h"
#include "Settings.h"

#include <QComboBox>
#include <QListWidget>
#include <QRegularExpression>

QString DefaultServerListText() {
    return DefaultFreedbServer().strHost + QStringLiteral("|80|/~cddb/cddb.cgi|Random freedb server|0|\n");
}

ServerEntry ReadCurrentServer() {
    const FreedbServer defaults = DefaultFreedbServer();
    ServerEntry current;
    const QString section = QStringLiteral("FREEDB");
    current.strDomain = GetSettingString(section, QStringLiteral("CurrentServer"), defaults.strHost);
    current.strPath = GetSettingString(section, QStringLiteral("CurrentPath"), defaults.strPath);
    current.nPort = uint16_t(GetSettingInt(section, QStringLiteral("CurrentPort"), defaults.nPort));
    return current;
}

ServerRows ReadServerList(const QString &text) {
    ServerRows result;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int l = 0; l < lines.size(); ++l) {
        const QStringList fields = lines[l].split(QLatin1Char('|'), Qt::SkipEmptyParts);
        if (fields.size() < 5)
            continue;
        bool portOk = false, flagOk = false;
        const uint port = fields[1].trimmed().toUInt(&portOk);
        const uint flag = fields[4].trimmed().toUInt(&flagOk);
        if (!portOk || port < 1 || port > 65535 || !flagOk)
            continue;
        result.rows.append({fields[0], fields[2], fields[3], uint16_t(port), flag});
        result.lines.append(l);
    }
    return result;
}

int FindServerRow(const QList<ServerEntry> &rows, const ServerEntry &current) {
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].strDomain == current.strDomain && rows[i].strPath == current.strPath &&
            rows[i].nPort == current.nPort)
            return i;
    return rows.isEmpty() ? -1 : 0;
}

QString ServerRowText(const ServerEntry &entry) {
    return entry.strDomain + QStringLiteral(" - ") + entry.strLocation;
}

namespace {

QVariant ItemData(const ServerEntry &e) {
    return QVariantList{e.strDomain, e.strPath, e.strLocation, uint(e.nPort), uint(e.dwFlag)};
}

} // namespace

ServerEntry ServerOfItem(const QVariant &data) {
    const QVariantList f = data.toList();
    if (f.size() != 5)
        return {};
    return {f[0].toString(), f[1].toString(), f[2].toString(), uint16_t(f[3].toUInt()), f[4].toUInt()};
}

int ParseServerList(const QString &text, QComboBox *combo, QListWidget *list, const ServerEntry &current) {
    const ServerRows parsed = ReadServerList(text);
    const int selected = FindServerRow(parsed.rows, current);
    if (combo) {
        combo->clear();
        for (const ServerEntry &e : parsed.rows)
            combo->addItem(ServerRowText(e), ItemData(e));
        combo->setCurrentIndex(selected);
    }
    if (list) {
        list->clear();
        for (const ServerEntry &e : parsed.rows) {
            auto *item = new QListWidgetItem(ServerRowText(e), list);
            item->setData(Qt::UserRole, ItemData(e));
        }
        list->setCurrentRow(selected);
    }
    return selected;
}

QString AppendServerLine(const QString &text, const ServerEntry &entry) {
    const QString location = entry.strLocation.isEmpty() ? QStringLiteral(" ") : entry.strLocation;
    return text + QStringLiteral("%1|%2|%3|%4|1\n").arg(entry.strDomain).arg(entry.nPort).arg(entry.strPath, location);
}

QString RemoveServerRow(const QString &text, int row) {
    const ServerRows parsed = ReadServerList(text);
    if (row < 0 || row >= parsed.lines.size())
        return text;
    const int line = parsed.lines[row];
    // Offsets of the line's start and end.
    qsizetype start = 0;
    for (int l = 0; l < line; ++l)
        start = text.indexOf(QLatin1Char('\n'), start) + 1;
    qsizetype end = text.indexOf(QLatin1Char('\n'), start);
    if (end < 0)
        end = text.size();
    if (line == 0)
        return text.mid(end); // its LF stays: an empty first line, which the reader skips
    return text.left(start - 1) + text.mid(end);
}

QString ServerListFromSites(const QStringList &lines) {
    QString text;
    static const QRegularExpression spaces(QStringLiteral(" +"));
    for (const QString &line : lines) {
        if (line.startsWith(QLatin1Char('2')))
            continue;
        if (line == QLatin1String("."))
            break;
        // site protocol port address latitude longitude description...
        const QStringList t = line.split(spaces, Qt::SkipEmptyParts);
        if (t.size() < 7 || t[1] != QLatin1String("http"))
            continue;
        const QString description = t.mid(6).join(QLatin1Char(' '));
        text +=
            QStringList{t[0], t[2], t[3], description, QStringLiteral("0")}.join(QLatin1Char('|')) + QLatin1Char('\n');
    }
    return text;
}
