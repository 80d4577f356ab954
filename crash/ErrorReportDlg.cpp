// The dialogs keep to plain widgets: the report process has nothing else of Melvo running.
#include "ErrorReportDlg.h"

#include "Helpers.h"
#include "Messages.h"
#include "ReportZip.h"
#include "app/frame/DesktopTools.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

QString SupportAddress() {
    return QString::fromLatin1(kSupportMail).mid(int(sizeof "mailto:") - 1);
}

CStaticEx::CStaticEx(const QString &text, QWidget *parent) : QLabel(text, parent) {
    QFont bold = font();
    bold.setBold(true);
    setFont(bold);
    setWordWrap(true);
}

namespace {

QLabel *Text(const QString &text, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CErrorReportDetails::CErrorReportDetails(const QString &text, QWidget *parent) : QDialog(parent) {
    setWindowTitle(tr("Error Details"));
    auto *layout = new QVBoxLayout(this);
    auto *edit = new QPlainTextEdit(this);
    edit->setObjectName(QStringLiteral("1409"));
    edit->setReadOnly(true);
    edit->setPlainText(text);
    edit->setMinimumSize(460, 200);
    layout->addWidget(edit);
    layout->addWidget(Text(tr("Additional to this file, a dump file will be saved. These files allow the developer to "
                              "locate the bug which caused the crash. If you send the created zip file to") +
                               QLatin1Char(' ') + SupportAddress() + tr(" a fix will be provided as soon as possible!"),
                           this));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

CErrorReportDlg::CErrorReportDlg(const QString &textPath, const QString &dumpPath, QWidget *parent)
    : QDialog(parent), m_textPath(textPath) {
    if (!textPath.isEmpty())
        m_files << textPath;
    if (!dumpPath.isEmpty())
        m_files << dumpPath;

    setWindowTitle(LoadStringRes(129));
    auto *layout = new QVBoxLayout(this);
    auto *problem = new CStaticEx(tr("Melvo - multimedia player has encountered a problem and needs to close. We are "
                                     "sorry for the inconvenience."),
                                  this);
    problem->setObjectName(QStringLiteral("1406"));
    layout->addWidget(problem);
    auto *tell = new CStaticEx(tr("Please tell the developer about this problem."), this);
    tell->setObjectName(QStringLiteral("1407"));
    layout->addWidget(tell);
    layout->addWidget(
        Text(tr("If you were in the middle of something, the information you were working on might be lost."), this));
    layout->addWidget(Text(tr("We have created an error report that you can send to us. We will treat this report "
                              "confidential and anonymous. Please send this report via e-mail to") +
                               QLatin1Char(' ') + SupportAddress(),
                           this));
    layout->addWidget(Text(tr("To see what data this error report contains, click on \"Show Error Details\"."), this));

    auto *buttons = new QDialogButtonBox(this);
    auto *details = buttons->addButton(tr("Show Error Details"), QDialogButtonBox::ActionRole);
    details->setObjectName(QStringLiteral("1409"));
    auto *save = buttons->addButton(tr("&Save Error Report"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("IDOK"));
    save->setDefault(true);
    auto *cancel = buttons->addButton(tr("&Cancel"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("IDCANCEL"));
    connect(details, &QPushButton::clicked, this, &CErrorReportDlg::OnShowDetails);
    connect(save, &QPushButton::clicked, this, &CErrorReportDlg::OnSave);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(480);
}

bool CErrorReportDlg::WriteReportZip(const QString &path, int *error) const {
    return WriteZipArchive(path, m_files, error);
}

QString CErrorReportDlg::DetailsText() const {
    // Only the text report is shown; a dump is no text, even when it is all that was written.
    if (m_textPath.isEmpty())
        return QString();
    QFile file(m_textPath);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text;
    for (QByteArray line : file.readAll().split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        if (!line.isEmpty())
            text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    }
    return text;
}

void CErrorReportDlg::OnShowDetails() {
    CErrorReportDetails details(DetailsText(), this);
    details.exec();
}

void CErrorReportDlg::OnSave() {
    QFileDialog chooser(this, QString(), QString(), tr("ZIP-Archive (*.zip)"));
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(QStringLiteral("zip"));
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) {
        reject();
        return;
    }
    const QString path = chooser.selectedFiles().constFirst();
    int error = 0;
    if (!WriteReportZip(path, &error)) {
        // The user may choose another place; the report is not lost yet.
        ShowSystemError(error, path);
        return;
    }
    OpenWithShell(QString::fromLatin1(kSupportMail));
    accept();
}
