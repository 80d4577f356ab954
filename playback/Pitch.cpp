// The tempo panel's widgets; positions go straight to PitchControl.
#include "Pitch.h"

#include "Messages.h"
#include "NarrowPanel.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

CPitch::CPitch(Player *player, QWidget *parent) : QWidget(parent), m_control(player) {
    auto *layout = NarrowPanelLayout(this);
    m_pSlider = new QSlider(Qt::Vertical, this);
    m_pSlider->setObjectName(QStringLiteral("1091"));
    m_pSlider->setRange(-500, 500);
    m_pSlider->setPageStep(1);
    m_pSlider->setInvertedAppearance(true); // -500, the fastest, at the top
    m_pSlider->setInvertedControls(true);   // and Up goes there
    m_pSlider->setStatusTip(LoadStringRes(1091).section(QLatin1Char('\n'), 0, 0));
    m_pText = new QLabel(this);
    m_pText->setObjectName(QStringLiteral("1150"));
    m_pStandard = new QPushButton(QCoreApplication::translate("CPitch", "Standard"), this);
    m_pStandard->setObjectName(QStringLiteral("1075"));
    m_pStandard->setStyleSheet(QStringLiteral("padding: 1px 2px"));
    layout->addWidget(m_pSlider, 1, Qt::AlignHCenter);
    layout->addWidget(m_pText, 0, Qt::AlignHCenter);
    layout->addWidget(m_pStandard);
    m_control.Load();
    Apply(m_control.Position());
    connect(m_pSlider, &QSlider::valueChanged, this, [this](int v) { Apply(v); });
    connect(m_pStandard, &QPushButton::clicked, this, [this] { Apply(0); });
}

CPitch::~CPitch() {
    m_control.Save();
}

void CPitch::Apply(int position) {
    m_control.Apply(position);
    const QSignalBlocker block(m_pSlider);
    m_pSlider->setValue(m_control.Position());
    m_pText->setText(m_control.Text());
    m_pSlider->setToolTip(
        QStringLiteral("%1: %2").arg(LoadStringRes(1091).section(QLatin1Char('\n'), 1, 1), m_control.Text()));
}
