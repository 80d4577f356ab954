// The encoder pages: fixed texts for WAV, LAME's settings with the bitrate list following the MPEG version.
#include "EncoderPages.h"

#include "Messages.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

template <class W> W *Named(W *widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

} // namespace

CEncACM::CEncACM(QWidget *parent) : CEncoderPage(parent) {
    auto *group = new QGroupBox(tr("Audio-Compression Manager (V2.0)"), this);
    auto *grid = new QGridLayout(group);
    // The lists have nothing to offer: the output is always CD audio as it is.
    grid->addWidget(new QLabel(tr("Format")), 0, 0);
    grid->addWidget(Named(new QComboBox, 1319), 0, 1);
    grid->addWidget(new QLabel(tr("Codec")), 1, 0);
    grid->addWidget(Named(new QComboBox, 1320), 1, 1);
    grid->addWidget(new QLabel(tr("Output in PCM-Wave-Format\n44,1 kHz\nStereo\n16 bit")), 0, 2, 2, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(group);
}

LameProbe ProbeLame() {
    LameLibrary library;
    const LameLibrary::Status status = library.Load();
    return {status, library.FileName()};
}

CEncLame *CEncLame::Create(QWidget *parent) {
    auto library = std::make_unique<LameLibrary>();
    switch (library->Load()) {
    case LameLibrary::NotFound:
        return nullptr;
    case LameLibrary::WrongLibrary:
        ShowMessage(tr("Wrong Encoder-DLL \"%1\" found! Please use only the original LAME-DLL, which "
                       "has the BladeEnc-Format. ")
                        .arg(library->Path()),
                    MB_OK | MB_ICONERROR);
        return nullptr;
    case LameLibrary::Loaded:
        break;
    }
    return new CEncLame(std::move(library), parent);
}

CEncLame::CEncLame(std::unique_ptr<LameLibrary> library, QWidget *parent)
    : CEncoderPage(parent), m_library(std::move(library)), m_encoder(std::make_unique<LameEncoder>(*m_library)) {
    m_pBitrate = Named(new QComboBox, 1174);
    m_pMpeg = Named(new QComboBox, 1316);
    m_pMpeg->addItems({tr("MPEG 1"), tr("MPEG 2")});
    m_pMode = Named(new QComboBox, 1180);
    m_pMode->addItems({tr("Stereo"), tr("Joint-Stereo"), tr("Dual-Channel"), tr("Mono")});
    m_pVbrQuality = Named(new QComboBox, 1178);
    for (int q = 0; q <= 9; ++q)
        m_pVbrQuality->addItem(QString::number(q));
    m_pCopyright = Named(new QCheckBox(tr("Copyright")), 1324);
    m_pCrc = Named(new QCheckBox(tr("CRC")), 1322);
    m_pOriginal = Named(new QCheckBox(tr("Original")), 1321);
    m_pPrivate = Named(new QCheckBox(tr("Private")), 1323);
    m_pVbrHeader = Named(new QCheckBox(tr("VBR Header")), 1325);
    m_pVbr = Named(new QCheckBox(tr("VBR")), 1175);
    m_pVersion = Named(new QLabel(LameVersionText(*m_library)), 1317);
    m_pVbrGroup = Named(new QGroupBox(tr("VBR Settings")), 1328);
    m_pCompression = Named(new QLabel(tr("Compression ")), 1184);

    auto *vbrLayout = new QGridLayout(m_pVbrGroup);
    vbrLayout->addWidget(m_pCompression, 0, 0);
    vbrLayout->addWidget(m_pVbrQuality, 0, 1);
    vbrLayout->addWidget(m_pVbrHeader, 1, 0, 1, 2);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(tr("Bitrate")), 0, 0);
    grid->addWidget(m_pBitrate, 0, 1);
    grid->addWidget(new QLabel(tr("MPEG Version")), 1, 0);
    grid->addWidget(m_pMpeg, 1, 1);
    grid->addWidget(new QLabel(tr("Mode")), 2, 0);
    grid->addWidget(m_pMode, 2, 1);
    grid->addWidget(m_pCopyright, 0, 2);
    grid->addWidget(m_pCrc, 1, 2);
    grid->addWidget(m_pOriginal, 2, 2);
    grid->addWidget(m_pPrivate, 3, 2);
    grid->addWidget(m_pVbr, 3, 0);
    grid->addWidget(m_pVbrGroup, 0, 3, 4, 1);
    grid->addWidget(m_pVersion, 4, 0, 1, 4);

    const LameSettings s = LameSettings::Load();
    m_pMpeg->setCurrentIndex(s.mpegIndex);
    FillBitrates();
    m_pBitrate->setCurrentIndex(s.bitrateIndex);
    m_pMode->setCurrentIndex(s.modeIndex);
    m_pCopyright->setChecked(s.copyright);
    m_pCrc->setChecked(s.crc);
    m_pOriginal->setChecked(s.original);
    m_pPrivate->setChecked(s.priv);
    m_pVbrQuality->setCurrentIndex(s.vbrQualityIndex);
    m_pVbrHeader->setChecked(s.vbrHeader);
    m_pVbr->setChecked(s.vbr);
    EnableVbr();
    m_encoder->SetSettings(s);
    connect(m_pMpeg, &QComboBox::currentIndexChanged, this, &CEncLame::FillBitrates);
    connect(m_pVbr, &QCheckBox::toggled, this, &CEncLame::EnableVbr);
}

CEncLame::~CEncLame() {
    Values().Save();
}

void CEncLame::FillBitrates() {
    // The position stays: 128 kbit/s in MPEG 1 becomes 80 in MPEG 2.
    const int position = m_pBitrate->currentIndex();
    m_pBitrate->clear();
    for (int rate : kLameBitrates[m_pMpeg->currentIndex() == 1 ? 1 : 0])
        m_pBitrate->addItem(QString::number(rate));
    m_pBitrate->setCurrentIndex(position);
}

void CEncLame::EnableVbr() {
    const bool on = m_pVbr->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_pVbrGroup, m_pVbrHeader, m_pVbrQuality, m_pCompression})
        w->setEnabled(on);
}

LameSettings CEncLame::Values() const {
    LameSettings s;
    s.bitrateIndex = m_pBitrate->currentIndex();
    s.mpegIndex = m_pMpeg->currentIndex();
    s.modeIndex = m_pMode->currentIndex();
    s.copyright = m_pCopyright->isChecked();
    s.crc = m_pCrc->isChecked();
    s.original = m_pOriginal->isChecked();
    s.priv = m_pPrivate->isChecked();
    s.vbrQualityIndex = m_pVbrQuality->currentIndex();
    s.vbrHeader = m_pVbrHeader->isChecked();
    s.vbr = m_pVbr->isChecked();
    return s;
}
