// The per-user settings store: sections of integer and string values.
#pragma once

#include <QString>

// The file behind the store: ~/.config/Melvo/Melvo.conf (XDG_CONFIG_HOME is honoured on every call).
QString SettingsFilePath();

// Reads never show a message: anything missing or unreadable yields the default.
int GetSettingInt(const QString &section, const QString &key, int nDefault);
QString GetSettingString(const QString &section, const QString &key, const QString &strDefault);

// A write that cannot be stored shows message 61294 and returns false.
bool WriteSettingInt(const QString &section, const QString &key, int nValue);
bool WriteSettingString(const QString &section, const QString &key, const QString &strValue);
