// The grabbing dialog: one track or several after another, each through a GrabSession and the chosen encoder.
#include "CDCopy.h"

#include "GrabTracks.h"
#include "Messages.h"
#include "Settings.h"
#include "cdda/CDDA.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

namespace {

template <class W> W *Named(W *widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

} // namespace

CCDCopy::CCDCopy(QWidget *parent) : QDialog(parent) {
    setWindowTitle(LoadStringRes(144));
    m_strFolder = GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("MyFolder"), DefaultGrabFolder());

    m_pDrives = Named(new QComboBox, 1136);
    m_pTracks = Named(new QListWidget, 1137);
    m_pTracks->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_pSelectAll = new QPushButton(tr("Select all"));
    m_pSelectAll->setObjectName(QStringLiteral("SelectAll"));
    m_pFormats = Named(new QComboBox, 1314);
    m_pTarget = Named(new QLineEdit, 1134);
    m_pTarget->setReadOnly(true);
    m_pSaveAs = Named(new QPushButton(QStringLiteral("...")), 1133);
    m_pPlaceHolder = Named(new QWidget, 1315);
    m_pPlaceLayout = new QVBoxLayout(m_pPlaceHolder);
    m_pPlaceLayout->setContentsMargins(0, 0, 0, 0);
    m_pReadProgress = Named(new QProgressBar, 1057);
    m_pEncodeProgress = Named(new QProgressBar, 1329);
    m_pPercent = Named(new QLabel, 1128);
    m_pSpeed = Named(new QLabel, 1146);
    m_pRemaining = Named(new QLabel, 1138);
    m_pStart = Named(new QPushButton(tr("Start")), 1025);
    m_pCancel = Named(new QPushButton(tr("Cancel")), 1002);
    m_pClose = Named(new QPushButton(tr("Close")), 1);
    for (QProgressBar *bar : {m_pReadProgress, m_pEncodeProgress})
        bar->setTextVisible(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("CD-Drive:")), 0, 0);
    grid->addWidget(m_pDrives, 0, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Tracks:")), 1, 0, Qt::AlignTop);
    grid->addWidget(m_pTracks, 1, 1);
    grid->addWidget(m_pSelectAll, 1, 2, Qt::AlignTop);
    grid->addWidget(new QLabel(tr("Format:")), 2, 0);
    grid->addWidget(m_pFormats, 2, 1, 1, 2);
    grid->addWidget(new QLabel(tr("File:")), 3, 0);
    grid->addWidget(m_pTarget, 3, 1);
    grid->addWidget(m_pSaveAs, 3, 2);
    grid->addWidget(m_pPlaceHolder, 4, 0, 1, 3);
    grid->addWidget(new QLabel(tr("Reading:")), 5, 0);
    grid->addWidget(m_pReadProgress, 5, 1, 1, 2);
    grid->addWidget(new QLabel(tr("Encoding:")), 6, 0);
    grid->addWidget(m_pEncodeProgress, 6, 1, 1, 2);
    auto *texts = new QHBoxLayout;
    texts->addWidget(m_pPercent);
    texts->addWidget(m_pSpeed, 1);
    texts->addWidget(m_pRemaining);
    grid->addLayout(texts, 7, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {m_pStart, m_pCancel, m_pClose}) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    grid->addLayout(buttons, 8, 0, 1, 3);

    m_pProgressTimer = new QTimer(this);
    m_pProgressTimer->setInterval(300);
    m_pSecondTimer = new QTimer(this);
    m_pSecondTimer->setInterval(1000);
    connect(m_pProgressTimer, &QTimer::timeout, this, &CCDCopy::OnTimer);
    connect(m_pSecondTimer, &QTimer::timeout, this, [this] { ++m_dwElapsedSeconds; });
    connect(m_pTracks, &QListWidget::itemSelectionChanged, this, &CCDCopy::OnTrackSelection);
    connect(m_pSelectAll, &QPushButton::clicked, m_pTracks, &QListWidget::selectAll);
    connect(m_pSaveAs, &QPushButton::clicked, this, &CCDCopy::OnSaveAs);
    connect(m_pStart, &QPushButton::clicked, this, &CCDCopy::OnStart);
    connect(m_pCancel, &QPushButton::clicked, this, &CCDCopy::OnCancel);
    connect(m_pClose, &QPushButton::clicked, this, &QDialog::accept);
}

CCDCopy::~CCDCopy() {
    if (m_session) { // never left running: done() waits for the end
        m_session->Cancel();
        m_session->Finish();
    }
    WriteSettingString(QStringLiteral("GENERAL"), QStringLiteral("MyFolder"), m_strFolder);
    WriteSettingInt(QStringLiteral("ENCODE"), QStringLiteral("CD-Drive"), m_nDriveIndex);
    WriteSettingInt(QStringLiteral("ENCODE"), QStringLiteral("Encode-Format"), m_nEncoderIndex);
    delete m_pEncoder; // writes its settings
    m_pEncoder = nullptr;
}

