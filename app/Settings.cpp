// Settings over QSettings in INI form, one group per section.
#include "Settings.h"

#include "Messages.h"

#include <QSettings>
#include <QStandardPaths>

namespace {

QString Path(const QString &section, const QString &key) {
    return section + QLatin1Char('/') + key;
}

bool Store(const QString &section, const QString &key, const QVariant &value) {
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    if (settings.status() != QSettings::NoError || !settings.isWritable())
        return false;
    settings.setValue(Path(section, key), value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace

QString SettingsFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Melvo/Melvo.conf");
}

int GetSettingInt(const QString &section, const QString &key, int nDefault) {
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    bool ok = false;
    const int value = settings.value(Path(section, key)).toInt(&ok);
    return ok ? value : nDefault;
}

QString GetSettingString(const QString &section, const QString &key, const QString &strDefault) {
    QSettings settings(SettingsFilePath(), QSettings::IniFormat);
    const QVariant value = settings.value(Path(section, key));
    return value.isValid() ? value.toString() : strDefault;
}

bool WriteSettingInt(const QString &section, const QString &key, int nValue) {
    if (Store(section, key, nValue))
        return true;
    ShowError(61294, 0, QStringLiteral("%1\\%2=%3").arg(section, key).arg(nValue), ERR_STYLE_DETAIL);
    return false;
}

bool WriteSettingString(const QString &section, const QString &key, const QString &strValue) {
    if (Store(section, key, strValue))
        return true;
    // The value itself is never shown: it may be a password.
    ShowError(61294, 0, QStringLiteral("%1\\%2=strValue").arg(section, key), ERR_STYLE_DETAIL);
    return false;
}
