// Chooses and installs the translation of the user-interface texts.
#include "Language.h"

#include "Helpers.h"
#include "IniFile.h"
#include "Messages.h"
#include "Settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

std::unique_ptr<QTranslator> g_translator;
std::unique_ptr<QTranslator> g_qtTranslator; // Qt's own texts: standard buttons, colour and file dialogs

// Text 14 names a language in its own words.
constexpr unsigned kLanguageNameId = 14;

} // namespace

QString DefaultLanguageFile(const QLocale &locale) {
    QString code = locale.name().left(2).toUpper();
    if (code.size() != 2 || !code.at(0).isLetter() || !code.at(1).isLetter())
        code = QStringLiteral("EN"); // the "C" and "POSIX" locales are English
    return QStringLiteral("Lang%1.qm").arg(code);
}

namespace {

bool InstallLanguage(const QString &file) {
    if (file == QLatin1String(kBuiltInLanguage) || file.isEmpty() || file.contains(QLatin1Char('/')))
        return false;
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(GetProgramFolder(true) + file))
        return false;
    UnloadLanguage();
    QCoreApplication::installTranslator(translator.get());
    g_translator = std::move(translator);
    // "LangDE.qm" asks for Qt's "qtbase_de.qm" where the system has it.
    auto qt = std::make_unique<QTranslator>();
    const QString code = file.mid(4, 2).toLower();
    if (qt->load(QStringLiteral("qtbase_") + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        g_qtTranslator = std::move(qt);
    }
    return true;
}

} // namespace

bool LoadLanguage() {
    return InstallLanguage(
        GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("Language"), DefaultLanguageFile()));
}

bool LoadLanguageReadOnly() {
    QString file = DefaultLanguageFile();
    QFile settings(SettingsFilePath());
    IniFile ini;
    constexpr qint64 kMaxBytes = 16 << 20;
    if (QFileInfo(settings).isFile() && settings.size() <= kMaxBytes && settings.open(QIODevice::ReadOnly) &&
        ini.Parse(settings.read(kMaxBytes)))
        if (const QString *value = ini.Find(QStringLiteral("GENERAL"), QStringLiteral("Language")))
            file = *value;
    return InstallLanguage(file);
}

void UnloadLanguage() {
    if (g_qtTranslator) {
        QCoreApplication::removeTranslator(g_qtTranslator.get());
        g_qtTranslator.reset();
    }
    if (g_translator) {
        QCoreApplication::removeTranslator(g_translator.get());
        g_translator.reset();
    }
}

QList<LanguageChoice> AvailableLanguages(const QString &folderPath) {
    QList<LanguageChoice> choices;
    choices.append({QString::fromLatin1(kBuiltInLanguage), EnglishString(kLanguageNameId)});
    const QDir folder(folderPath.isEmpty() ? GetProgramFolder(false) : folderPath);
    for (const QString &file : folder.entryList({QStringLiteral("Lang*.qm")}, QDir::Files, QDir::Name)) {
        if (file == QLatin1String(kBuiltInLanguage))
            continue;
        QTranslator translator;
        if (!translator.load(folder.filePath(file)))
            continue;
        const QByteArray english = EnglishString(kLanguageNameId).toUtf8();
        const QString name = translator.translate("Strings", english.constData(), "14");
        if (!name.isEmpty())
            choices.append({file, name});
    }
    return choices;
}