bool CCDCopy::OnInitDialog() {
    ResetDisplay();
    FillDrives();
    if (m_pDrives->count() == 0) {
        ShowMessage(tr("No CD-Drive installed."), MB_OK | MB_ICONERROR);
        return false;
    }
    m_nDriveIndex = std::max(GetSettingInt(QStringLiteral("ENCODE"), QStringLiteral("CD-Drive"), 0), 0);
    if (m_nDriveIndex >= m_pDrives->count())
        m_nDriveIndex = -1;
    m_pDrives->setCurrentIndex(m_nDriveIndex);

    // Without LAME only WAVE is offered; the MP3 entry names the library actually found.
    const LameProbe lame = ProbeLame();
    m_strLameName = lame.strFileName;
    m_pFormats->addItem(tr("WAVE"));
    if (lame.status != LameLibrary::NotFound)
        m_pFormats->addItem(tr("MP3 (%1)").arg(m_strLameName));
    m_nEncoderIndex = std::max(GetSettingInt(QStringLiteral("ENCODE"), QStringLiteral("Encode-Format"), 1), 0);
    if (m_nEncoderIndex >= m_pFormats->count())
        m_nEncoderIndex = 0;
    m_pFormats->setCurrentIndex(m_nEncoderIndex);

    FillTracks();
    OnFormatSelection();
    connect(m_pDrives, &QComboBox::currentIndexChanged, this, [this] { OnDriveChanged(); });
    connect(m_pFormats, &QComboBox::currentIndexChanged, this, &CCDCopy::OnFormatSelection);
    return true;
}

void CCDCopy::FillDrives() {
    m_pDrives->clear();
    const int count = GetNumDrives();
    for (int i = 0; i < count; ++i)
        m_pDrives->addItem(DriveEntryText(uint8_t(i)));
}

void CCDCopy::OnDriveChanged() {
    m_nDriveIndex = m_pDrives->currentIndex();
    FillTracks();
}

void CCDCopy::FillTracks() {
    const QSignalBlocker block(m_pTracks);
    m_pTracks->clear();
    if (m_nDriveIndex >= 0) {
        const auto drive = uint8_t(m_nDriveIndex);
        const int count = GetNumTracks(drive);
        if (count == 0)
            m_pTracks->addItem(LoadStringRes(61280));
        for (int t = 1; t <= count; ++t) {
            auto *item = new QListWidgetItem(TrackEntryText(TrackName(drive, t), GetTrackLength(uint8_t(t), drive)));
            item->setData(Qt::UserRole, t);
            m_pTracks->addItem(item);
        }
        if (m_pTracks->count() > 0)
            m_pTracks->setCurrentRow(0);
    }
    OnTrackSelection();
}

QList<int> CCDCopy::SelectedTracks() const {
    QList<int> tracks;
    for (int row = 0; row < m_pTracks->count(); ++row)
        if (m_pTracks->item(row)->isSelected() && m_pTracks->item(row)->data(Qt::UserRole).toInt() > 0)
            tracks << m_pTracks->item(row)->data(Qt::UserRole).toInt();
    return tracks;
}

void CCDCopy::OnTrackSelection() {
    const QList<int> tracks = SelectedTracks();
    if (tracks.isEmpty()) {
        m_pTarget->clear();
        m_strBasePath.clear();
        EnableControls(true, false);
        return;
    }
    // The first selected track shows its file; the others are named the same way.
    const auto drive = uint8_t(m_nDriveIndex);
    GrabTrack plan;
    PlanTrack(drive, tracks.first(), m_strFolder, &plan);
    m_strBasePath = plan.basePath;
    m_dwStartByte = plan.startByte;
    m_dwEndByte = plan.endByte;
    m_pTarget->setText(TargetText());
    EnableControls(true, true);
}

QString CCDCopy::TargetText() const {
    return m_strBasePath.isEmpty() ? QString() : m_strBasePath + m_strExtension;
}

void CCDCopy::EnableControls(bool bIdle, bool bTrack) {
    m_pStart->setEnabled(bIdle && bTrack);
    m_pCancel->setEnabled(!bIdle);
    for (QWidget *w : std::initializer_list<QWidget *>{m_pClose, m_pFormats, m_pDrives, m_pTracks, m_pSelectAll,
                                                       m_pSaveAs, m_pPlaceHolder})
        w->setEnabled(bIdle);
}

void CCDCopy::OnFormatSelection() {
    m_nEncoderIndex = m_pFormats->currentIndex();
    delete m_pEncoder;
    m_pEncoder = nullptr;
    const bool bMp3 = m_nEncoderIndex == 1;
    m_pEncoder = bMp3 ? static_cast<CEncoderPage *>(CEncLame::Create(m_pPlaceHolder)) : new CEncACM(m_pPlaceHolder);
    if (m_pEncoder) {
        m_pPlaceLayout->addWidget(m_pEncoder);
        m_pEncoder->show();
    } else {
        ShowError(61291, 0, bMp3 ? QStringLiteral("CEncLame") : QStringLiteral("CEncACM"), ERR_STYLE_DETAIL);
    }
    m_strExtension = bMp3 ? QStringLiteral(".mp3") : QStringLiteral(".wav");
    OnTrackSelection();
}

