// The fixed lines are composed at start-up; the crash only adds the time, the memory figures and the fault.
#include "TextReport.h"

#include "SafeIo.h"
#include "Settings.h"
#include "cdda/CDDA.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <SDL.h>

#include <cstring>
#include <ctime>
#include <sys/utsname.h>
#include <unistd.h>

namespace crash {
namespace {

char g_osLine[512];
char g_versionLine[512];
char g_soundPrefix[64];
char g_cdLine[64];
long g_utcOffset = 0; // seconds east of UTC when the handler was installed

void Keep(char *to, size_t capacity, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    SafeText(to, capacity).Str(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString Distribution() {
    QFile file(QStringLiteral("/etc/os-release"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString name, version;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
            value = value.mid(1, value.size() - 2);
        const QString key = line.left(eq);
        if (key == QLatin1String("PRETTY_NAME"))
            return value;
        if (key == QLatin1String("NAME"))
            name = value;
        else if (key == QLatin1String("VERSION"))
            version = value;
    }
    return (name + QLatin1Char(' ') + version).trimmed();
}

// A kB figure of /proc/meminfo, 0 when absent.
uint64_t MemInfoKb(const char *text, const char *key) {
    const size_t keyLength = strlen(key);
    for (const char *line = text; *line;) {
        if (strncmp(line, key, keyLength) == 0 && line[keyLength] == ':') {
            const char *p = line + keyLength + 1;
            while (*p == ' ')
                ++p;
            uint64_t value = 0;
            while (*p >= '0' && *p <= '9')
                value = value * 10 + static_cast<uint64_t>(*p++ - '0');
            return value;
        }
        const char *next = strchr(line, '\n');
        if (!next)
            break;
        line = next + 1;
    }
    return 0;
}

SafeText &DateTime(SafeText &text, const CivilTime &t) {
    return text.Dec(static_cast<uint64_t>(t.nHour), 2)
        .Str(":")
        .Dec(static_cast<uint64_t>(t.nMinute), 2)
        .Str(":")
        .Dec(static_cast<uint64_t>(t.nSecond), 2)
        .Str(", ")
        .Dec(static_cast<uint64_t>(t.nDay), 2)
        .Str(".")
        .Dec(static_cast<uint64_t>(t.nMonth), 2)
        .Str(".")
        .Dec(static_cast<uint64_t>(t.nYear));
}

} // namespace

void PrepareTextReport(const QString &programPath) {
    utsname system{};
    ::uname(&system);
    Keep(g_osLine, sizeof g_osLine,
         QStringLiteral("OS Version: %1, Special: %2\r\n").arg(QString::fromUtf8(system.release), Distribution()));

    const QFileInfo program(programPath);
    QDateTime created = program.birthTime();
    if (!created.isValid())
        created = program.lastModified();
    Keep(g_versionLine, sizeof g_versionLine,
         QStringLiteral("Melvo Version: 2.71, Created: %1, Size: %2 KB\r\n")
             .arg(created.toLocalTime().toString(QStringLiteral("hh:mm:ss, dd.MM.yyyy")))
             .arg(program.size() / 1024));

    SDL_version sdl{};
    SDL_GetVersion(&sdl);
    Keep(g_soundPrefix, sizeof g_soundPrefix,
         QStringLiteral("SDL Version: %1.%2.%3, Driver: ").arg(sdl.major).arg(sdl.minor).arg(sdl.patch));

    // The driver the CD drives were set up with at this start; the ASPI library has no version here.
    const int driver = GetSettingInt(QStringLiteral("CDDA"), QStringLiteral("CD-Driver"), IsNTOS() ? 0 : 1);
    Keep(g_cdLine, sizeof g_cdLine,
         driver == 1 ? QStringLiteral("ASPI driver ?.?\r\n") : QStringLiteral("SPTI driver\r\n"));

    const time_t now = ::time(nullptr);
    tm local{};
    ::localtime_r(&now, &local);
    g_utcOffset = local.tm_gmtoff;
}

size_t FormatTextReport(const CrashInfo *info, char *buffer, size_t capacity) {
    SafeText text(buffer, capacity);
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    text.Str("Time: ");
    DateTime(text, CivilFromSeconds(static_cast<int64_t>(now.tv_sec) + g_utcOffset)).Str("\r\n");
    text.Str(g_osLine).Str(g_versionLine);

    // SDL keeps the driver's name in a static string; reading it takes no lock.
    const char *soundDriver = SDL_GetCurrentAudioDriver();
    text.Str(g_soundPrefix).Str(soundDriver ? soundDriver : "none").Str("\r\n");

    static char memInfo[8192];
    const ssize_t n = ReadSmallFile("/proc/meminfo", memInfo, sizeof memInfo - 1);
    memInfo[n > 0 ? n : 0] = '\0';
    text.Str("RAM: ")
        .Dec(MemInfoKb(memInfo, "MemTotal") / 1024)
        .Str(" MB total, ")
        .Dec(MemInfoKb(memInfo, "MemAvailable") / 1024)
        .Str(" MB available\r\n");
    text.Str("Page-File: ")
        .Dec(MemInfoKb(memInfo, "SwapTotal") / 1024)
        .Str(" MB total, ")
        .Dec(MemInfoKb(memInfo, "SwapFree") / 1024)
        .Str(" MB available\r\n");

    text.Str(g_cdLine);
    if (info && info->nSignal != 0) {
        text.Str("Error-Type 0x")
            .Hex(static_cast<uint64_t>(info->nSignal))
            .Str(", Error-Address 0x")
            .Hex(info->address)
            .Str("\r\n");
    }
    return text.Size();
}

bool WriteTextReport(const CrashInfo *info, const char *path) {
    static char report[4096];
    const size_t size = FormatTextReport(info, report, sizeof report);
    const int fd = CreateReportFile(path);
    if (fd < 0)
        return false;
    const bool ok = WriteAll(fd, report, size);
    return ::close(fd) == 0 && ok;
}

} // namespace crash
