// Drives are set up from the settings once per run; the options take effect at the next start.
#include "CDAccess.h"

#include "Settings.h"
#include "cdda/CDDA.h"

#include <vector>

int InitCDAccess() {
    SetDiscImages(GetSettingString(QStringLiteral("CDDA"), QStringLiteral("Images"), QString()).toUtf8().constData());
    const int driver = GetSettingInt(QStringLiteral("CDDA"), QStringLiteral("CD-Driver"), IsNTOS() ? 0 : 1);
    // There is no ASPI here: a stored 1 gets the system driver, which knows every drive's path, so no
    // drive letter has to be chosen or stored.
    const int count = InitDriver(driver == 1 && IsASPIInstalled() ? 1 : 0);
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
