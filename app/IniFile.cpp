// Reading and writing the settings file's sections and keys without losing a byte of a value.
#include "IniFile.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {

QString DecodeLine(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes.data(), bytes.size()) : text;
}

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// "%XX" is the character XX, "%UXXXX" the character XXXX: how both dialects escape names.
QString DecodeName(const QString &name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == QLatin1Char('%')) {
            const bool bWide = i + 1 < name.size() && name[i + 1] == QLatin1Char('U');
            const int digits = bWide ? 4 : 2;
            const qsizetype first = bWide ? i + 2 : i + 1;
            int value = 0;
            bool bOk = first + digits <= name.size();
            for (int d = 0; bOk && d < digits; ++d) {
                const int h = HexValue(name[first + d]);
                bOk = h >= 0;
                value = value * 16 + h;
            }
            if (bOk) {
                out += QChar(char16_t(value));
                i = first + digits - 1;
                continue;
            }
        }
        out += name[i];
    }
    return out;
}

QString EncodeName(const QString &name, bool bKey) {
    QString out;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        const char16_t u = c.unicode();
        const bool bEdge = (i == 0 || i == name.size() - 1) && c.isSpace();
        const bool bSpecial = u == '%' || u < 0x20 || u == 0x7F || (!bKey && (u == '[' || u == ']')) ||
                              (bKey && (u == '=' || (i == 0 && (u == ';' || u == '#' || u == '['))));
        if ((bEdge || bSpecial) && u <= 0xFF)
            out += QStringLiteral("%%1").arg(int(u), 2, 16, QLatin1Char('0')).toUpper();
        else if (bEdge)
            out += QStringLiteral("%U%1").arg(int(u), 4, 16, QLatin1Char('0')).toUpper();
        else
            out += c;
    }
    return out;
}

// A value is written as it is unless reading would change it: then it goes in quotes with escapes.
QString EncodeValue(const QString &value) {
    bool bQuote = !value.isEmpty() && (value.front().isSpace() || value.back().isSpace());
    bQuote = bQuote || (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')));
    for (QChar c : value)
        bQuote = bQuote || c.unicode() < 0x20 || c.unicode() == 0x7F;
    if (!bQuote)
        return value;
    QString out = QStringLiteral("\"");
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString DecodeValue(const QString &value) {
    if (value.size() < 2 || !value.startsWith(QLatin1Char('"')) || !value.endsWith(QLatin1Char('"')))
        return value;
    QString out;
    const qsizetype end = value.size() - 1;
    for (qsizetype i = 1; i < end; ++i) {
        if (value[i] != QLatin1Char('\\') || i + 1 >= end) {
            out += value[i];
            continue;
        }
        const QChar e = value[++i];
        switch (e.unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case '\\':
        case '"':
            out += e;
            break;
        case 'x':
            if (i + 2 < end && HexValue(value[i + 1]) >= 0 && HexValue(value[i + 2]) >= 0) {
                out += QChar(char16_t(HexValue(value[i + 1]) * 16 + HexValue(value[i + 2])));
                i += 2;
                break;
            }
            [[fallthrough]];
        default:
            // Not one of ours: a hand-written backslash stays what it was.
            out += QLatin1Char('\\');
            out += e;
        }
    }
    return out;
}

// Qt's INI dialect: quotes anywhere, C escapes, "\x" and octal numbers of any length, "@@" for "@".
QString DecodeQtValue(const QString &value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('"'))
            continue;
        if (c != QLatin1Char('\\') || i + 1 >= value.size()) {
            out += c;
            continue;
        }
        const QChar e = value[++i];
        static const char kFrom[] = "abfnrtv";
        static const char kTo[] = "\a\b\f\n\r\t\v";
        if (const char *at = e.unicode() < 128 ? std::strchr(kFrom, char(e.unicode())) : nullptr; at && *at) {
            out += QLatin1Char(kTo[at - kFrom]);
        } else if (e == QLatin1Char('x') || (e.unicode() >= '0' && e.unicode() <= '7')) {
            const int base = e == QLatin1Char('x') ? 16 : 8;
            qsizetype j = e == QLatin1Char('x') ? i + 1 : i;
            uint code = 0;
            for (; j < value.size() && HexValue(value[j]) >= 0 && HexValue(value[j]) < base; ++j)
                code = std::min<uint>(code * base + HexValue(value[j]), 0xFFFF);
            out += QChar(char16_t(code));
            i = j - 1;
        } else {
            out += e;
        }
    }
    if (out.startsWith(QLatin1String("@@")))
        out.remove(0, 1);
    return out;
}

} // namespace

