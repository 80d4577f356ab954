// The settings file's text: "[SECTION]" lines and "Key=value" lines, read as written by hand or by Melvo.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// Sections and keys match without regard to case; the first of two equal keys counts. ";" and "#" start
// a comment only at the start of a line: inside a value they are data.
class IniFile {
public:
    // False when the bytes are no settings file at all (binary data, or a line that is neither a
    // section, a key with a value nor a comment); the object is then empty.
    bool Parse(const QByteArray &bytes);
    QByteArray Compose() const;

    const QString *Find(const QString &section, const QString &key) const;
    // Section and key take the spelling given here, so a write puts the program's names back.
    void Set(const QString &section, const QString &key, const QString &value);
    bool IsEmpty() const { return m_sections.empty() && m_header.isEmpty(); }
    // Every "SECTION/Key", in file order.
    QStringList Keys() const;

    // Files written by earlier builds (Qt's own INI dialect) are read once in their old form.
    static bool IsQtDialect(const QByteArray &bytes);

private:
    struct Entry {
        QString strKey;
        QString strValue;
        bool bComment = false; // a comment line, kept in strValue as it stood
    };
    struct Section {
        QString strName;
        std::vector<Entry> entries;
    };
    Section *FindSection(const QString &name);
    const Section *FindSection(const QString &name) const;
    Section &AddSection(const QString &name);
    void Add(const QString &section, const QString &key, const QString &value);

    QStringList m_header; // comment lines before the first section
    std::vector<Section> m_sections;
};
