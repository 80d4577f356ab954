// The grabbing dialog: drive, tracks, format and file, the progress of the running grab, and its controls.
#pragma once

#include "EncoderPages.h"
#include "GrabEngine.h"

#include <QDialog>
#include <QList>

#include <memory>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTimer;
class QVBoxLayout;

class CCDCopy : public QDialog {
    Q_OBJECT
public:
    explicit CCDCopy(QWidget *parent = nullptr);
    ~CCDCopy() override; // writes MyFolder, CD-Drive and Encode-Format

    // Fills the lists and makes the encoder page. Without any drive it shows "No CD-Drive installed." and
    // returns false: the dialog is not to be shown.
    bool OnInitDialog();
    // A disc came or went (the folder tree's watch) or another drive was chosen: the track list is made anew.
    void OnDriveChanged();

    // Save As's result: the target file, and the folder for the following grabs.
    void ApplySaveAs(const QString &path);
    bool IsGrabbing() const { return m_session && m_session->HasJob(); }
    CEncoderPage *EncoderPage() const { return m_pEncoder; }
    QString Folder() const { return m_strFolder; }
    QString TargetText() const;

    // The reader the grabs use; tests script a drive with it.
    void SetReader(CDReader reader) { m_reader = std::move(reader); }

public slots:
    void done(int result) override;

private:
    void FillDrives();
    void FillTracks();
    void OnTrackSelection();
    void OnFormatSelection();
    void OnSaveAs();
    void OnStart();
    void OnCancel();
    void OnTimer();
    bool StartNext();
    void ResetDisplay();
    void EnableControls(bool bIdle, bool bTrack);
    QList<int> SelectedTracks() const;

    QComboBox *m_pDrives, *m_pFormats;
    QListWidget *m_pTracks;
    QLineEdit *m_pTarget;
    QPushButton *m_pSaveAs, *m_pSelectAll, *m_pStart, *m_pCancel, *m_pClose;
    QProgressBar *m_pReadProgress, *m_pEncodeProgress;
    QLabel *m_pPercent, *m_pSpeed, *m_pRemaining;
    QWidget *m_pPlaceHolder;
    QVBoxLayout *m_pPlaceLayout;
    CEncoderPage *m_pEncoder = nullptr;
    QTimer *m_pProgressTimer, *m_pSecondTimer;

    QString m_strFolder;
    int m_nDriveIndex = -1;
    int m_nEncoderIndex = 1;
    QString m_strBasePath, m_strExtension = QStringLiteral(".mp3");
    uint32_t m_dwStartByte = 0, m_dwEndByte = 0;
    uint32_t m_dwElapsedSeconds = 1;
    QString m_strLameName;

    std::unique_ptr<GrabSession> m_session;
    CDReader m_reader;
    QList<GrabTrack> m_queue; // tracks still to grab after the running one
    int m_nQueueTotal = 0, m_nQueueDone = 0;
    bool m_bCloseWhenDone = false;
    int m_nCloseResult = QDialog::Accepted;
};
