// The cdda component's drive table and its operations, except reading audio.
#include "CDDA.h"
#include "Drive.h"
#include "platform/MelvoVersion.h"

#include <cdio/device.h>
#include <cdio/logging.h>

#include <cstring>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <memory>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

MELVO_DEFINE_VERSION("cdda", "Melvo CD access component", 2, 7, 1)

namespace {

std::mutex g_tableLock;
std::vector<std::unique_ptr<Drive>> g_drives;
std::string g_images;

// Failures are answered by results; libcdio's own complaints would only clutter stderr.
void QuietLog(cdio_log_level_t, const char *) {}

std::string Collapse(const std::string &text) {
    std::string out;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || static_cast<unsigned char>(c) < 32;
        if (blank && (out.empty() || out.back() == ' '))
            continue;
        out += blank ? ' ' : c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

// Cut to fit the name buffer, never inside a UTF-8 character.
std::string FitName(std::string name) {
    constexpr size_t limit = CDDA_NAME_SIZE - 1;
    if (name.size() <= limit)
        return name;
    size_t cut = limit;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    name.resize(cut);
    return name;
}

std::string DeviceName(const std::string &device) {
    std::string name;
    if (CdIo_t *p = cdio_open(device.c_str(), DRIVER_DEVICE)) {
        cdio_hwinfo_t hw{};
        if (cdio_get_hwinfo(p, &hw))
            name = Collapse(std::string(hw.psz_vendor) + " " + hw.psz_model);
        cdio_destroy(p);
    }
    if (name.empty())
        name = device.substr(device.find_last_of('/') + 1);
    return FitName(name);
}

std::vector<std::string> SplitImages(const std::string &list) {
    std::vector<std::string> paths;
    size_t from = 0;
    while (from <= list.size()) {
        size_t to = list.find(';', from);
        if (to == std::string::npos)
            to = list.size();
        std::string path = list.substr(from, to - from);
        while (!path.empty() && path.front() == ' ')
            path.erase(path.begin());
        while (!path.empty() && path.back() == ' ')
            path.pop_back();
        if (!path.empty())
            paths.push_back(path);
        from = to + 1;
    }
    return paths;
}

void CloseAll() {
    for (auto &d : g_drives) {
        std::lock_guard lock(d->lock);
        d->Close();
    }
    g_drives.clear();
}

} // namespace

Drive *FindDrive(uint8_t drive) {
    std::lock_guard lock(g_tableLock);
    return drive < g_drives.size() ? g_drives[drive].get() : nullptr;
}

extern "C" {

int IsNTOS(void) {
    return 1;
}
int IsASPIInstalled(void) {
    return 0;
}

void SetDiscImages(const char *paths) {
    std::lock_guard lock(g_tableLock);
    g_images = paths ? paths : "";
}

uint8_t InitDriver(uint8_t /*driver*/) {
    cdio_log_set_handler(QuietLog);
    std::lock_guard lock(g_tableLock);
    CloseAll();
    if (char **devices = cdio_get_devices(DRIVER_DEVICE)) {
        for (char **d = devices; *d && g_drives.size() < CDDA_NO_DRIVE; ++d) {
            auto drive = std::make_unique<Drive>();
            drive->strPath = *d;
            drive->strName = DeviceName(drive->strPath);
            g_drives.push_back(std::move(drive));
        }
        cdio_free_device_list(devices);
    }
    for (const std::string &path : SplitImages(g_images)) {
        if (g_drives.size() >= CDDA_NO_DRIVE)
            break;
        auto drive = std::make_unique<Drive>();
        drive->strPath = path;
        drive->strName = FitName(Collapse("Image " + path.substr(path.find_last_of('/') + 1)));
        drive->bImage = true;
        g_drives.push_back(std::move(drive));
    }
    return static_cast<uint8_t>(g_drives.size());
}

uint8_t GetNumDrives(void) {
    std::lock_guard lock(g_tableLock);
    return static_cast<uint8_t>(g_drives.size());
}

void DeinitDriver(void) {
    std::lock_guard lock(g_tableLock);
    CloseAll();
}

size_t GetDriveInfo(uint8_t drive, char *name, char *driveString, size_t driveStringSize) {
    Drive *d = FindDrive(drive);
    if (!d) {
        if (name)
            name[0] = '\0';
        if (driveString && driveStringSize)
            driveString[0] = '\0';
        return 0;
    }
    if (name)
        std::memcpy(name, d->strName.c_str(), d->strName.size() + 1);
    const size_t needed = d->strPath.size() + 1;
    if (driveString && driveStringSize) {
        if (needed <= driveStringSize)
            std::memcpy(driveString, d->strPath.c_str(), needed);
        else
            driveString[0] = '\0';
    }
    return needed;
}

void SetCDParam(uint8_t frames, uint8_t readMode, const char * /*driveString*/, uint8_t drive) {
    // The drive string cannot move a drive: its path is what the system and the images know it by.
    Drive *d = FindDrive(drive);
    if (!d)
        return;
    std::lock_guard lock(d->lock);
    d->nFrames = frames >= 1 && frames <= 75 ? frames : CDDA_DEFAULT_FRAMES;
    d->nReadMode = readMode >= 1 && readMode <= CDDA_READ_MODES ? readMode : 1;
}

uint8_t GetNumFrames(uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d)
        return 0;
    std::lock_guard lock(d->lock);
    return d->nFrames;
}

int IsDiscPresent(uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d)
        return 0;
    if (d->bImage) {
        // Polled twice a second: a look at the file, without parsing it or taking the drive's lock.
        const int fd = ::open(d->strPath.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return 0;
        struct stat st {};
        const bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0;
        ::close(fd);
        return ok ? 1 : 0;
    }
    const int fd = ::open(d->strPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    ::close(fd);
    if (status == CDS_DISC_OK)
        return 1;
    if (status != CDS_NO_INFO && status >= 0)
        return 0;
    std::lock_guard lock(d->lock);
    return d->EnsureToc() ? 1 : 0;
}

void NewCD(uint8_t drive) {
    if (Drive *d = FindDrive(drive)) {
        std::lock_guard lock(d->lock);
        d->Close();
    }
}

void CloseCDHandle(uint8_t drive) {
    NewCD(drive);
}

uint8_t GetMediaTOC(uint32_t toc[CDDA_TOC_ENTRIES], uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d || !toc)
        return 0;
    std::lock_guard lock(d->lock);
    if (!d->EnsureToc())
        return 0;
    const size_t n = d->tracks.size();
    for (size_t i = 0; i < n; ++i)
        toc[i] = static_cast<uint32_t>(d->tracks[i].nStart + CDIO_PREGAP_SECTORS);
    toc[n] = static_cast<uint32_t>(d->nLeadOut + CDIO_PREGAP_SECTORS);
    return static_cast<uint8_t>(n);
}

uint32_t GetDiscID(uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d)
        return 0;
    uint32_t toc[CDDA_TOC_ENTRIES];
    const int n = GetMediaTOC(toc, drive);
    {
        std::lock_guard lock(d->lock);
        if (n == 0 || d->AudioTrackCount() == 0)
            return 0;
    }
    return FreedbDiscId(toc, n);
}

