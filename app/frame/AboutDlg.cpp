// The About dialog on white, with the versions of everything Melvo is made of.
#include "AboutDlg.h"

#include "AboutInfo.h"
#include "DesktopTools.h"
#include "Helpers.h"
#include "Messages.h"
#include "PluginHost.h"
#include "registry/Registry.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QPlainTextEdit *MakeBox(const QString &title, int id, QWidget *parent, QGridLayout *grid, int row) {
    auto *group = new QGroupBox(title, parent);
    auto *layout = new QVBoxLayout(group);
    auto *edit = new QPlainTextEdit(group);
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(edit);
    grid->addWidget(group, row, 0, 1, 2);
    return edit;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget *parent, const QString &programFolder) : QDialog(parent) {
    setWindowTitle(LoadStringRes(100));
    // Dialog and controls on white.
    QPalette white = palette();
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button})
        white.setColor(role, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto *grid = new QGridLayout(this);
    m_pPicture = new QLabel(this);
    m_pPicture->setObjectName(QStringLiteral("1415"));
    const QPixmap picture = RegistryBitmap(174);
    m_pPicture->setPixmap(picture.scaledToWidth(qMin(picture.width(), 400), Qt::SmoothTransformation));
    grid->addWidget(m_pPicture, 0, 0, 1, 2, Qt::AlignHCenter);

    m_pVersion = new QLabel(LoadStringRes(61298).replace(QLatin1String("%s"), QLatin1String("2.71")), this);
    m_pVersion->setObjectName(QStringLiteral("1343"));
    grid->addWidget(m_pVersion, 1, 0, 1, 2);

    m_pHomepage = MakeLink(QString::fromLatin1(kHomepage), QString::fromLatin1(kHomepage), 1004);
    const QString mail = QString::fromLatin1(kSupportMail);
    m_pMail = MakeLink(mail.section(QLatin1Char(':'), 1), mail, 1024);
    grid->addWidget(m_pHomepage, 2, 0);
    grid->addWidget(m_pMail, 2, 1);

    m_pGeneral = MakeBox(tr("General"), 1300, this, grid, 3);
    m_pPlugins = MakeBox(tr("Plug-ins"), 1299, this, grid, 4);
    m_pGeneral->setPlainText(GeneralVersionLines(programFolder.isEmpty() ? GetProgramFolder(true) : programFolder));
    m_pPlugins->setPlainText(PluginVersionLines(PluginTable()));
    // Tall enough for every line without scrolling, up to a screenful.
    for (QPlainTextEdit *box : {m_pGeneral, m_pPlugins}) {
        const int lines = std::clamp(int(box->document()->blockCount()), 4, 16);
        box->setMinimumHeight(box->fontMetrics().lineSpacing() * (lines + 1) + 2 * box->frameWidth());
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(tr("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    grid->addWidget(buttons, 5, 0, 1, 2);
}

QLabel *CAboutDlg::MakeLink(const QString &text, const QString &target, int id) {
    auto *link =
        new QLabel(QStringLiteral("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), text.toHtmlEscaped()), this);
    link->setObjectName(QString::number(id));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // The program's own way to open a link, with its fallback to the browser of ".htm".
    connect(link, &QLabel::linkActivated, this, [](const QString &address) { OpenWithShell(address); });
    bool bHand = false;
    const QCursor hand = RegistryCursor(207, &bHand);
    link->setCursor(bHand ? hand : QCursor(Qt::PointingHandCursor));
    return link;
}
