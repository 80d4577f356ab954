// The encoders' pages in the grabbing dialog: the WAV page and the MP3 page with LAME's settings.
#pragma once

#include "LameEncoder.h"
#include "WavEncoder.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;

// One encoder and its page. The dialog takes a snapshot of the page's values before each grab and keeps the
// page still while the grab runs, so the grab's threads never meet the widgets.
class CEncoderPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    virtual IEncoder *Encoder() = 0;
    virtual void PrepareGrab() {}
};

class CEncACM : public CEncoderPage {
    Q_OBJECT
public:
    explicit CEncACM(QWidget *parent = nullptr);
    IEncoder *Encoder() override { return &m_encoder; }

private:
    WavEncoder m_encoder;
};

class CEncLame : public CEncoderPage {
    Q_OBJECT
public:
    // Null when LAME cannot be loaded (silently) or lacks an entry point (with the message naming the library).
    static CEncLame *Create(QWidget *parent = nullptr);
    ~CEncLame() override; // writes the settings
    IEncoder *Encoder() override { return m_encoder.get(); }
    void PrepareGrab() override { m_encoder->SetSettings(Values()); }
    LameSettings Values() const;

private:
    CEncLame(std::unique_ptr<LameLibrary> library, QWidget *parent);
    void FillBitrates();
    void EnableVbr();

    std::unique_ptr<LameLibrary> m_library;
    std::unique_ptr<LameEncoder> m_encoder;
    QComboBox *m_pBitrate, *m_pMpeg, *m_pMode, *m_pVbrQuality;
    QCheckBox *m_pCopyright, *m_pCrc, *m_pOriginal, *m_pPrivate, *m_pVbrHeader, *m_pVbr;
    QGroupBox *m_pVbrGroup;
    QLabel *m_pCompression, *m_pVersion;
};

// Whether LAME is there, and the name of the library the format list shows; without it only WAVE is offered.
struct LameProbe {
    LameLibrary::Status status;
    QString strFileName;
};
LameProbe ProbeLame();