uint8_t GetNumTracks(uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d)
        return 0;
    std::lock_guard lock(d->lock);
    return d->EnsureToc() ? static_cast<uint8_t>(d->AudioTrackCount()) : 0;
}

uint32_t GetTrackLength(uint8_t track, uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d)
        return 0;
    std::lock_guard lock(d->lock);
    if (!d->EnsureToc() || track < 1 || track > d->tracks.size())
        return 0;
    return static_cast<uint32_t>((d->TrackEnd(track - 1) - d->tracks[track - 1].nStart) / CDIO_CD_FRAMES_PER_SEC);
}

int GetTOCTrackBytes(uint32_t *start, uint32_t *end, uint8_t track, uint8_t drive) {
    Drive *d = FindDrive(drive);
    if (!d || !start || !end)
        return 0;
    std::lock_guard lock(d->lock);
    if (!d->EnsureToc() || track < 1 || track > d->tracks.size() || !d->tracks[track - 1].bAudio)
        return 0;
    *start = static_cast<uint32_t>(d->tracks[track - 1].nStart) * CDDA_FRAME_BYTES;
    *end = static_cast<uint32_t>(d->TrackEnd(track - 1)) * CDDA_FRAME_BYTES;
    return 1;
}

uint8_t GetDriveIndex(const char *driveString, uint32_t *discID) {
    if (discID)
        *discID = 0;
    if (!driveString)
        return CDDA_NO_DRIVE;
    std::string wanted = driveString;
    while (wanted.size() > 1 && wanted.back() == '/')
        wanted.pop_back();
    uint8_t index = CDDA_NO_DRIVE;
    {
        std::lock_guard lock(g_tableLock);
        for (size_t i = 0; i < g_drives.size(); ++i)
            if (g_drives[i]->strPath == wanted) {
                index = static_cast<uint8_t>(i);
                break;
            }
    }
    if (index != CDDA_NO_DRIVE && discID)
        *discID = GetDiscID(index);
    return index;
}

void SetFile(uint8_t drive, FILE *file, uint32_t lineCount) {
    if (Drive *d = FindDrive(drive)) {
        std::lock_guard lock(d->slotLock);
        d->pFile = file;
        d->dwLines = lineCount;
    }
}

FILE *GetFile(uint8_t drive, uint32_t *lineCount) {
    Drive *d = FindDrive(drive);
    if (lineCount)
        *lineCount = 0;
    if (!d)
        return nullptr;
    std::lock_guard lock(d->slotLock);
    if (lineCount)
        *lineCount = d->dwLines;
    return d->pFile;
}

} // extern "C"
