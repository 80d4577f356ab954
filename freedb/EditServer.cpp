// The server dialog: rows of the list text, a pending new row, and the "sites" answer.
#include "EditServer.h"

#include "Messages.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

QPushButton *Button(const QString &text, const char *name, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QLineEdit *Field(const char *name, QWidget *parent) {
    auto *field = new QLineEdit(parent);
    field->setObjectName(QLatin1String(name));
    return field;
}

} // namespace

CEditServer::CEditServer(const QString &strText, const ServerEntry &current, QWidget *parent)
    : QDialog(parent), m_strText(strText), m_current(current) {
    setObjectName(QStringLiteral("EditServer"));
    setWindowTitle(LoadStringRes(241));
    auto *layout = new QVBoxLayout(this);
    m_pList = new QListWidget(this);
    m_pList->setObjectName(QStringLiteral("Servers"));
    layout->addWidget(m_pList);
    auto *buttons = new QHBoxLayout;
    QPushButton *retrieve = Button(tr("Retrieve Server List"), "Retrieve", this);
    QPushButton *add = Button(tr("Add New Server"), "Add", this);
    m_pDelete = Button(tr("Delete Server"), "Delete", this);
    for (QPushButton *b : {retrieve, add, m_pDelete})
        buttons->addWidget(b);
    layout->addLayout(buttons);
    auto *group = new QGroupBox(tr("Server Details"), this);
    auto *form = new QFormLayout(group);
    m_pDomain = Field("Domain", group);
    m_pPath = Field("Path", group);
    m_pPort = Field("Port", group);
    m_pLocation = Field("Location", group);
    form->addRow(tr("Domain:"), m_pDomain);
    form->addRow(tr("Path:"), m_pPath);
    form->addRow(tr("Port:"), m_pPort);
    form->addRow(tr("Location:"), m_pLocation);
    m_pSave = Button(tr("Save"), "Save", group);
    form->addRow(QString(), m_pSave);
    layout->addWidget(group);
    auto *box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(box);

    connect(m_pList, &QListWidget::currentRowChanged, this, &CEditServer::OnSelect);
    connect(add, &QPushButton::clicked, this, &CEditServer::OnAdd);
    connect(m_pSave, &QPushButton::clicked, this, &CEditServer::OnSave);
    connect(m_pDelete, &QPushButton::clicked, this, &CEditServer::OnDelete);
    connect(retrieve, &QPushButton::clicked, this, [this] { StartFreedbRequest(FREEDB_SITES, 255, 0, this); });
    Refill();
}

void CEditServer::Refill() {
    QSignalBlocker block(m_pList);
    m_bPending = false;
    ShowRow(ParseServerList(m_strText, nullptr, m_pList, m_current));
}

void CEditServer::DropPending() {
    QSignalBlocker block(m_pList);
    delete m_pList->takeItem(m_pList->count() - 1);
    m_bPending = false;
}

void CEditServer::OnSelect(int row) {
    if (m_bPending) {
        DropPending();
        if (row >= m_pList->count()) {
            row = m_pList->count() > 0 ? 0 : -1;
            QSignalBlocker block(m_pList);
            m_pList->setCurrentRow(row);
        }
    }
    ShowRow(row);
}

void CEditServer::ShowRow(int row) {
    QListWidgetItem *item = row >= 0 ? m_pList->item(row) : nullptr;
    const ServerEntry e = item ? ServerOfItem(item->data(Qt::UserRole)) : ServerEntry();
    m_pDomain->setText(e.strDomain);
    m_pPath->setText(e.strPath);
    m_pPort->setText(item ? QString::number(e.nPort) : QString());
    m_pLocation->setText(e.strLocation);
    if (item)
        m_current = e;
    const bool editable = e.dwFlag == 1;
    for (QLineEdit *field : {m_pDomain, m_pPath, m_pPort, m_pLocation})
        field->setReadOnly(!editable);
    m_pSave->setEnabled(editable);
    m_pDelete->setEnabled(editable);
}

void CEditServer::OnAdd() {
    if (m_bPending)
        DropPending();
    {
        QSignalBlocker block(m_pList);
        m_pList->addItem(LoadStringRes(50));
        m_pList->setCurrentRow(m_pList->count() - 1);
    }
    for (QLineEdit *field : {m_pDomain, m_pPath, m_pPort, m_pLocation})
        field->setReadOnly(false);
    m_pDomain->clear();
    m_pPort->setText(QStringLiteral("80"));
    m_pPath->setText(QStringLiteral("/~cddb/cddb.cgi"));
    m_pLocation->clear();
    m_pSave->setEnabled(true);
    m_pDelete->setEnabled(true);
    m_pDomain->setFocus();
    m_bPending = true;
}

void CEditServer::OnSave() {
    bool ok = false;
    const uint port = m_pPort->text().trimmed().toUInt(&ok);
    if (!ok || port < 1 || port > 65534) {
        ShowMessage(tr("Please enter an integer between 1 and 65534."), MB_OK | MB_ICONEXCLAMATION);
        m_pPort->setFocus();
        return;
    }
    ServerEntry e{m_pDomain->text().trimmed(), m_pPath->text().trimmed(), m_pLocation->text(), uint16_t(port), 1};
    // A field may not hold the separators of the list text.
    for (QString *field : {&e.strDomain, &e.strPath, &e.strLocation})
        field->remove(QLatin1Char('|')).remove(QLatin1Char('\n'));
    if (e.strDomain.isEmpty() || e.strPath.isEmpty()) {
        ShowError(53);
        return;
    }
    m_strText = AppendServerLine(m_strText, e);
    m_current = e;
    Refill();
}

void CEditServer::OnDelete() {
    if (m_bPending) {
        DropPending();
        QSignalBlocker block(m_pList);
        m_pList->setCurrentRow(FindServerRow(ReadServerList(m_strText).rows, m_current));
        ShowRow(m_pList->currentRow());
        return;
    }
    m_strText = RemoveServerRow(m_strText, m_pList->currentRow());
    Refill();
}

void CEditServer::OnFreedbAnswer(const QStringList &lines) {
    m_strText = ServerListFromSites(lines);
    Refill();
}
