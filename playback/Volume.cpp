// The volume panel's widgets; positions go straight to VolumeControl.
#include "Volume.h"

#include "Messages.h"
#include "NarrowPanel.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QSlider>

CVolume::CVolume(Player *player, QWidget *parent) : QWidget(parent), m_control(player) {
    m_control.Load();
    auto *layout = NarrowPanelLayout(this);
    m_pVolume = new QSlider(Qt::Vertical, this);
    m_pVolume->setObjectName(QStringLiteral("1266"));
    m_pVolume->setRange(0, 100);
    m_pVolume->setValue(100 - m_control.VolumePos());
    m_pBalance = new QSlider(Qt::Horizontal, this);
    m_pBalance->setObjectName(QStringLiteral("1073"));
    m_pBalance->setRange(0, 200);
    m_pBalance->setValue(m_control.BalancePos());
    m_pMute = new QCheckBox(QCoreApplication::translate("CVolume", "Mute"), this);
    m_pMute->setObjectName(QStringLiteral("1074"));
    layout->addWidget(m_pVolume, 1, Qt::AlignHCenter);
    layout->addWidget(m_pBalance);
    layout->addWidget(m_pMute);
    for (QSlider *slider : {m_pVolume, m_pBalance})
        slider->setStatusTip(LoadStringRes(slider->objectName().toUInt()).section(QLatin1Char('\n'), 0, 0));
    ShowPlaces();
    connect(m_pVolume, &QSlider::valueChanged, this, [this](int v) {
        m_control.SetVolumePos(100 - v);
        ShowPlaces();
    });
    connect(m_pBalance, &QSlider::valueChanged, this, [this](int v) {
        m_control.SetBalancePos(v);
        ShowPlaces();
    });
    connect(m_pMute, &QCheckBox::toggled, this, [this](bool on) { m_control.SetMute(on); });
}

void CVolume::ShowPlaces() {
    const auto name = [](unsigned id) { return LoadStringRes(id).section(QLatin1Char('\n'), 1, 1); };
    m_pVolume->setToolTip(QStringLiteral("%1: %2").arg(name(1266), VolumeText(m_control.VolumePos())));
    m_pBalance->setToolTip(QStringLiteral("%1: %2").arg(name(1073), BalanceText(m_control.BalancePos())));
}

CVolume::~CVolume() {
    m_control.Save();
}
