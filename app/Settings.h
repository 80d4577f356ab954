// The per-user settings store: sections of integer and string values in one INI file.
// A file that is no settings file is kept beside as "Melvo.conf.bad" and the user is told once.
#pragma once

#include <QString>

// The file behind the store: ~/.config/Melvo/Melvo.conf (XDG_CONFIG_HOME is honoured on every call).
QString SettingsFilePath();

// From the start of the shutdown on, a write that fails is reported on standard error: nobody is left
// to answer a message box.
void SetSettingsShutdown(bool bShutdown);

// Reads never show a message: anything missing or unreadable yields the default.
int GetSettingInt(const QString &section, const QString &key, int nDefault);
QString GetSettingString(const QString &section, const QString &key, const QString &strDefault);

// A write that cannot be stored shows message 61294 and returns false.
bool WriteSettingInt(const QString &section, const QString &key, int nValue);
bool WriteSettingString(const QString &section, const QString &key, const QString &strValue);
