// The "General" page: sound device, buffer, intro length, language and titles from tags.
#pragma once

#include "GeneralOptions.h"
#include "OptionPage.h"

#include <QLocale>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

class COptGeneral : public COptionPage {
    Q_OBJECT
public:
    explicit COptGeneral(QWidget *parent = nullptr);
    // The locale gives the default language; the folder is where translations are looked for (default:
    // the program folder).
    COptGeneral(const QLocale &locale, const QString &languageFolder, QWidget *parent = nullptr);

    bool OnOK() override;

    QComboBox *SoundCard() const { return m_pSoundCard; }
    QSlider *Buffer() const { return m_pBuffer; }
    QLabel *BufferText() const { return m_pBufferText; }
    QSpinBox *IntroLength() const { return m_pIntro; }
    QComboBox *Language() const { return m_pLanguage; }
    QCheckBox *UseTags() const { return m_pUseTags; }
    QComboBox *TagEncoding() const { return m_pTagEncoding; }
    QPushButton *StandardButton() const { return m_pStandard; }

private:
    void FillDevices();
    void FillLanguages(const QString &folder);
    void OnStandard();
    void TellRestart();

    QLocale m_locale;
    GeneralOptions m_options;
    QComboBox *m_pSoundCard;
    QSlider *m_pBuffer;
    QLabel *m_pBufferText;
    QSpinBox *m_pIntro;
    QComboBox *m_pLanguage;
    QCheckBox *m_pUseTags;
    QComboBox *m_pTagEncoding;
    QPushButton *m_pStandard;
};
