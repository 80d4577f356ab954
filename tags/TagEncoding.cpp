// Single-byte code pages through glibc's iconv, one 256-entry table per code page, built on first use.
#include "TagEncoding.h"

#include "Settings.h"

#include <array>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace {

constexpr TagEncodingChoice kChoices[] = {
    {"ISO-8859-1", "Western European (Latin-1)"},
    {"WINDOWS-1252", "Western European (Windows-1252)"},
    {"ISO-8859-15", "Western European (Latin-9)"},
    {"WINDOWS-1250", "Central European (Windows-1250)"},
    {"ISO-8859-2", "Central European (Latin-2)"},
    {"WINDOWS-1251", "Cyrillic (Windows-1251)"},
    {"KOI8-R", "Cyrillic (KOI8-R)"},
    {"KOI8-U", "Cyrillic (KOI8-U)"},
    {"ISO-8859-5", "Cyrillic (ISO-8859-5)"},
    {"CP866", "Cyrillic (DOS 866)"},
    {"WINDOWS-1253", "Greek (Windows-1253)"},
    {"ISO-8859-7", "Greek (ISO-8859-7)"},
    {"WINDOWS-1254", "Turkish (Windows-1254)"},
    {"ISO-8859-9", "Turkish (Latin-5)"},
    {"WINDOWS-1257", "Baltic (Windows-1257)"},
    {"ISO-8859-13", "Baltic (Latin-7)"},
    {"WINDOWS-1255", "Hebrew (Windows-1255)"},
    {"ISO-8859-8", "Hebrew (ISO-8859-8)"},
    {"WINDOWS-1256", "Arabic (Windows-1256)"},
    {"ISO-8859-6", "Arabic (ISO-8859-6)"},
    {"TIS-620", "Thai (TIS-620)"},
    {"WINDOWS-1258", "Vietnamese (Windows-1258)"},
};

const char *const kLatin1 = "ISO-8859-1";

using Table = std::array<char16_t, 256>;

std::mutex g_lock;
std::map<std::string, std::unique_ptr<Table>> g_tables; // by code page name; never freed while running
std::string g_current;                                  // empty: not read yet
const Table *g_currentTable = nullptr;                  // null: Latin-1

bool IsOffered(const std::string &name) {
    for (const TagEncodingChoice &c : kChoices)
        if (name == c.szName)
            return true;
    return false;
}

// Decodes each byte alone; the code pages offered are stateless, one byte one character. Null for Latin-1
// or a code page iconv does not know (read as Latin-1 then).
const Table *TableFor(const std::string &name) {
    if (name == kLatin1 || !IsOffered(name))
        return nullptr;
    auto &slot = g_tables[name];
    if (slot)
        return slot.get();
    iconv_t cd = iconv_open("UTF-16LE", name.c_str());
    if (cd == iconv_t(-1))
        return nullptr;
    auto table = std::make_unique<Table>();
    for (int b = 0; b < 256; ++b) {
        char in = char(b);
        char16_t out[2] = {};
        char *pin = &in, *pout = reinterpret_cast<char *>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        size_t done = iconv(cd, &pin, &inLeft, &pout, &outLeft);
        // Code pages with combining marks hold a letter back until they see what follows.
        if (done != size_t(-1))
            done = iconv(cd, nullptr, nullptr, &pout, &outLeft);
        (*table)[b] = done == size_t(-1) || outLeft != sizeof out - 2 ? u'\uFFFD' : out[0];
    }
    iconv_close(cd);
    slot = std::move(table);
    return slot.get();
}

// Holds g_lock.
void EnsureCurrent() {
    if (!g_current.empty())
        return;
    std::string name =
        GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("Tag-Encoding"), QString::fromLatin1(kLatin1))
            .toUpper()
            .toStdString();
    g_currentTable = TableFor(name);
    g_current = g_currentTable ? name : kLatin1;
}

QString Decode(const QByteArray &bytes, const Table *table) {
    if (!table)
        return QString::fromLatin1(bytes);
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar((*table)[static_cast<unsigned char>(bytes[i])]);
    return text;
}

} // namespace

std::span<const TagEncodingChoice> TagEncodingChoices() {
    return kChoices;
}

QString TagEncodingName() {
    std::lock_guard lock(g_lock);
    EnsureCurrent();
    return QString::fromStdString(g_current);
}

bool SetTagEncodingName(const QString &name) {
    const bool bWritten = WriteSettingString(QStringLiteral("GENERAL"), QStringLiteral("Tag-Encoding"), name);
    std::lock_guard lock(g_lock);
    const std::string wanted = name.toUpper().toStdString();
    g_currentTable = TableFor(wanted);
    g_current = g_currentTable ? wanted : kLatin1;
    return bWritten;
}

void ReloadTagEncoding() {
    std::lock_guard lock(g_lock);
    g_current.clear();
    g_currentTable = nullptr;
}

bool TagEncodingIsLatin1() {
    std::lock_guard lock(g_lock);
    EnsureCurrent();
    return g_currentTable == nullptr;
}

QString DecodeTagText(const QByteArray &bytes) {
    const Table *table = nullptr;
    {
        std::lock_guard lock(g_lock);
        EnsureCurrent();
        table = g_currentTable; // tables live for the whole run
    }
    return Decode(bytes, table);
}

QString DecodeTagText(const QByteArray &bytes, const QString &encoding) {
    const Table *table = nullptr;
    {
        std::lock_guard lock(g_lock);
        table = TableFor(encoding.toUpper().toStdString());
    }
    return Decode(bytes, table);
}

extern "C" unsigned long MelvoHostDecodeTagText(const char *bytes, unsigned long count, char *out, unsigned long size) {
    if (!out || size == 0)
        return static_cast<unsigned long>(-1);
    const QByteArray utf8 = DecodeTagText(QByteArray(bytes ? bytes : "", bytes ? qsizetype(count) : 0)).toUtf8();
    if (static_cast<unsigned long>(utf8.size()) >= size)
        return static_cast<unsigned long>(-1);
    std::memcpy(out, utf8.constData(), size_t(utf8.size()) + 1);
    return static_cast<unsigned long>(utf8.size());
}
