// The CD drive settings and their rules: unique letters by swapping, the standard values, letters at start-up.
#include "DriveOptions.h"

#include "Settings.h"
#include "cdda/CDDA.h"

#include <vector>

const QStringList &ReadModeNames() {
    static const QStringList names{"ATAPI 1",       "ATAPI 2",   "READ 10",  "READ D8 (Plextor)",
                                   "READ D4 (NEC)", "READ D4 2", "READ 10 2"};
    return names;
}

const QStringList &FrameEntries() {
    static const QStringList entries{"75", "25", "15", "5", "3"};
    return entries;
}

int FramesEntryFor(int frames) {
    const QString text = QString::number(frames);
    for (qsizetype i = 0; i < FrameEntries().size(); ++i)
        if (FrameEntries().at(i).startsWith(text))
            return int(i);
    return -1;
}

QStringList CdRomLetters() {
    QStringList letters;
    const int count = GetNumDrives();
    for (int i = 0; i < count; ++i) {
        std::vector<char> path(GetDriveInfo(uint8_t(i), nullptr, nullptr, 0) + 1);
        GetDriveInfo(uint8_t(i), nullptr, path.data(), path.size());
        letters << QString::fromLocal8Bit(path.data());
    }
    return letters;
}

void DriveOptions::Load() {
    driver = GetSettingInt(QStringLiteral("CDDA"), QStringLiteral("CD-Driver"), IsNTOS() ? 0 : 1);
    letters = CdRomLetters();
    drives.clear();
    const int count = GetNumDrives();
    for (int i = 0; i < count; ++i) {
        char name[CDDA_NAME_SIZE] = {};
        GetDriveInfo(uint8_t(i), name, nullptr, 0);
        DriveSettings d;
        d.sectionName = QString::fromUtf8(name);
        d.frames = GetSettingInt(d.sectionName, QStringLiteral("Frames"), 25);
        d.readMode = GetSettingInt(d.sectionName, QStringLiteral("Readmode"), 1);
        d.driveLetter = GetSettingString(d.sectionName, QStringLiteral("DriveLetter"), letters.value(i));
        drives << d;
    }
}

bool DriveOptions::Save() const {
    if (!WriteSettingInt(QStringLiteral("CDDA"), QStringLiteral("CD-Driver"), driver))
        return false;
    for (const DriveSettings &d : drives)
        if (!WriteSettingInt(d.sectionName, QStringLiteral("Frames"), d.frames) ||
            !WriteSettingInt(d.sectionName, QStringLiteral("Readmode"), d.readMode) ||
            !WriteSettingString(d.sectionName, QStringLiteral("DriveLetter"), d.driveLetter))
            return false;
    return true;
}

void DriveOptions::ChooseLetter(int drive, const QString &letter) {
    if (drive < 0 || drive >= drives.size())
        return;
    const QString previous = drives[drive].driveLetter;
    for (int i = 0; i < drives.size(); ++i)
        if (i != drive && drives[i].driveLetter == letter)
            drives[i].driveLetter = previous;
    drives[drive].driveLetter = letter;
}

void DriveOptions::Standard() {
    driver = IsNTOS() ? 0 : 1;
    for (DriveSettings &d : drives) {
        d.frames = 25;
        d.readMode = 1;
    }
}

QStringList AssignDriveLetters(const QStringList &driveNames, QStringList stored, QStringList candidates,
                               const std::function<int(const QString &, const QStringList &)> &choose) {
    while (stored.size() < driveNames.size())
        stored << QString();
    for (qsizetype i = 0; i < driveNames.size(); ++i) {
        if (!stored[i].isEmpty() || candidates.isEmpty())
            continue;
        qsizetype position = 0;
        if (candidates.size() > 1) {
            position = choose ? choose(driveNames[i], candidates) : 0;
            if (position < 0 || position >= candidates.size())
                position = 0;
        }
        stored[i] = candidates.takeAt(position);
    }
    return stored;
}
