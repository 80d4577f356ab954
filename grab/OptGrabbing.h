// The options page "CD Drives" and the "Choose Drive Letter" dialog.
#pragma once

#include "DriveOptions.h"
#include "OptionPage.h"

#include <QDialog>

class QComboBox;
class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;

class CChooseDriveLetter : public QDialog {
    Q_OBJECT
public:
    CChooseDriveLetter(const QString &driveName, const QStringList &letters, QWidget *parent = nullptr);
    int Position() const;
    QString Letter() const;

private:
    QComboBox *m_pLetters;
};

// Asks for the drive's letter among the candidates; the chosen position.
int ChooseDriveLetter(const QString &driveName, const QStringList &candidates);

class COptGrabbing : public COptionPage {
    Q_OBJECT
public:
    explicit COptGrabbing(QWidget *parent = nullptr);
    bool OnOK() override;
    const DriveOptions &Options() const { return m_options; }

private:
    void ShowDrive();
    void ShowLetterControls();
    void OnDriver(int driver);
    void OnStandard();
    void OnAddImages();

    DriveOptions m_options;
    QStringList m_images;
    QRadioButton *m_pSpti, *m_pAspi;
    QComboBox *m_pDrives, *m_pReadMode, *m_pFrames, *m_pLetters;
    QPushButton *m_pAutoDetect, *m_pStandard, *m_pAddImage, *m_pRemoveImage;
    QGroupBox *m_pLetterGroup;
    QListWidget *m_pImages;
};
