// The "CD Drives" page: driver, read command, frames per read and letter per drive, and the disc images.
#include "OptGrabbing.h"

#include "CDAccess.h"
#include "Messages.h"
#include "cdda/CDDA.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <class W> W *Named(W *widget, int id) {
    widget->setObjectName(QString::number(id));
    return widget;
}

// Which read command is which with libcdio: the first two verify through paranoia, the others read as is.
const char *const kReadModeHelp = QT_TRANSLATE_NOOP(
    "COptGrabbing",
    "Read commands: \"ATAPI 1\" reads through cdparanoia with full verification, \"ATAPI 2\" with overlap "
    "checking only; the other commands read the sectors without verification (fastest). Auto-Detection tries "
    "them in this order. Changes take effect after restarting Melvo.");

} // namespace

CChooseDriveLetter::CChooseDriveLetter(const QString &driveName, const QStringList &letters, QWidget *parent)
    : QDialog(parent) {
    setWindowTitle(LoadStringRes(202));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Please choose the correct letter for the following drive!")));
    auto *frame = Named(new QGroupBox(driveName), 1312);
    m_pLetters = Named(new QComboBox, 1308);
    m_pLetters->addItems(letters);
    m_pLetters->setCurrentIndex(0);
    (new QVBoxLayout(frame))->addWidget(m_pLetters);
    layout->addWidget(frame);
    auto *ok = Named(new QPushButton(tr("OK")), 1);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

int CChooseDriveLetter::Position() const {
    return m_pLetters->currentIndex();
}

QString CChooseDriveLetter::Letter() const {
    return m_pLetters->currentText();
}

int ChooseDriveLetter(const QString &driveName, const QStringList &candidates) {
    CChooseDriveLetter dialog(driveName, candidates);
    dialog.exec();
    return dialog.Position();
}

COptGrabbing::COptGrabbing(QWidget *parent) : COptionPage(LoadStringRes(230), parent) {
    m_options.Load();
    m_images = DiscImages();

    auto *driverGroup = new QGroupBox(tr("Select Driver"));
    m_pSpti = Named(new QRadioButton(tr("SPTI Driver")), 1282);
    m_pAspi = Named(new QRadioButton(tr("ASPI Driver")), 1283);
    auto *driverLayout = new QVBoxLayout(driverGroup);
    driverLayout->addWidget(m_pSpti);
    driverLayout->addWidget(m_pAspi);
    auto *radios = new QButtonGroup(this);
    radios->addButton(m_pSpti, 0);
    radios->addButton(m_pAspi, 1);

    m_pDrives = Named(new QComboBox, 1286);
    m_pReadMode = Named(new QComboBox, 1279);
    m_pReadMode->addItems(ReadModeNames());
    m_pAutoDetect = Named(new QPushButton(tr("Auto-Detection")), 1280);
    m_pFrames = Named(new QComboBox, 1313);
    m_pFrames->addItems(FrameEntries());
    m_pLetterGroup = Named(new QGroupBox(tr("Drive Letter")), 1309);
    m_pLetters = Named(new QComboBox, 1308);
    m_pLetters->addItems(m_options.letters);
    (new QVBoxLayout(m_pLetterGroup))->addWidget(m_pLetters);
    m_pStandard = Named(new QPushButton(tr("Standard")), 1042);
    auto *help = new QLabel(tr(kReadModeHelp));
    help->setWordWrap(true);

    auto *imagesGroup = new QGroupBox(tr("Images"));
    m_pImages = new QListWidget;
    m_pImages->setObjectName(tr("Images"));
    m_pImages->addItems(m_images);
    m_pAddImage = new QPushButton(tr("Add..."));
    m_pAddImage->setObjectName(QStringLiteral("AddImage"));
    m_pRemoveImage = new QPushButton(tr("Remove"));
    m_pRemoveImage->setObjectName(QStringLiteral("RemoveImage"));
    auto *imagesLayout = new QGridLayout(imagesGroup);
    imagesLayout->addWidget(m_pImages, 0, 0, 3, 1);
    imagesLayout->addWidget(m_pAddImage, 0, 1);
    imagesLayout->addWidget(m_pRemoveImage, 1, 1);

    auto *grid = new QGridLayout(this);
    grid->addWidget(driverGroup, 0, 0, 2, 1);
    grid->addWidget(new QLabel(tr("CD-ROM Drive")), 0, 1);
    grid->addWidget(m_pDrives, 0, 2, 1, 2);
    grid->addWidget(new QLabel(tr("Read command")), 1, 1);
    grid->addWidget(m_pReadMode, 1, 2);
    grid->addWidget(m_pAutoDetect, 1, 3);
    grid->addWidget(new QLabel(tr("Frames per read")), 2, 1);
    grid->addWidget(m_pFrames, 2, 2);
    grid->addWidget(m_pLetterGroup, 2, 0);
    grid->addWidget(m_pStandard, 3, 3);
    grid->addWidget(help, 4, 0, 1, 4);
    grid->addWidget(imagesGroup, 5, 0, 1, 4);

    m_pSpti->setEnabled(IsNTOS() != 0);
    m_pAspi->setEnabled(IsASPIInstalled() != 0); // there is no ASPI on this system
    (m_options.driver == 1 ? m_pAspi : m_pSpti)->setChecked(true);
    if (m_options.drives.isEmpty()) {
        m_pDrives->addItem(tr("No CD-Drive installed."));
        for (QWidget *w : std::initializer_list<QWidget *>{m_pDrives, m_pReadMode, m_pFrames, m_pAutoDetect, m_pLetters,
                                                           m_pLetterGroup})
            w->setEnabled(false);
    } else {
        for (const DriveSettings &d : m_options.drives)
            m_pDrives->addItem(d.sectionName);
        m_pDrives->setCurrentIndex(0);
        ShowDrive();
    }
    ShowLetterControls();

    connect(m_pDrives, &QComboBox::currentIndexChanged, this, &COptGrabbing::ShowDrive);
    connect(m_pReadMode, &QComboBox::activated, this, [this](int position) {
        if (m_pDrives->currentIndex() >= 0 && !m_options.drives.isEmpty())
            m_options.drives[m_pDrives->currentIndex()].readMode = position + 1;
    });
    connect(m_pFrames, &QComboBox::activated, this, [this](int position) {
        if (m_pDrives->currentIndex() >= 0 && !m_options.drives.isEmpty())
            m_options.drives[m_pDrives->currentIndex()].frames = FrameEntries().value(position).toInt();
    });
    connect(m_pLetters, &QComboBox::activated, this, [this](int position) {
        m_options.ChooseLetter(m_pDrives->currentIndex(), m_pLetters->itemText(position));
    });
    connect(m_pAutoDetect, &QPushButton::clicked, this, [this] {
        if (m_pDrives->currentIndex() >= 0)
            GetCompatibleReadMode(uint8_t(m_pDrives->currentIndex()));
    });
    connect(radios, &QButtonGroup::idClicked, this, &COptGrabbing::OnDriver);
    connect(m_pStandard, &QPushButton::clicked, this, &COptGrabbing::OnStandard);
    connect(m_pAddImage, &QPushButton::clicked, this, &COptGrabbing::OnAddImages);
    connect(m_pRemoveImage, &QPushButton::clicked, this, [this] {
        for (QListWidgetItem *item : m_pImages->selectedItems()) {
            m_images.removeAll(item->text());
            delete item;
        }
    });
}

void COptGrabbing::ShowDrive() {
    const int i = m_pDrives->currentIndex();
    if (i < 0 || i >= m_options.drives.size())
        return;
    const DriveSettings &d = m_options.drives.at(i);
    m_pFrames->setCurrentIndex(FramesEntryFor(d.frames));
    m_pReadMode->setCurrentIndex(d.readMode >= 1 && d.readMode <= ReadModeNames().size() ? d.readMode - 1 : -1);
    int letter = -1;
    for (int row = 0; row < m_pLetters->count() && letter < 0; ++row)
        if (!d.driveLetter.isEmpty() && m_pLetters->itemText(row).startsWith(d.driveLetter))
            letter = row;
    m_pLetters->setCurrentIndex(letter);
}

void COptGrabbing::ShowLetterControls() {
    m_pLetterGroup->setVisible(m_options.driver == 1);
}

void COptGrabbing::OnDriver(int driver) {
    ShowMessage(LoadStringRes(61283), MB_OK | MB_ICONINFORMATION);
    m_options.driver = driver;
    ShowLetterControls();
}

void COptGrabbing::OnStandard() {
    m_options.Standard();
    (m_options.driver == 1 ? m_pAspi : m_pSpti)->setChecked(true);
    ShowLetterControls();
    ShowDrive();
}

void COptGrabbing::OnAddImages() {
    QFileDialog dialog(this, tr("Add disc images"), QString(), tr("Disc images (*.cue *.toc *.nrg)"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    for (const QString &path : dialog.selectedFiles())
        if (IsDiscImagePath(path) && !path.contains(QLatin1Char(';')) && !m_images.contains(path)) {
            m_images << path;
            m_pImages->addItem(path);
        }
}

bool COptGrabbing::OnOK() {
    if (!m_options.Save())
        return false;
    if (m_images != DiscImages()) {
        if (!WriteDiscImages(m_images))
            return false;
        ReloadCDAccess(); // the sheet's OK refreshes the tree's drives
    }
    return true;
}
