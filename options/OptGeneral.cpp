// The "General" page over GeneralOptions.
#include "OptGeneral.h"

#include "DirectSound.h"
#include "Messages.h"
#include "Sound.h"
#include "TagEncoding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

#include <algorithm>

COptGeneral::COptGeneral(QWidget *parent) : COptGeneral(QLocale::system(), QString(), parent) {}

COptGeneral::COptGeneral(const QLocale &locale, const QString &languageFolder, QWidget *parent)
    : COptionPage(tr("General"), parent), m_locale(locale), m_options(GeneralOptions::Read(locale)) {
    auto *grid = new QGridLayout(this);
    int row = 0;
    m_pSoundCard = new QComboBox(this);
    grid->addWidget(new QLabel(tr("Sound Card"), this), row, 0);
    grid->addWidget(m_pSoundCard, row++, 1, 1, 2);

    m_pBuffer = new QSlider(Qt::Horizontal, this);
    m_pBuffer->setRange(GeneralOptions::kMinSlider, GeneralOptions::kMaxSlider);
    m_pBuffer->setPageStep(1);
    m_pBufferText = new QLabel(this);
    grid->addWidget(new QLabel(tr("Soundbuffer"), this), row, 0);
    grid->addWidget(m_pBuffer, row, 1);
    grid->addWidget(m_pBufferText, row++, 2);

    m_pIntro = new QSpinBox(this);
    m_pIntro->setRange(1, 99); // what is outside is refused while typing
    grid->addWidget(new QLabel(tr("Intro Length"), this), row, 0);
    grid->addWidget(m_pIntro, row, 1);
    grid->addWidget(new QLabel(tr("Sec"), this), row++, 2);

    m_pLanguage = new QComboBox(this);
    grid->addWidget(new QLabel(tr("Language"), this), row, 0);
    grid->addWidget(m_pLanguage, row++, 1, 1, 2);

    m_pUseTags = new QCheckBox(tr("Use Extended File Information for Titles"), this);
    grid->addWidget(m_pUseTags, row++, 0, 1, 3);

    // How Latin-1 tag texts are read; it applies at once, to titles read from then on.
    m_pTagEncoding = new QComboBox(this);
    for (const TagEncodingChoice &choice : TagEncodingChoices())
        m_pTagEncoding->addItem(QString::fromLatin1(choice.szLabel), QString::fromLatin1(choice.szName));
    m_pTagEncoding->setCurrentIndex(std::max(0, m_pTagEncoding->findData(TagEncodingName())));
    grid->addWidget(new QLabel(tr("Tag text encoding"), this), row, 0);
    grid->addWidget(m_pTagEncoding, row++, 1, 1, 2);

    m_pStandard = new QPushButton(tr("Standard"), this);
    grid->addWidget(m_pStandard, row++, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);

    connect(m_pBuffer, &QSlider::valueChanged, this,
            [this](int pos) { m_pBufferText->setText(tr("%1 ms").arg(GeneralOptions::BufferMs(pos))); });
    m_pBuffer->setValue(GeneralOptions::SliderPosition(m_options.nBufferMs));
    m_pBufferText->setText(tr("%1 ms").arg(GeneralOptions::BufferMs(m_pBuffer->value())));
    m_pIntro->setValue(m_options.nIntroLength);
    m_pUseTags->setChecked(m_options.bUseTags);
    FillDevices();
    FillLanguages(languageFolder);

    // Only what the user changes asks for a restart: the filling above and "Standard" stay quiet.
    connect(m_pSoundCard, &QComboBox::currentIndexChanged, this, &COptGeneral::TellRestart);
    connect(m_pLanguage, &QComboBox::currentIndexChanged, this, &COptGeneral::TellRestart);
    connect(m_pUseTags, &QCheckBox::clicked, this, &COptGeneral::TellRestart);
    connect(m_pStandard, &QPushButton::clicked, this, &COptGeneral::OnStandard);
}

void COptGeneral::FillDevices() {
    std::vector<DsDeviceInfo> devices;
    const HRESULT hr = DirectSoundEnumerate(devices);
    for (const DsDeviceInfo &device : devices)
        m_pSoundCard->addItem(device.strDescription, device.bHasGuid ? GuidToString(device.guid) : QString());
    // The stored choice, even when the sound output had to fall back: a device that is gone shows no entry.
    m_pSoundCard->setCurrentIndex(GeneralOptions::FindDevice(devices, m_options.strDeviceGuid));
    if (hr != DS_OK)
        CheckSound(hr, QStringLiteral("DirectSoundEnumerate"));
}

void COptGeneral::FillLanguages(const QString &folder) {
    const QList<LanguageChoice> languages = AvailableLanguages(folder);
    for (const LanguageChoice &language : languages)
        m_pLanguage->addItem(language.strName, language.strFile);
    m_pLanguage->setCurrentIndex(GeneralOptions::FindLanguage(languages, m_options.strLanguage));
}

void COptGeneral::OnStandard() {
    const QSignalBlocker quietDevice(m_pSoundCard), quietLanguage(m_pLanguage);
    m_pUseTags->setChecked(true);
    m_pIntro->setValue(10);
    m_pBuffer->setValue(5);
    m_pLanguage->setCurrentIndex(m_pLanguage->findData(DefaultLanguageFile(m_locale), Qt::UserRole,
                                                       Qt::MatchFixedString)); // without regard to case
    m_pSoundCard->setCurrentIndex(m_pSoundCard->findData(QString()));
    m_pTagEncoding->setCurrentIndex(0); // Latin-1
}

void COptGeneral::TellRestart() {
    ShowError(61283);
}

bool COptGeneral::OnOK() {
    GeneralOptions o = m_options;
    o.strDeviceGuid = m_pSoundCard->currentIndex() >= 0 ? m_pSoundCard->currentData().toString() : QString();
    o.nBufferMs = GeneralOptions::BufferMs(m_pBuffer->value());
    o.nIntroLength = m_pIntro->value();
    // With no language listed for the stored name (its file is gone), the name stays as it was.
    if (m_pLanguage->currentIndex() >= 0)
        o.strLanguage = m_pLanguage->currentData().toString();
    o.bUseTags = m_pUseTags->isChecked();
    o.Write();
    SetTagEncodingName(m_pTagEncoding->currentData().toString());
    return true;
}
