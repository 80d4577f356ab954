// The rename dialog and the move of a title's file.
#include "RenameFile.h"

#include "Helpers.h"
#include "Messages.h"
#include "TitleProperties.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

CRenameFile::CRenameFile(const QString &name, QWidget *parent) : QDialog(parent), m_strOld(name) {
    setObjectName(QStringLiteral("CRenameFile"));
    setWindowTitle(LoadStringRes(240));
    m_pOld = new QLabel(name, this);
    m_pOld->setObjectName(QStringLiteral("1413"));
    m_pNew = new QLineEdit(name, this);
    m_pNew->setObjectName(QStringLiteral("1412"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRenameFile::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRenameFile::reject);
    auto *layout = new QFormLayout(this);
    layout->addRow(tr("Old name:"), m_pOld);
    layout->addRow(tr("New name:"), m_pNew);
    layout->addRow(buttons);
    resize(420, sizeHint().height());
}

QString CRenameFile::NewName() const {
    return m_pNew->text();
}

void CRenameFile::accept() {
    const QString name = NewName();
    if (name == m_strOld) {
        reject();
        return;
    }
    // An empty name would leave only the extension, a hidden file.
    if (name.isEmpty() || SanitizeFileName(name) != name) {
        ShowError(45);
        m_pNew->setFocus();
        return;
    }
    QDialog::accept();
}

QString RenamedPath(const QString &path, const QString &newName) {
    const QFileInfo info(path);
    const QString extension = info.suffix();
    return info.absolutePath() + QLatin1Char('/') + newName +
           (extension.isEmpty() ? QString() : QLatin1Char('.') + extension);
}

bool MoveWithoutOverwrite(const QString &from, const QString &to) {
    const QByteArray src = QFile::encodeName(from), dst = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, src.constData(), AT_FDCWD, dst.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the flag: a hard link cannot replace anything either.
    if (::link(src.constData(), dst.constData()) == 0)
        return ::unlink(src.constData()) == 0;
    if (errno == EEXIST)
        return false;
    struct stat st {};
    if (::lstat(dst.constData(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(src.constData(), dst.constData()) == 0;
}

bool RenameFile(CTitleProperties &dialog) {
    const QString oldPath = dialog.Path();
    CRenameFile rename(QFileInfo(oldPath).completeBaseName(), &dialog);
    if (rename.exec() != QDialog::Accepted)
        return false;
    TagContext &context = dialog.Context();
    if (!context.CheckWritable())
        return false;
    const QString newPath = RenamedPath(oldPath, rename.NewName());
    const bool bMoved = MoveWithoutOverwrite(oldPath, newPath);
    if (bMoved)
        dialog.FileRenamed(oldPath, newPath);
    context.RestartPlayback();
    return bMoved;
}
