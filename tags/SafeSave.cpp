// Copy, change, rename: the journal of pending copies, the copy itself and the replacement.
#include "SafeSave.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

namespace {

std::mutex g_journalLock;
std::function<void(SaveStep)> g_hook;

// Copies start with a dot (hidden) and carry this mark, so the clean-up never touches anything else.
const QLatin1String kCopyMark(".melvo-save-");

bool IsCopyName(const QString &path) {
    const QString name = QFileInfo(path).fileName();
    return name.startsWith(QLatin1Char('.')) && name.contains(kCopyMark);
}

QStringList ReadJournal() {
    QFile file(InterruptedSavesJournal());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines;
    for (const QByteArray &line : file.readAll().split('\n'))
        if (!line.isEmpty())
            lines << QString::fromUtf8(line);
    return lines;
}

bool WriteJournal(const QStringList &lines) {
    const QString path = InterruptedSavesJournal();
    if (lines.isEmpty())
        return !QFile::exists(path) || QFile::remove(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QString &line : lines)
        file.write(line.toUtf8() + '\n');
    return file.commit();
}

bool NoteCopy(const QString &copy, bool bAdd) {
    std::lock_guard lock(g_journalLock);
    QStringList lines = ReadJournal();
    if (bAdd)
        lines << copy;
    else
        lines.removeAll(copy);
    return WriteJournal(lines);
}

void Step(SaveStep step) {
    if (g_hook)
        g_hook(step);
}

bool CopyBytes(int from, int to) {
    for (;;) {
        const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
        if (n == 0)
            return true;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EOPNOTSUPP && errno != EINVAL)
            return false;
        break; // this file system cannot: copy by hand from where it stopped
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, size_t(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += put;
        }
    }
}

QString NewCopyPath(const QString &original) {
    const QFileInfo info(original);
    const QString random = QString::number(QRandomGenerator::global()->generate64(), 36);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + kCopyMark + random;
}

void SyncFolder(const QString &folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

FileStamp StampOf(const QString &path) {
    struct stat st {};
    FileStamp stamp;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return stamp;
    stamp.bValid = true;
    stamp.nDevice = st.st_dev;
    stamp.nInode = st.st_ino;
    stamp.nSize = st.st_size;
    stamp.nModifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return stamp;
}

QString InterruptedSavesJournal() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/pending-saves");
}

void SetSaveStepHook(std::function<void(SaveStep)> hook) {
    g_hook = std::move(hook);
}

void CleanUpInterruptedSaves() {
    std::lock_guard lock(g_journalLock);
    for (const QString &copy : ReadJournal())
        if (IsCopyName(copy))
            QFile::remove(copy);
    WriteJournal({});
}

bool ReplaceThroughCopy(const QString &path, const std::function<bool(const QString &)> &edit, int *error) {
    int dummy = 0;
    int &err = error ? *error : dummy;
    err = 0;
    // A link stays a link: the file it names is the one that changes.
    const QString target = QFileInfo(path).canonicalFilePath();
    const QByteArray native = QFile::encodeName(target);
    struct stat st {};
    if (target.isEmpty() || ::stat(native.constData(), &st) != 0) {
        err = target.isEmpty() ? ENOENT : errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        err = EINVAL;
        return false;
    }
    if (::access(native.constData(), W_OK) != 0) {
        err = errno;
        return false;
    }

    const QString copy = NewCopyPath(target);
    const QByteArray copyNative = QFile::encodeName(copy);
    if (!NoteCopy(copy, true)) {
        err = EIO;
        return false;
    }
    auto fail = [&](int code) {
        err = code ? code : EIO;
        ::unlink(copyNative.constData());
        NoteCopy(copy, false);
        return false;
    };

    const int from = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        return fail(errno);
    const int to = ::open(copyNative.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (to < 0) {
        const int code = errno;
        ::close(from);
        err = code;
        NoteCopy(copy, false);
        return false;
    }
    const bool bCopied = CopyBytes(from, to);
    const int copyError = errno;
    ::close(from);
    if (!bCopied || ::close(to) != 0)
        return fail(bCopied ? errno : copyError);
    Step(SaveStep::CopyWritten);

    if (!edit(copy))
        return fail(EIO);
    Step(SaveStep::Edited);

    // The copy takes the original's owner and permissions before anyone can see it under the real name.
    const int fd = ::open(copyNative.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return fail(errno);
    struct stat mine {};
    ::fstat(fd, &mine);
    if ((mine.st_uid != st.st_uid || mine.st_gid != st.st_gid) && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (::fchmod(fd, st.st_mode & 07777) != 0 || ::fsync(fd) != 0) {
        const int code = errno;
        ::close(fd);
        return fail(code);
    }
    if (::close(fd) != 0)
        return fail(errno);
    Step(SaveStep::BeforeRename);

    if (::rename(copyNative.constData(), native.constData()) != 0)
        return fail(errno);
    SyncFolder(QFileInfo(target).absolutePath());
    NoteCopy(copy, false);
    return true;
}
