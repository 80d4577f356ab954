// The freedb options page.
#include "OptFreeDB.h"

#include "EditServer.h"
#include "Messages.h"
#include "Settings.h"
#include "TitleFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>

namespace {

FolderChooser g_chooser;
const QString kSection = QStringLiteral("FREEDB");

QPushButton *Button(const QString &text, const char *name, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

} // namespace

void SetFreedbFolderChooser(FolderChooser chooser) {
    g_chooser = std::move(chooser);
}

QString DefaultFreedbCacheFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Cache");
}

QString DefaultFreedbDatabaseFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/DB");
}

void LoadFreedbFolders() {
    // Only the last folder of the cache's path is made when it is used: the default one's parent must be there.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    const QString cache = GetSettingString(kSection, QStringLiteral("LocalCachePath"), DefaultFreedbCacheFolder());
    const QString db = GetSettingInt(kSection, QStringLiteral("UseLocalDB"), 0) != 0
                           ? GetSettingString(kSection, QStringLiteral("LocalDBPath"), DefaultFreedbDatabaseFolder())
                           : QString();
    SetFreedbFolders(cache, db);
}

COptFreeDB::COptFreeDB(QWidget *parent) : COptionPage(LoadStringRes(146), parent) {
    setObjectName(QStringLiteral("OptFreeDB"));
    m_strServerText = GetSettingString(kSection, QStringLiteral("Server"), DefaultServerListText());
    m_current = ReadCurrentServer();

    auto *grid = new QGridLayout(this);
    m_pServers = new QComboBox(this);
    m_pServers->setObjectName(QStringLiteral("Servers"));
    QPushButton *edit = Button(tr("Edit..."), "Edit", this);
    grid->addWidget(new QLabel(tr("freedb Server:"), this), 0, 0);
    grid->addWidget(m_pServers, 0, 1);
    grid->addWidget(edit, 0, 2);

    m_pEmail = new QLineEdit(GetSettingString(kSection, QStringLiteral("E-Mail"), QString()), this);
    m_pEmail->setObjectName(QStringLiteral("Email"));
    grid->addWidget(new QLabel(tr("E-mail address"), this), 1, 0);
    grid->addWidget(m_pEmail, 1, 1, 1, 2);

    m_pUseDB = new QCheckBox(tr("Local freedb Database (Windows-format)"), this);
    m_pUseDB->setObjectName(QStringLiteral("UseDB"));
    m_pUseDB->setChecked(GetSettingInt(kSection, QStringLiteral("UseLocalDB"), 0) != 0);
    grid->addWidget(m_pUseDB, 2, 0, 1, 3);
    m_pDBPath = new QLabel(GetSettingString(kSection, QStringLiteral("LocalDBPath"), DefaultFreedbDatabaseFolder()));
    m_pDBPath->setObjectName(QStringLiteral("DBPath"));
    m_pDBBrowse = Button(QStringLiteral("..."), "DBBrowse", this);
    grid->addWidget(m_pDBPath, 3, 0, 1, 2);
    grid->addWidget(m_pDBBrowse, 3, 2);

    grid->addWidget(new QLabel(tr("Cache folder:"), this), 4, 0);
    m_pCachePath = new QLabel(GetSettingString(kSection, QStringLiteral("LocalCachePath"), DefaultFreedbCacheFolder()));
    m_pCachePath->setObjectName(QStringLiteral("CachePath"));
    QPushButton *cacheBrowse = Button(QStringLiteral("..."), "CacheBrowse", this);
    grid->addWidget(m_pCachePath, 5, 0, 1, 2);
    grid->addWidget(cacheBrowse, 5, 2);
    QPushButton *standard = Button(tr("Standard"), "Standard", this);
    grid->addWidget(standard, 6, 2);
    grid->setRowStretch(7, 1);

    connect(m_pServers, &QComboBox::activated, this,
            [this](int index) { m_current = ServerOfItem(m_pServers->itemData(index)); });
    connect(edit, &QPushButton::clicked, this, &COptFreeDB::OnEdit);
    connect(m_pUseDB, &QCheckBox::toggled, this, &COptFreeDB::UpdateDatabaseControls);
    connect(m_pDBBrowse, &QPushButton::clicked, this, [this] { Choose(m_pDBPath, 61328); });
    connect(cacheBrowse, &QPushButton::clicked, this, [this] { Choose(m_pCachePath, 40); });
    connect(standard, &QPushButton::clicked, this, [this] {
        m_pCachePath->setText(DefaultFreedbCacheFolder());
        m_pUseDB->setChecked(false);
    });
    Refill();
    UpdateDatabaseControls();
}

void COptFreeDB::Refill() {
    ParseServerList(m_strServerText, m_pServers, nullptr, m_current);
}

void COptFreeDB::UpdateDatabaseControls() {
    m_pDBPath->setEnabled(m_pUseDB->isChecked());
    m_pDBBrowse->setEnabled(m_pUseDB->isChecked());
}

void COptFreeDB::OnEdit() {
    CEditServer dialog(m_strServerText, m_current, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_strServerText = dialog.Text();
    m_current = dialog.Current();
    Refill();
}

void COptFreeDB::Choose(QLabel *label, unsigned titleId) {
    const QString title = LoadStringRes(titleId);
    const QString folder = g_chooser ? g_chooser(this, title, label->text())
                                     : QFileDialog::getExistingDirectory(this, title, label->text());
    if (!folder.isEmpty())
        label->setText(folder);
}

bool COptFreeDB::OnOK() {
    // The folders take effect at the next start, the server at the next request.
    return WriteSettingString(kSection, QStringLiteral("LocalCachePath"), m_pCachePath->text()) &&
           WriteSettingString(kSection, QStringLiteral("LocalDBPath"), m_pDBPath->text()) &&
           WriteSettingInt(kSection, QStringLiteral("UseLocalDB"), m_pUseDB->isChecked() ? 1 : 0) &&
           WriteSettingString(kSection, QStringLiteral("Server"), m_strServerText) &&
           WriteSettingString(kSection, QStringLiteral("CurrentServer"), m_current.strDomain) &&
           WriteSettingString(kSection, QStringLiteral("CurrentPath"), m_current.strPath) &&
           WriteSettingInt(kSection, QStringLiteral("CurrentPort"), m_current.nPort) &&
           WriteSettingString(kSection, QStringLiteral("E-Mail"), m_pEmail->text().trimmed());
}
