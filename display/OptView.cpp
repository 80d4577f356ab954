// The "View" page: font list, colour dialogs and the preview; DISPLAY is written on OK.
#include "OptView.h"

#include "Display.h"
#include "Settings.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("DISPLAY");

int Stored(const QColor &color) {
    return int(DisplayColors::ToStored(unsigned(color.red()), unsigned(color.green()), unsigned(color.blue())));
}

} // namespace

QStringList COptView::ScalableFonts() {
    QStringList fonts;
    for (const QString &family : QFontDatabase::families())
        if (QFontDatabase::isScalable(family) && !QFontDatabase::isPrivateFamily(family))
            fonts << family;
    return fonts;
}

int COptView::FindFont(const QStringList &fonts, const QString &text) {
    for (int i = 0; i < fonts.size(); ++i)
        if (fonts[i].startsWith(text, Qt::CaseInsensitive))
            return i;
    return -1;
}

COptView::COptView(QWidget *parent)
    : COptionPage(tr("View"), parent),
      m_strFont(GetSettingString(kSection, QStringLiteral("Font"), QStringLiteral("ARIAL"))) {
    auto *grid = new QGridLayout(this);
    m_pFontColor = new QPushButton(tr("Font Color..."), this);
    m_pBackColor = new QPushButton(tr("Background Color..."), this);
    grid->addWidget(m_pFontColor, 0, 0);
    grid->addWidget(m_pBackColor, 1, 0);
    auto *fontGroup = new QGroupBox(tr("Font"), this);
    auto *fontLayout = new QVBoxLayout(fontGroup);
    m_pFonts = new QComboBox(fontGroup);
    fontLayout->addWidget(m_pFonts);
    grid->addWidget(fontGroup, 2, 0);
    grid->addWidget(new QLabel(tr("Preview"), this), 0, 1);
    // The preview reads the stored colours and font, as the player's display does.
    m_pPreview = new CDisplay(this);
    m_pPreview->setFixedSize(350, 105); // the proportions of the player's display
    DisplayTexts samples;
    samples.strTitle = QStringLiteral("Track");
    samples.strChannels = QStringLiteral("stereo");
    samples.strRate = QStringLiteral("44.10 kHz");
    samples.strBitrate = QStringLiteral("128 KB/s");
    samples.strType = QStringLiteral("MP3");
    m_pPreview->SetTexts(samples);
    grid->addWidget(m_pPreview, 1, 1, 3, 1, Qt::AlignTop);
    m_pStandard = new QPushButton(tr("Standard"), this);
    grid->addWidget(m_pStandard, 4, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);

    m_pFonts->addItems(ScalableFonts());
    SelectFont(m_strFont);
    connect(m_pFonts, &QComboBox::activated, this, &COptView::OnFontChosen);
    connect(m_pFontColor, &QPushButton::clicked, this, [this] { ChooseColor(true); });
    connect(m_pBackColor, &QPushButton::clicked, this, [this] { ChooseColor(false); });
    connect(m_pStandard, &QPushButton::clicked, this, &COptView::OnStandard);
}

void COptView::SelectFont(const QString &text) {
    const int index = FindFont(ScalableFonts(), text);
    if (index >= 0) {
        m_pFonts->setCurrentIndex(index);
        m_pPreview->SetFontName(m_strFont);
        return;
    }
    // A font that is not installed: the first one stands in, as if the user had chosen it.
    m_pFonts->setCurrentIndex(m_pFonts->count() > 0 ? 0 : -1);
    OnFontChosen(m_pFonts->currentIndex());
}

void COptView::OnFontChosen(int index) {
    if (index < 0)
        return;
    m_strFont = m_pFonts->itemText(index);
    m_pPreview->SetFontName(m_strFont);
}

void COptView::ChooseColor(bool bFront) {
    const QColor current = bFront ? m_pPreview->FrontColor() : m_pPreview->BackColor();
    const QColor chosen = QColorDialog::getColor(current, this);
    if (!chosen.isValid())
        return; // cancelled
    if (bFront)
        m_pPreview->SetColors(chosen, m_pPreview->BackColor());
    else
        m_pPreview->SetColors(m_pPreview->FrontColor(), chosen);
}

void COptView::OnStandard() {
    SelectFont(QStringLiteral("ARIAL"));
    OnFontChosen(m_pFonts->currentIndex());
    m_pPreview->SetColors(QColor(0, 255, 0), QColor(0, 0, 0));
}

bool COptView::OnOK() {
    WriteSettingString(kSection, QStringLiteral("Font"), m_strFont);
    WriteSettingInt(kSection, QStringLiteral("Frontcolor"), Stored(m_pPreview->FrontColor()));
    WriteSettingInt(kSection, QStringLiteral("Backcolor"), Stored(m_pPreview->BackColor()));
    return true;
}
