// "Choose Tag": a prompt, a drop-down list of tag-type names, OK and Cancel.
#include "ChooseTag.h"

#include "Messages.h"
#include "TagObject.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CChooseTag::CChooseTag(Purpose purpose, const QStringList &names, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("CChooseTag"));
    setWindowTitle(LoadStringRes(purpose == ForAdding ? 61321 : 61320));
    m_pPrompt = new QLabel(LoadStringRes(purpose == ForAdding ? 61318 : 61319), this);
    m_pPrompt->setWordWrap(true);
    m_pList = new QComboBox(this);
    m_pList->addItems(names);
    m_pList->setCurrentIndex(names.isEmpty() ? -1 : 0);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CChooseTag::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CChooseTag::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pPrompt);
    layout->addWidget(m_pList);
    layout->addWidget(buttons);
}

int CChooseTag::exec() {
    if (m_pList->count() == 0)
        return QDialog::Rejected;
    return QDialog::exec();
}

void CChooseTag::accept() {
    if (m_pList->currentIndex() < 0) {
        ShowError(11);
        m_pList->setFocus();
        return;
    }
    const QString name = m_pList->currentText();
    m_nChosen = -1;
    for (int i = 0; i < 2; ++i)
        if (TagTypeName(i) == name)
            m_nChosen = i;
    QDialog::accept();
}
