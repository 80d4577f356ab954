// The values of the General page: how they are stored and how the page's controls map onto them.
#pragma once

#include "Language.h"

#include <QList>
#include <QLocale>
#include <QString>

#include <vector>

struct DsDeviceInfo;

struct GeneralOptions {
    QString strDeviceGuid; // GENERAL/DS-GUID: registry form, empty for the primary sound driver
    int nBufferMs = 500;   // GENERAL/DS-Buffer: one half of the sound buffer
    int nIntroLength = 10; // GENERAL/Intro-Length, 1 to 99 seconds
    QString strLanguage;   // GENERAL/Language: a translation file name
    bool bUseTags = true;  // GENERAL/UseTags

    // The stored values; a missing language is the locale's default file.
    static GeneralOptions Read(const QLocale &locale);
    void Write() const;

    // The buffer slider works in steps of 100 ms from 100 to 3000.
    static constexpr int kMinSlider = 1, kMaxSlider = 30;
    static int SliderPosition(int bufferMs);
    static int BufferMs(int sliderPosition) { return sliderPosition * 100; }

    // The device entry that stands for a stored DS-GUID: the one without GUID for an empty text, else
    // the one with the same 16 bytes; -1 when no present device has it.
    static int FindDevice(const std::vector<DsDeviceInfo> &devices, const QString &strGuid);
    // The entry whose file is the given one, without regard to case; -1 when it is not listed.
    static int FindLanguage(const QList<LanguageChoice> &languages, const QString &file);
};
