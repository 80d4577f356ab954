// minizip does the ZIP format; this file only decides order, names and times.
#include "ReportZip.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 kBlockSize = 16384;

zip_fileinfo EntryInfo(const QFileInfo &file) {
    zip_fileinfo info{};
    const QDateTime time = file.lastModified().toLocalTime();
    info.tmz_date.tm_sec = static_cast<uInt>(time.time().second());
    info.tmz_date.tm_min = static_cast<uInt>(time.time().minute());
    info.tmz_date.tm_hour = static_cast<uInt>(time.time().hour());
    info.tmz_date.tm_mday = static_cast<uInt>(time.date().day());
    info.tmz_date.tm_mon = static_cast<uInt>(time.date().month() - 1);
    info.tmz_date.tm_year = static_cast<uInt>(time.date().year());
    return info;
}

bool Fail(int *error, int code, const QByteArray &temporary) {
    if (!temporary.isEmpty())
        ::unlink(temporary.constData());
    if (error)
        *error = code;
    return false;
}

} // namespace

bool WriteZipArchive(const QString &zipPath, const QStringList &files, int *error) {
    const QByteArray target = QFile::encodeName(zipPath);
    QByteArray temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return Fail(error, errno, QByteArray());
    ::close(fd);
    zipFile zip = zipOpen64(temporary.constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return Fail(error, errno ? errno : EIO, temporary);

    for (qsizetype i = files.size() - 1; i >= 0; --i) {
        QFile in(files.at(i));
        if (!in.open(QIODevice::ReadOnly))
            continue;
        const QFileInfo info(in);
        const zip_fileinfo entry = EntryInfo(info);
        if (zipOpenNewFileInZip64(zip, info.fileName().toUtf8().constData(), &entry, nullptr, 0, nullptr, 0, nullptr,
                                  Z_DEFLATED, 9, 0) != ZIP_OK)
            break;
        QByteArray block(kBlockSize, Qt::Uninitialized);
        for (;;) {
            const qint64 n = in.read(block.data(), kBlockSize);
            if (n <= 0 || zipWriteInFileInZip(zip, block.constData(), static_cast<unsigned>(n)) != ZIP_OK)
                break;
        }
        zipCloseFileInZip(zip);
    }
    if (zipClose(zip, nullptr) != ZIP_OK)
        return Fail(error, EIO, temporary);
    if (std::rename(temporary.constData(), target.constData()) != 0)
        return Fail(error, errno, temporary);
    return true;
}
