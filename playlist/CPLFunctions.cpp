// The playlist panel: buttons, tooltips, the total label, and the playlist commands.
#include "CPLFunctions.h"

#include "Helpers.h"
#include "Messages.h"
#include "Settings.h"
#include "TitleList.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

namespace {

const char *const kFilterTexts[] = {QT_TRANSLATE_NOOP("CPLFunctions", "PLS-Playlist (*.pls)"),
                                    QT_TRANSLATE_NOOP("CPLFunctions", "M3U-Playlist (*.m3u)")};

QStringList Filters() {
    return {QCoreApplication::translate("CPLFunctions", kFilterTexts[0]),
            QCoreApplication::translate("CPLFunctions", kFilterTexts[1])};
}

} // namespace

CPLFunctions::CPLFunctions(TitleList &playlist, QWidget *parent)
    : QWidget(parent), m_playlist(playlist), m_strTotal(QStringLiteral("0:00  ")) {
    const struct {
        int nId;
        const char *caption;
    } buttons[] = {{1037, "+"},
                   {1034, QT_TR_NOOP("+ all")},
                   {1170, "-"},
                   {1192, QT_TR_NOOP("- all")},
                   {1259, QT_TR_NOOP("Load Playlist...")},
                   {1258, QT_TR_NOOP("Save Playlist...")}};
    for (const auto &b : buttons) {
        auto *button = new QPushButton(tr(b.caption), this);
        button->setObjectName(QString::number(b.nId));
        button->setToolTip(LoadStringRes(b.nId).section(QLatin1Char('\n'), 1));
        button->setStatusTip(LoadStringRes(b.nId).section(QLatin1Char('\n'), 0, 0)); // the main window shows it
        connect(button, &QPushButton::clicked, this, [this, id = b.nId] { OnCommand(id); });
        m_buttons[b.nId] = button;
    }
    m_pTotal = new QLabel(m_strTotal, this);
    m_pTotal->setObjectName(QStringLiteral("1267"));
    m_pTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EnableFileButtons(false);
    m_strPlaylist =
        InitialPlaylistPath(GetSettingString(QStringLiteral("GENERAL"), QStringLiteral("Playlist"), QString()));
    connect(&m_playlist, &TitleList::TotalChanged, this, &CPLFunctions::UpdateTotal);
    resize(400, 23);
}

CPLFunctions::~CPLFunctions() {
    WriteSettingString(QStringLiteral("GENERAL"), QStringLiteral("Playlist"), m_strPlaylist);
}

void CPLFunctions::SetFileList(TitleList *files) {
    if (m_pFiles)
        disconnect(m_pFiles, nullptr, this, nullptr);
    m_pFiles = files;
    if (files)
        connect(files, &TitleList::FolderShown, this, &CPLFunctions::EnableFileButtons);
    EnableFileButtons(files && files->RowCount() > 0);
}

QPushButton *CPLFunctions::Button(int nId) const {
    const auto it = m_buttons.find(nId);
    return it == m_buttons.end() ? nullptr : it->second;
}

void CPLFunctions::EnableFileButtons(bool bEnable) {
    m_buttons[1037]->setEnabled(bEnable);
    m_buttons[1034]->setEnabled(bEnable);
}

void CPLFunctions::UpdateTotal(int nSeconds, int nRows) {
    m_strTotal = QString::asprintf("%.2d:%.2d  ", nSeconds / 60, nSeconds % 60);
    m_pTotal->setText(m_strTotal);
    for (int id : {1170, 1192, 1258})
        m_buttons[id]->setEnabled(nRows > 0);
}

void CPLFunctions::resizeEvent(QResizeEvent *) {
    const int cx = width();
    const auto place = [](QWidget *w, int x, int width) { w->setGeometry(x, 0, width, 23); };
    place(m_buttons[1037], 0, 50);
    place(m_buttons[1034], 54, 50);
    place(m_buttons[1170], 112, 50);
    place(m_buttons[1192], 166, 50);
    place(m_buttons[1259], cx - 178, 120);
    place(m_buttons[1258], cx - 302, 120);
    place(m_pTotal, cx - 50, 50);
}

void CPLFunctions::OnCommand(int nId) {
    switch (nId) {
    case 1037:
        if (m_pFiles)
            m_pFiles->AddSelectedTo(m_playlist);
        break;
    case 1034:
        if (m_pFiles)
            m_pFiles->AddAllTo(m_playlist);
        break;
    case 1170:
        m_playlist.RemoveSelected();
        break;
    case 1192:
        m_playlist.RemoveAll();
        break;
    case 1258:
        OnSave();
        break;
    case 1259:
        OnLoad();
        break;
    case 1001:
        emit PlayRequested();
        break;
    case 32801:
    case 32849:
        emit TitleInfoRequested(nId == 32801);
        break;
    default:
        break;
    }
}

QString CPLFunctions::InitialPlaylistPath(const QString &stored) {
    // The program folder is read-only once installed: a path stored there by an earlier version counts as
    // nothing stored.
    if (!stored.isEmpty() && QFileInfo(stored).absolutePath() != GetProgramFolder(false))
        return stored;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(QStringLiteral("default.m3u"));
}

int CPLFunctions::FilterIndexFor(const QString &path) {
    return QFileInfo(path).suffix().compare(QLatin1String("m3u"), Qt::CaseInsensitive) == 0 ? 2 : 1;
}

QString CPLFunctions::SavePath(const QString &chosen, int nFilterIndex, QString *extension) {
    const QString format = nFilterIndex == 2 ? QStringLiteral("m3u") : QStringLiteral("pls");
    if (extension)
        *extension = format;
    if (QFileInfo(chosen).suffix().toLower() == format)
        return chosen;
    return chosen + QLatin1Char('.') + format;
}

bool CPLFunctions::LoadFrom(const QString &path) {
    const bool bOk = m_playlist.ReplaceWithPlaylist(path);
    m_strPlaylist = path;
    return bOk;
}

bool CPLFunctions::SaveAs(const QString &path, int nFilterIndex) {
    QString extension;
    const QString target = SavePath(path, nFilterIndex, &extension);
    const bool bOk = m_playlist.SavePlaylist(target, extension, true);
    m_strPlaylist = target;
    return bOk;
}

void CPLFunctions::OnLoad() {
    QFileDialog dialog(this, QString(), m_strPlaylist, Filters().join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.selectNameFilter(Filters()[FilterIndexFor(m_strPlaylist) - 1]);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        LoadFrom(dialog.selectedFiles().first());
}

void CPLFunctions::OnSave() {
    const QFileInfo remembered(m_strPlaylist);
    QFileDialog dialog(this, QString(), remembered.absolutePath(), Filters().join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(remembered.completeBaseName());
    dialog.selectNameFilter(Filters()[FilterIndexFor(m_strPlaylist) - 1]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveAs(dialog.selectedFiles().first(), Filters().indexOf(dialog.selectedNameFilter()) == 1 ? 2 : 1);
}
