// The progress window, the matches dialog and the main window's side of a freedb request.
#include "CFreedbRequest.h"

#include "Messages.h"
#include "Settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

CFreedbRequest::CFreedbRequest(QObject *targetObject, CFreedbTarget *target)
    : QDialog(nullptr), m_pTargetObject(targetObject), m_pTarget(target) {
    setObjectName(QStringLiteral("FreedbRequest"));
    setWindowTitle(LoadStringRes(242));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false); // a log left open must not keep the program running
    setModal(false);
    auto *layout = new QVBoxLayout(this);
    m_pLog = new QPlainTextEdit(this);
    m_pLog->setReadOnly(true);
    layout->addWidget(m_pLog);
    resize(360, 200);
    // Closing waits for the end of the request; the close button comes back with it.
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    move(GetSettingInt(QStringLiteral("FREEDB"), QStringLiteral("X-Pos"), 0),
         GetSettingInt(QStringLiteral("FREEDB"), QStringLiteral("Y-Pos"), 0));
    show();
}

void CloseFreedbRequestWindows() {
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<CFreedbRequest *>(w))
            delete window;
}

QString CFreedbRequest::Log() const {
    return m_pLog->toPlainText();
}

void CFreedbRequest::Append(const QString &text) {
    m_pLog->moveCursor(QTextCursor::End);
    m_pLog->insertPlainText(text + QStringLiteral("\n"));
    m_pLog->moveCursor(QTextCursor::End);
    m_pLog->verticalScrollBar()->setValue(m_pLog->verticalScrollBar()->maximum());
}

void CFreedbRequest::AddProgress(const QString &text) {
    Append(text);
    if (!m_bClosed)
        show();
}

void CFreedbRequest::AddAnswer(const QStringList &lines, bool bWithTarget) {
    for (const QString &line : lines)
        Append(line);
    if (bWithTarget) {
        if (m_pTargetObject && m_pTarget)
            m_pTarget->OnFreedbAnswer(lines);
        m_bCanClose = true;
        m_bClosed = true;
        close();
        return;
    }
    m_bCanClose = true;
    setWindowFlag(Qt::WindowCloseButtonHint, true);
    show(); // a changed flag hides the window
}

void CFreedbRequest::SavePosition() const {
    WriteSettingInt(QStringLiteral("FREEDB"), QStringLiteral("X-Pos"), pos().x());
    WriteSettingInt(QStringLiteral("FREEDB"), QStringLiteral("Y-Pos"), pos().y());
}

void CFreedbRequest::closeEvent(QCloseEvent *event) {
    if (!m_bCanClose) {
        event->ignore();
        return;
    }
    SavePosition();
    m_bClosed = true;
    event->accept();
}

void CFreedbRequest::reject() {
    if (m_bCanClose)
        close(); // Escape closes only what may close
}

CMultipleMatches::CMultipleMatches(const QStringList &lines, const std::shared_ptr<MatchChoice> &choice,
                                   QWidget *parent)
    : QDialog(parent), m_choice(choice) {
    setObjectName(QStringLiteral("MultipleMatches"));
    setWindowTitle(LoadStringRes(229));
    auto *layout = new QVBoxLayout(this);
    auto *text = new QLabel(tr("There are multiple matches in the database that relate to this CD. "
                               "Please choose the most appropriate!"),
                            this);
    text->setWordWrap(true);
    layout->addWidget(text);
    m_pList = new QTreeWidget(this);
    m_pList->setRootIsDecorated(false);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setHeaderLabels({LoadStringRes(52), LoadStringRes(49), LoadStringRes(51)});
    for (const QString &line : lines) {
        if (line == QLatin1String("."))
            break;
        QString readArg, title;
        uint32_t id = 0;
        const QString category = ParseMatchLine(line, &id, &readArg, &title);
        auto *row =
            new QTreeWidgetItem(m_pList, {title, category, QStringLiteral("%1").arg(id, 8, 16, QLatin1Char('0'))});
        row->setData(0, Qt::UserRole, readArg);
    }
    m_pList->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    layout->addWidget(m_pList);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    resize(480, 260);
}

CMultipleMatches::~CMultipleMatches() {
    m_choice->Complete(QString()); // a dialog that goes without an answer still frees the worker
}

void CMultipleMatches::done(int result) {
    QString readArg;
    if (result == QDialog::Accepted) {
        const QList<QTreeWidgetItem *> selected = m_pList->selectedItems();
        if (!selected.isEmpty())
            readArg = selected.first()->data(0, Qt::UserRole).toString();
    }
    m_choice->Complete(readArg);
    QDialog::done(result);
}

CFreedbFrameTarget::CFreedbFrameTarget(QWidget *window) : QObject(window), m_pWindow(window) {}

void CFreedbFrameTarget::OnFreedbMatches(const QStringList &lines, const std::shared_ptr<MatchChoice> &choice) {
    // Shown without a nested event loop: the worker waits for the answer, the window goes on.
    auto *dialog = new CMultipleMatches(lines, choice, m_pWindow);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
