// The "Connection" page and the "RAS settings" dialog: how Melvo goes online and when it goes off again.
#pragma once

#include "OptionPage.h"

#include <QDialog>

#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The password of the dial-up profile: in the secret store where one runs (the settings file then keeps
// none), else in the settings file.
bool SaveConnectionPassword(const QString &password);
QString LoadConnectionPassword();

// The desktop's network settings, started by the page's "..." (replaceable for tests).
void SetNetworkSettingsStarter(std::function<bool()> starter);

class COptConnection : public COptionPage {
    Q_OBJECT
public:
    explicit COptConnection(QWidget *parent = nullptr);
    bool OnOK() override;

    QRadioButton *ConnectButton(int dial) const;
    QComboBox *Entries() const { return m_pEntries; }
    QComboBox *Hangup() const { return m_pHangup; }
    QCheckBox *Confirm() const { return m_pConfirm; }
    QLabel *Chosen() const { return m_pChosen; }

private:
    void OnConnectChosen();
    void UpdateConfirm();
    void OnRasSettings();

    QButtonGroup *m_pConnect;
    QComboBox *m_pEntries;
    QPushButton *m_pRasSettings, *m_pNetSettings;
    QGroupBox *m_pDisconnect;
    QComboBox *m_pHangup;
    QCheckBox *m_pConfirm;
    QLabel *m_pChosen;
};

class CRASSettings : public QDialog {
    Q_OBJECT
public:
    explicit CRASSettings(const QString &strEntry, QWidget *parent = nullptr);
    void accept() override;

private:
    void UpdateFields();

    QRadioButton *m_pCurrent, *m_pFollowing;
    QLineEdit *m_pUser, *m_pPassword;
    QLabel *m_pUserLabel, *m_pPasswordLabel;
};