bool IniFile::IsQtDialect(const QByteArray &bytes) {
    for (QByteArrayView line : bytes.split('\n'))
        if (line.trimmed() == "[%General]")
            return true;
    return false;
}

bool IniFile::Parse(const QByteArray &bytes) {
    *this = IniFile();
    if (bytes.contains('\0'))
        return false;
    const bool bQt = IsQtDialect(bytes);
    QString section;
    for (QByteArrayView raw : bytes.split('\n')) {
        const QString line = DecodeLine(raw);
        const QString text = line.trimmed();
        if (text.isEmpty())
            continue;
        if (text.startsWith(QLatin1Char(';')) || text.startsWith(QLatin1Char('#'))) {
            if (section.isEmpty())
                m_header << text;
            else
                AddSection(section).entries.push_back({QString(), text, true});
            continue;
        }
        if (text.startsWith(QLatin1Char('['))) {
            if (!text.endsWith(QLatin1Char(']')) || text.size() < 3)
                return *this = IniFile(), false;
            section = DecodeName(text.mid(1, text.size() - 2));
            // Qt wrote the section GENERAL as "[%General]" and reads "[General]" as its own; both are ours.
            if (section == QLatin1String("%General") ||
                (bQt && section.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0))
                section = QStringLiteral("GENERAL");
            AddSection(section);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        QString key = eq > 0 ? line.left(eq).trimmed() : QString();
        if (key.isEmpty() || section.isEmpty())
            return *this = IniFile(), false;
        const QString value = line.mid(eq + 1).trimmed();
        if (!bQt) {
            Add(section, DecodeName(key), DecodeValue(value));
            continue;
        }
        // Qt kept a "/" inside a section name as a "\" in the key.
        QStringList parts = key.split(QLatin1Char('\\'));
        key = DecodeName(parts.takeLast());
        QString target = section;
        for (const QString &part : parts)
            target += QLatin1Char('/') + DecodeName(part);
        Add(target, key, DecodeQtValue(value));
    }
    return true;
}

QByteArray IniFile::Compose() const {
    QString out;
    for (const QString &line : m_header)
        out += line + QLatin1Char('\n');
    for (const Section &section : m_sections) {
        if (&section != &m_sections.front())
            out += QLatin1Char('\n');
        out += QLatin1Char('[') + EncodeName(section.strName, false) + QStringLiteral("]\n");
        for (const Entry &entry : section.entries) {
            if (entry.bComment)
                out += entry.strValue;
            else
                out += EncodeName(entry.strKey, true) + QLatin1Char('=') + EncodeValue(entry.strValue);
            out += QLatin1Char('\n');
        }
    }
    return out.toUtf8();
}

IniFile::Section *IniFile::FindSection(const QString &name) {
    for (Section &section : m_sections)
        if (section.strName.compare(name, Qt::CaseInsensitive) == 0)
            return &section;
    return nullptr;
}

const IniFile::Section *IniFile::FindSection(const QString &name) const {
    return const_cast<IniFile *>(this)->FindSection(name);
}

IniFile::Section &IniFile::AddSection(const QString &name) {
    if (Section *section = FindSection(name))
        return *section;
    m_sections.push_back({name, {}});
    return m_sections.back();
}

void IniFile::Add(const QString &section, const QString &key, const QString &value) {
    Section &s = AddSection(section);
    for (const Entry &entry : s.entries)
        if (!entry.bComment && entry.strKey.compare(key, Qt::CaseInsensitive) == 0)
            return;
    s.entries.push_back({key, value, false});
}

const QString *IniFile::Find(const QString &section, const QString &key) const {
    if (const Section *s = FindSection(section))
        for (const Entry &entry : s->entries)
            if (!entry.bComment && entry.strKey.compare(key, Qt::CaseInsensitive) == 0)
                return &entry.strValue;
    return nullptr;
}

QStringList IniFile::Keys() const {
    QStringList keys;
    for (const Section &section : m_sections)
        for (const Entry &entry : section.entries)
            if (!entry.bComment)
                keys << section.strName + QLatin1Char('/') + entry.strKey;
    return keys;
}

void IniFile::Set(const QString &section, const QString &key, const QString &value) {
    Section &s = AddSection(section);
    s.strName = section;
    for (Entry &entry : s.entries) {
        if (!entry.bComment && entry.strKey.compare(key, Qt::CaseInsensitive) == 0) {
            entry.strKey = key;
            entry.strValue = value;
            return;
        }
    }
    s.entries.push_back({key, value, false});
}
