// The General page's settings and the rules between them and the controls.
#include "GeneralOptions.h"

#include "DirectSound.h"
#include "Settings.h"

#include <algorithm>

namespace {

const QString kSection = QStringLiteral("GENERAL");

} // namespace

GeneralOptions GeneralOptions::Read(const QLocale &locale) {
    GeneralOptions o;
    o.strDeviceGuid = GetSettingString(kSection, QStringLiteral("DS-GUID"), QString());
    o.nBufferMs = GetSettingInt(kSection, QStringLiteral("DS-Buffer"), 500);
    o.nIntroLength = GetSettingInt(kSection, QStringLiteral("Intro-Length"), 10);
    o.strLanguage = GetSettingString(kSection, QStringLiteral("Language"), DefaultLanguageFile(locale));
    o.bUseTags = GetSettingInt(kSection, QStringLiteral("UseTags"), 1) != 0;
    return o;
}

void GeneralOptions::Write() const {
    WriteSettingString(kSection, QStringLiteral("DS-GUID"), strDeviceGuid);
    WriteSettingInt(kSection, QStringLiteral("DS-Buffer"), nBufferMs);
    WriteSettingInt(kSection, QStringLiteral("Intro-Length"), nIntroLength);
    WriteSettingString(kSection, QStringLiteral("Language"), strLanguage);
    WriteSettingInt(kSection, QStringLiteral("UseTags"), bUseTags ? 1 : 0);
}

int GeneralOptions::SliderPosition(int bufferMs) {
    return std::clamp(bufferMs / 100, kMinSlider, kMaxSlider);
}

int GeneralOptions::FindDevice(const std::vector<DsDeviceInfo> &devices, const QString &strGuid) {
    DsGuid wanted;
    const bool bDefault = strGuid.isEmpty();
    if (!bDefault && !GuidFromString(strGuid, wanted))
        return -1;
    for (size_t i = 0; i < devices.size(); ++i) {
        if (bDefault ? !devices[i].bHasGuid : devices[i].bHasGuid && devices[i].guid == wanted)
            return int(i);
    }
    return -1;
}

int GeneralOptions::FindLanguage(const QList<LanguageChoice> &languages, const QString &file) {
    for (int i = 0; i < languages.size(); ++i)
        if (languages[i].strFile.compare(file, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}