void CCDCopy::OnSaveAs() {
    const QString filter = tr("Audio (*%1)").arg(m_strExtension);
    QFileDialog dialog(this, QString(), m_strFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(m_strExtension.mid(1));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.selectFile(TargetText());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        ApplySaveAs(dialog.selectedFiles().first());
}

void CCDCopy::ApplySaveAs(const QString &path) {
    m_strFolder = QFileInfo(path).absolutePath();
    if (SelectedTracks().size() > 1) {
        OnTrackSelection(); // several tracks keep their own names in the new folder
        return;
    }
    m_strBasePath = path.endsWith(m_strExtension) ? path.left(path.size() - m_strExtension.size()) : path;
    m_pTarget->setText(TargetText());
}

void CCDCopy::OnStart() {
    if (!m_pEncoder) {
        ShowMessage(tr("Please choose first a valid encoder!"), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    const QList<int> tracks = SelectedTracks();
    if (tracks.isEmpty() || m_strBasePath.isEmpty())
        return;
    m_queue.clear();
    if (tracks.size() == 1) {
        // One track goes exactly where the file text says, also after Save As.
        GrabTrack plan;
        plan.drive = uint8_t(m_nDriveIndex);
        plan.track = tracks.first();
        plan.startByte = m_dwStartByte;
        plan.endByte = m_dwEndByte;
        plan.basePath = m_strBasePath;
        m_queue << plan;
    } else {
        for (int t : tracks) {
            GrabTrack plan;
            if (PlanTrack(uint8_t(m_nDriveIndex), t, m_strFolder, &plan))
                m_queue << plan;
        }
    }
    m_nQueueTotal = int(m_queue.size());
    m_nQueueDone = 0;
    EnableControls(false, true);
    m_pEncoder->PrepareGrab();
    if (!StartNext()) {
        m_queue.clear();
        ResetDisplay();
        return;
    }
    m_pProgressTimer->start();
    m_pSecondTimer->start();
}

bool CCDCopy::StartNext() {
    if (m_queue.isEmpty())
        return false;
    const GrabTrack plan = m_queue.takeFirst();
    ++m_nQueueDone;
    if (m_nQueueTotal > 1)
        setWindowTitle(tr("%1 (track %2 of %3)").arg(LoadStringRes(144)).arg(m_nQueueDone).arg(m_nQueueTotal));
    m_pTarget->setText(plan.basePath + m_strExtension);
    const int total = int(std::min<uint32_t>(plan.endByte - plan.startByte, INT32_MAX));
    for (QProgressBar *bar : {m_pReadProgress, m_pEncodeProgress}) {
        bar->setRange(0, total);
        bar->setValue(0);
    }
    m_dwElapsedSeconds = 1;
    m_session = std::make_unique<GrabSession>(m_reader);
    return m_session->Start(plan, m_pEncoder->Encoder());
}

void CCDCopy::OnTimer() {
    if (!m_session)
        return;
    if (!m_session->IsRunning()) {
        const GrabResult result = m_session->Finish();
        m_session.reset();
        // The next track follows a complete one, or one whose existing file the user kept; a cancel or a
        // failure ends the run.
        const bool bNext =
            (result == GrabResult::Written || result == GrabResult::Declined) && !m_bCloseWhenDone && StartNext();
        if (bNext)
            return;
        m_pProgressTimer->stop();
        m_pSecondTimer->stop();
        m_queue.clear();
        setWindowTitle(LoadStringRes(144));
        ResetDisplay();
        if (m_bCloseWhenDone)
            QDialog::done(m_nCloseResult);
        return;
    }
    const uint32_t total = m_session->EndByte() - m_session->StartByte();
    const uint32_t done = m_session->ReadBytes();
    const uint32_t encoded = m_session->EncodedBytes();
    const GrabProgressTexts texts = MakeProgressTexts(done, encoded, total, m_dwElapsedSeconds, m_session->ReadDone());
    if (!texts.strRemaining.isNull())
        m_pRemaining->setText(texts.strRemaining);
    m_pPercent->setText(texts.strPercent);
    m_pReadProgress->setValue(int(std::min(done, total)));
    m_pEncodeProgress->setValue(int(std::min(encoded, total)));
    m_pSpeed->setText(texts.strSpeed);
}

void CCDCopy::OnCancel() {
    if (m_session) {
        m_session->Cancel();
        m_queue.clear();
        return;
    }
    ResetDisplay();
}

void CCDCopy::ResetDisplay() {
    m_pSpeed->clear();
    m_pReadProgress->setValue(0);
    m_pEncodeProgress->setValue(0);
    m_pPercent->setText(QStringLiteral("0 %"));
    m_pRemaining->clear();
    EnableControls(true, !SelectedTracks().isEmpty());
    if (!SelectedTracks().isEmpty())
        m_pTarget->setText(TargetText());
}

void CCDCopy::done(int result) {
    // The grab's threads use the encoder and the job until they end: the window goes only after them, and
    // the event loop keeps running meanwhile (a thread may be asking a question).
    if (m_session) {
        m_bCloseWhenDone = true;
        m_nCloseResult = result;
        m_session->Cancel();
        m_queue.clear();
        return;
    }
    QDialog::done(result);
}
