// The language of the user interface: built-in English or a translation file "Lang%s.qm".
#pragma once

#include <QList>
#include <QString>

// The built-in English; never loaded from a file.
inline constexpr const char *kBuiltInLanguage = "LangEN.qm";

#include <QLocale>

// "Lang" + the first two letters of the user's language, upper case, + ".qm".
QString DefaultLanguageFile(const QLocale &locale = QLocale::system());

// Loads GENERAL/Language from the program folder and makes it the source of all texts. A missing or
// broken file leaves English in place, silently. True when a translation was installed.
bool LoadLanguage();
// The same for the report of a crashed Melvo, which must neither move a damaged settings file away nor
// show a message about it: the settings file is only read.
bool LoadLanguageReadOnly();
void UnloadLanguage();

struct LanguageChoice {
    QString strFile; // "LangDE.qm"
    QString strName; // string 14 in that language ("Deutsch")
};
// The built-in English first, then every translation file of the folder (default: the program folder) that
// names its language; a file that cannot be loaded or has no text 14 is left out.
QList<LanguageChoice> AvailableLanguages(const QString &folder = QString());
