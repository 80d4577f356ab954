// The settings store: one INI file, kept in memory while it is unchanged on disk, replaced whole on each write.
#include "Settings.h"

#include "IniFile.h"
#include "Messages.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <sys/stat.h>

namespace {

// Far more than any settings file holds: a larger file is something else.
constexpr qint64 kMaxSettingsBytes = 16 << 20;

// What tells a changed file from the one in memory.
struct FileStamp {
    bool bExists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    timespec mtime{};
    bool operator==(const FileStamp &o) const {
        return bExists == o.bExists && dev == o.dev && ino == o.ino && size == o.size &&
               mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec;
    }
};

FileStamp StampOf(const QString &path) {
    FileStamp stamp;
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.bExists = true;
    stamp.dev = st.st_dev;
    stamp.ino = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtime = st.st_mtim;
    return stamp;
}

struct Store {
    std::mutex lock;
    QString strPath;
    FileStamp stamp;
    bool bLoaded = false;
    // A damaged file that could not be moved aside: it is not replaced, so writes fail.
    bool bBlocked = false;
    IniFile ini;
    QString strNotice; // where a damaged file was kept, until the user has been told
};

Store &TheStore() {
    static Store store;
    return store;
}

std::atomic<bool> g_bShutdown{false};

// Brings the store up to the file on disk. A file that is no settings file is kept beside as
// "Melvo.conf.bad" (an earlier one replaced) and the store starts empty.
void Refresh(Store &s, const QString &path) {
    const FileStamp stamp = StampOf(path);
    if (s.bLoaded && s.strPath == path && s.stamp == stamp)
        return;
    s.strPath = path;
    s.stamp = stamp;
    s.bLoaded = true;
    s.bBlocked = false;
    s.ini = IniFile();
    if (!stamp.bExists)
        return;
    QFile file(path);
    QByteArray bytes;
    bool bGood = QFileInfo(path).isFile() && stamp.size <= kMaxSettingsBytes && file.open(QIODevice::ReadOnly);
    if (bGood) {
        bytes = file.read(kMaxSettingsBytes + 1);
        bGood = file.error() == QFileDevice::NoError && bytes.size() <= kMaxSettingsBytes;
    }
    if (bGood && s.ini.Parse(bytes))
        return;
    const QString bad = path + QStringLiteral(".bad");
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(bad).constData()) == 0) {
        s.stamp = StampOf(path);
        s.strNotice = bad;
    } else {
        s.bBlocked = true;
    }
}

// Tells the user once where a damaged file went; never while the store is locked, since a message box
// runs events that may read settings.
void TellAboutDamage() {
    QString notice;
    {
        std::lock_guard guard(TheStore().lock);
        notice.swap(TheStore().strNotice);
    }
    if (notice.isEmpty())
        return;
    if (g_bShutdown)
        std::fprintf(stderr, "Melvo: %s\n",
                     ComposeError(62010, 0, notice, ERR_STYLE_DETAIL, false, 0).toLocal8Bit().constData());
    else
        ShowError(62010, 0, notice, ERR_STYLE_DETAIL);
}

const QString *Lookup(const QString &section, const QString &key, QString &copy) {
    bool bFound = false;
    {
        Store &s = TheStore();
        std::lock_guard guard(s.lock);
        Refresh(s, SettingsFilePath());
        if (const QString *value = s.ini.Find(section, key)) {
            copy = *value;
            bFound = true;
        }
    }
    TellAboutDamage();
    return bFound ? &copy : nullptr;
}

bool StoreValue(const QString &section, const QString &key, const QString &value) {
    bool bOk = false;
    {
        Store &s = TheStore();
        std::lock_guard guard(s.lock);
        const QString path = SettingsFilePath();
        Refresh(s, path);
        if (!s.bBlocked) {
            IniFile next = s.ini;
            next.Set(section, key, value);
            QDir().mkpath(QFileInfo(path).absolutePath());
            QSaveFile file(path);
            const QByteArray bytes = next.Compose();
            bOk = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
            if (bOk) {
                s.ini = std::move(next);
                s.stamp = StampOf(path);
            }
        }
    }
    TellAboutDamage();
    return bOk;
}

void ReportWriteFailure(const QString &detail) {
    if (g_bShutdown) {
        const QString text = ComposeError(61294, 0, detail, ERR_STYLE_DETAIL, false, 0);
        std::fprintf(stderr, "Melvo: %s\n", text.toLocal8Bit().constData());
        return;
    }
    ShowError(61294, 0, detail, ERR_STYLE_DETAIL);
}

} // namespace

QString SettingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Melvo/Melvo.conf");
}

void SetSettingsShutdown(bool bShutdown) {
    g_bShutdown = bShutdown;
}

int GetSettingInt(const QString &section, const QString &key, int nDefault) {
    QString copy;
    const QString *value = Lookup(section, key, copy);
    if (!value)
        return nDefault;
    const QString text = value->trimmed();
    bool ok = false;
    const int n = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) ? int(text.mid(2).toUInt(&ok, 16))
                                                                            : text.toInt(&ok, 10);
    return ok ? n : nDefault;
}

QString GetSettingString(const QString &section, const QString &key, const QString &strDefault) {
    QString copy;
    const QString *value = Lookup(section, key, copy);
    return value ? *value : strDefault;
}

bool WriteSettingInt(const QString &section, const QString &key, int nValue) {
    if (StoreValue(section, key, QString::number(nValue)))
        return true;
    ReportWriteFailure(QStringLiteral("%1\\%2=%3").arg(section, key).arg(nValue));
    return false;
}

bool WriteSettingString(const QString &section, const QString &key, const QString &strValue) {
    if (StoreValue(section, key, strValue))
        return true;
    // The value itself is never shown: it may be a password.
    ReportWriteFailure(QStringLiteral("%1\\%2=strValue").arg(section, key));
    return false;
}
