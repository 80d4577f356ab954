// Drives are set up from the settings once per run; the options take effect at the next start, the images at once.
#include "CDAccess.h"

#include "DriveOptions.h"
#include "OptGrabbing.h"
#include "Settings.h"
#include "cdda/CDDA.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

// Under ASPI every drive needs its letter; the ones without get theirs now, asking when there is a choice.
void AssignLettersAtStart(int count) {
    QStringList names, stored;
    for (int i = 0; i < count; ++i) {
        char name[CDDA_NAME_SIZE] = {};
        GetDriveInfo(uint8_t(i), name, nullptr, 0);
        names << QString::fromUtf8(name);
        stored << GetSettingString(names.last(), QStringLiteral("DriveLetter"), QString());
    }
    const QStringList letters = AssignDriveLetters(names, stored, CdRomLetters(), ChooseDriveLetter);
    for (int i = 0; i < count; ++i)
        if (letters.value(i) != stored.value(i))
            WriteSettingString(names[i], QStringLiteral("DriveLetter"), letters.value(i));
}

} // namespace

int InitCDAccess(const QStringList &extraImages) {
    QStringList images = DiscImages();
    for (const QString &image : extraImages)
        if (!images.contains(image))
            images << image;
    SetDiscImages(QFile::encodeName(images.join(QLatin1Char(';'))).constData());
    const int driver = GetSettingInt(QStringLiteral("CDDA"), QStringLiteral("CD-Driver"), IsNTOS() ? 0 : 1);
    // There is no ASPI here: a stored 1 gets the system driver, which knows every drive's path, so no
    // drive letter has to be chosen or stored.
    const bool bAspi = driver == 1 && IsASPIInstalled();
    const int count = InitDriver(bAspi ? 1 : 0);
    if (bAspi)
        AssignLettersAtStart(count);
    for (int i = 0; i < count; ++i) {
        const auto drive = static_cast<uint8_t>(i);
        char name[CDDA_NAME_SIZE] = {};
        std::vector<char> path(GetDriveInfo(drive, nullptr, nullptr, 0) + 1);
        GetDriveInfo(drive, name, path.data(), path.size());
        const QString section = QString::fromUtf8(name);
        int frames = GetSettingInt(section, QStringLiteral("Frames"), CDDA_DEFAULT_FRAMES);
        int readMode = GetSettingInt(section, QStringLiteral("Readmode"), 1);
        // A byte would wrap a hand-edited 300 to 44; an unusable value gets the default instead.
        if (frames < 1 || frames > 75)
            frames = CDDA_DEFAULT_FRAMES;
        if (readMode < 1 || readMode > CDDA_READ_MODES)
            readMode = 1;
        SetCDParam(static_cast<uint8_t>(frames), static_cast<uint8_t>(readMode), path.data(), drive);
    }
    return count;
}

void CloseCDAccess() {
    const int count = GetNumDrives();
    for (int i = 0; i < count; ++i) {
        const auto drive = static_cast<uint8_t>(i);
        if (FILE *file = GetFile(drive, nullptr)) {
            SetFile(drive, nullptr, 0);
            std::fclose(file);
        }
    }
    DeinitDriver();
}

int ReloadCDAccess() {
    CloseCDAccess();
    return InitCDAccess();
}

bool IsDiscImagePath(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("cue") || suffix == QLatin1String("toc") || suffix == QLatin1String("nrg");
}

QStringList DiscImages() {
    QStringList images;
    const QString list = GetSettingString(QStringLiteral("CDDA"), QStringLiteral("Images"), QString());
    for (const QString &path : list.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!path.trimmed().isEmpty())
            images << path.trimmed();
    return images;
}

bool WriteDiscImages(const QStringList &images) {
    return WriteSettingString(QStringLiteral("CDDA"), QStringLiteral("Images"), images.join(QLatin1Char(';')));
}

int AddDiscImages(const QStringList &paths) {
    QStringList images = DiscImages();
    int added = 0;
    for (const QString &path : paths) {
        // ';' separates the list: a path holding one cannot be kept in it.
        const QString absolute = QFileInfo(path).absoluteFilePath();
        if (!IsDiscImagePath(absolute) || !QFileInfo(absolute).isFile() || absolute.contains(QLatin1Char(';')) ||
            images.contains(absolute))
            continue;
        images << absolute;
        ++added;
    }
    if (added > 0 && WriteDiscImages(images))
        ReloadCDAccess();
    return added;
}
