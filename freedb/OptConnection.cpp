// The connection page over the NetworkManager layer, and the dial-up credentials.
#include "OptConnection.h"

#include "Connection.h"
#include "Messages.h"
#include "SecretStore.h"
#include "Settings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QString kSection = QStringLiteral("FREEDB");
const QString kSecretKey = QStringLiteral("Connection password");
std::function<bool()> g_netSettings;

bool StartNetworkSettings() {
    if (g_netSettings)
        return g_netSettings();
    return QProcess::startDetached(QStringLiteral("nm-connection-editor"), {}) ||
           QProcess::startDetached(QStringLiteral("gnome-control-center"), {QStringLiteral("network")});
}

QPushButton *Button(const QString &text, const char *name, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

bool SaveConnectionPassword(const QString &password) {
    if (SecretStoreAvailable() && StoreSecret(kSecretKey, password))
        return WriteSettingString(kSection, QStringLiteral("Password"), QString());
    return WriteSettingString(kSection, QStringLiteral("Password"), password);
}

QString LoadConnectionPassword() {
    const QString plain = GetSettingString(kSection, QStringLiteral("Password"), QString());
    if (!plain.isEmpty())
        return plain;
    bool found = false;
    const QString secret = LookUpSecret(kSecretKey, &found);
    return found ? secret : QString();
}

void SetNetworkSettingsStarter(std::function<bool()> starter) {
    g_netSettings = std::move(starter);
}

COptConnection::COptConnection(QWidget *parent) : COptionPage(LoadStringRes(246), parent) {
    setObjectName(QStringLiteral("OptConnection"));
    auto *layout = new QVBoxLayout(this);
    auto *connectBox = new QGroupBox(tr("Connect"), this);
    auto *grid = new QGridLayout(connectBox);
    m_pConnect = new QButtonGroup(this);
    const char *labels[] = {QT_TR_NOOP("Manually"), QT_TR_NOOP("Using RAS"),
                            QT_TR_NOOP("Using MS Internet Explorer Setting")};
    for (int dial = 0; dial < 3; ++dial) {
        auto *radio = new QRadioButton(tr(labels[dial]), connectBox);
        m_pConnect->addButton(radio, dial);
        grid->addWidget(radio, dial, 0);
    }
    m_pEntries = new QComboBox(connectBox);
    m_pEntries->setObjectName(QStringLiteral("Entries"));
    m_pRasSettings = Button(QStringLiteral("..."), "RasSettings", connectBox);
    m_pNetSettings = Button(QStringLiteral("..."), "NetSettings", connectBox);
    grid->addWidget(m_pEntries, 1, 1);
    grid->addWidget(m_pRasSettings, 1, 2);
    grid->addWidget(m_pNetSettings, 2, 2);
    layout->addWidget(connectBox);

    m_pDisconnect = new QGroupBox(tr("Disconnect"), this);
    auto *row = new QHBoxLayout(m_pDisconnect);
    m_pHangup = new QComboBox(m_pDisconnect);
    m_pHangup->setObjectName(QStringLiteral("Hangup"));
    m_pHangup->addItems({tr("Manually"), tr("After freedb Request"), tr("At Program Exit")});
    m_pConfirm = new QCheckBox(tr("With Confirmation"), m_pDisconnect);
    row->addWidget(m_pHangup);
    row->addWidget(m_pConfirm);
    layout->addWidget(m_pDisconnect);
    m_pChosen = new QLabel(this);
    m_pChosen->setObjectName(QStringLiteral("Chosen"));
    layout->addWidget(m_pChosen);
    QPushButton *standard = Button(tr("Standard"), "Standard", this);
    layout->addWidget(standard, 0, Qt::AlignRight);
    layout->addStretch(1);

    // What the system offers.
    const bool autodial = IsAutodialBound();
    const bool profiles = IsProfileDialBound();
    m_pConnect->button(2)->setEnabled(autodial);
    m_pNetSettings->setEnabled(autodial);
    m_pConnect->button(1)->setEnabled(profiles);
    m_pEntries->setEnabled(profiles);
    m_pRasSettings->setEnabled(profiles);
    if (profiles) {
        QStringList names;
        if (!EnumConnectionEntries(&names))
            ShowError(6);
        names.sort(Qt::CaseInsensitive);
        m_pEntries->addItems(names);
        const int saved = m_pEntries->findText(GetSettingString(kSection, QStringLiteral("RAS-Connection"), QString()));
        m_pEntries->setCurrentIndex(saved >= 0 ? saved : (names.isEmpty() ? -1 : 0));
    }

    const int dial = GetSettingInt(kSection, QStringLiteral("Conn-Dial"), 2);
    if (QAbstractButton *button = m_pConnect->button(dial))
        button->setChecked(true);
    m_pHangup->setCurrentIndex(qBound(0, GetSettingInt(kSection, QStringLiteral("Conn-Hangup"), 0), 2));
    m_pConfirm->setChecked(GetSettingInt(kSection, QStringLiteral("Conn-HangupAfterConfirmation"), 0) != 0);

    connect(m_pConnect, &QButtonGroup::idClicked, this, &COptConnection::OnConnectChosen);
    connect(m_pHangup, &QComboBox::currentIndexChanged, this, &COptConnection::UpdateConfirm);
    connect(m_pRasSettings, &QPushButton::clicked, this, &COptConnection::OnRasSettings);
    connect(m_pNetSettings, &QPushButton::clicked, this, [] { StartNetworkSettings(); });
    connect(standard, &QPushButton::clicked, this, [this] {
        m_pConnect->button(0)->setChecked(true);
        m_pHangup->setCurrentIndex(0);
        OnConnectChosen();
    });
    OnConnectChosen();
}

QRadioButton *COptConnection::ConnectButton(int dial) const {
    return qobject_cast<QRadioButton *>(m_pConnect->button(dial));
}

void COptConnection::OnConnectChosen() {
    const int dial = m_pConnect->checkedId();
    const bool manual = dial <= 0;
    m_pChosen->setText(manual ? QString() : m_pConnect->button(dial)->text());
    m_pDisconnect->setEnabled(!manual);
    m_pHangup->setEnabled(!manual);
    UpdateConfirm();
}

void COptConnection::UpdateConfirm() {
    m_pConfirm->setEnabled(m_pConnect->checkedId() > 0 && m_pHangup->currentIndex() > 0);
}

void COptConnection::OnRasSettings() {
    if (m_pEntries->currentIndex() < 0) {
        ShowError(61322);
        return;
    }
    CRASSettings dialog(m_pEntries->currentText(), this);
    dialog.exec();
}

bool COptConnection::OnOK() {
    const int dial = qMax(0, m_pConnect->checkedId());
    if (dial == 1 && m_pEntries->currentIndex() < 0) {
        ShowError(8);
        m_pEntries->setFocus();
        return false;
    }
    return WriteSettingInt(kSection, QStringLiteral("Conn-Dial"), dial) &&
           WriteSettingInt(kSection, QStringLiteral("Conn-Hangup"), m_pHangup->currentIndex()) &&
           WriteSettingInt(kSection, QStringLiteral("Conn-HangupAfterConfirmation"), m_pConfirm->isChecked() ? 1 : 0) &&
           WriteSettingString(kSection, QStringLiteral("RAS-Connection"), m_pEntries->currentText());
}

CRASSettings::CRASSettings(const QString &strEntry, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RASSettings"));
    setWindowTitle(LoadStringRes(232));
    auto *grid = new QGridLayout(this);
    auto *entry = new QLabel(strEntry, this);
    entry->setObjectName(QStringLiteral("Entry"));
    grid->addWidget(entry, 0, 0, 1, 2);
    m_pCurrent = new QRadioButton(tr("Use current username and password"), this);
    m_pFollowing = new QRadioButton(tr("Use following settings"), this);
    m_pCurrent->setObjectName(QStringLiteral("Current"));
    m_pFollowing->setObjectName(QStringLiteral("Following"));
    grid->addWidget(m_pCurrent, 1, 0, 1, 2);
    grid->addWidget(m_pFollowing, 2, 0, 1, 2);
    m_pUserLabel = new QLabel(tr("Username:"), this);
    m_pPasswordLabel = new QLabel(tr("Password:"), this);
    m_pUser = new QLineEdit(GetSettingString(kSection, QStringLiteral("Username"), QString()), this);
    m_pPassword = new QLineEdit(LoadConnectionPassword(), this);
    m_pUser->setObjectName(QStringLiteral("Username"));
    m_pPassword->setObjectName(QStringLiteral("Password"));
    m_pPassword->setEchoMode(QLineEdit::Password);
    grid->addWidget(m_pUserLabel, 3, 0);
    grid->addWidget(m_pUser, 3, 1);
    grid->addWidget(m_pPasswordLabel, 4, 0);
    grid->addWidget(m_pPassword, 4, 1);
    if (!SecretStoreAvailable()) {
        auto *note =
            new QLabel(tr("No secret store runs on this desktop: the password is kept in the settings file."), this);
        note->setObjectName(QStringLiteral("PasswordNote"));
        note->setWordWrap(true);
        grid->addWidget(note, 5, 0, 1, 2);
    }
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(box, 6, 0, 1, 2);
    (GetSettingInt(kSection, QStringLiteral("RAS-Standard"), 0) == 1 ? m_pFollowing : m_pCurrent)->setChecked(true);
    connect(m_pCurrent, &QRadioButton::toggled, this, &CRASSettings::UpdateFields);
    UpdateFields();
}

void CRASSettings::UpdateFields() {
    const bool own = m_pFollowing->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *>{m_pUser, m_pPassword, m_pUserLabel, m_pPasswordLabel})
        w->setEnabled(own);
}

void CRASSettings::accept() {
    if (WriteSettingInt(kSection, QStringLiteral("RAS-Standard"), m_pFollowing->isChecked() ? 1 : 0) &&
        WriteSettingString(kSection, QStringLiteral("Username"), m_pUser->text()) &&
        SaveConnectionPassword(m_pPassword->text()))
        QDialog::accept();
}
