// The freedb server list: "domain|port|path|location|flag" lines, read into rows and edited as text.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

class QComboBox;
class QListWidget;

struct ServerEntry {
    QString strDomain;
    QString strPath;
    QString strLocation;
    uint16_t nPort = 0;
    uint32_t dwFlag = 0; // 1 = added by the user, editable
};

// The default of FREEDB/Server: the default server, read-only.
QString DefaultServerListText();
// The current server as FREEDB/CurrentServer, -Path and -Port hold it.
ServerEntry ReadCurrentServer();

// One row per line of five fields; empty fields and lines are skipped as one separator, and a line
// left with fewer than five fields or a port that is no number from 1 to 65535 gives no row.
struct ServerRows {
    QList<ServerEntry> rows;
    QList<int> lines; // the text line each row comes from
};
ServerRows ReadServerList(const QString &text);
// The row of the current server (domain, path and port equal), else the first; -1 when none.
int FindServerRow(const QList<ServerEntry> &rows, const ServerEntry &current);
QString ServerRowText(const ServerEntry &entry); // "domain - location"

// Refills the control (the drop-down list or the list box) and selects the current server's row;
// returns its index. Each item keeps its row's fields.
int ParseServerList(const QString &text, QComboBox *combo, QListWidget *list, const ServerEntry &current);
ServerEntry ServerOfItem(const QVariant &data);

// "%s|%d|%s|%s|1\n" appended; an empty location is written as one space.
QString AppendServerLine(const QString &text, const ServerEntry &entry);
// Takes out the row's line: its text and the LF before it, or for the first line its text alone.
QString RemoveServerRow(const QString &text, int row);
// The http servers of a "sites" answer, read-only; the status line and other protocols are left out.
QString ServerListFromSites(const QStringList &lines);
