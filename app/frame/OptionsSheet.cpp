// The options sheet: each subsystem's page in the sheet's order; OK asks every page before the sheet closes.
#include "OptionsSheet.h"

#include "Messages.h"
#include "OptConnection.h"
#include "OptFreeDB.h"
#include "OptFiletypes.h"
#include "OptFolder.h"
#include "OptGeneral.h"
#include "OptGrabbing.h"
#include "OptView.h"
#include "OptionPage.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

COptionsSheet::COptionsSheet(QWidget *parent) : QDialog(parent) {
    setWindowTitle(LoadStringRes(1));
    auto *layout = new QVBoxLayout(this);
    m_pPages = new QTabWidget(this);
    m_pPages->setObjectName(QStringLiteral("OptionsPages"));
    layout->addWidget(m_pPages);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // The order is fixed: General, View, freedb, Connection, CD Drives, Folders, File types.
    // Each subsystem adds its page here as it lands.
    AddPage(new COptGeneral(this));
    AddPage(new COptView(this));
    AddPage(new COptFreeDB(this));
    AddPage(new COptConnection(this));
    AddPage(new COptGrabbing(this));
    AddPage(new COptFolder(this));
    AddPage(new COptFiletypes(this));
}

void COptionsSheet::AddPage(COptionPage *page) {
    m_pages.append(page);
    m_pPages->addTab(page, page->windowTitle());
}

void COptionsSheet::accept() {
    for (COptionPage *page : m_pages)
        if (!page->OnOK()) {
            m_pPages->setCurrentWidget(page);
            return;
        }
    QDialog::accept();
}

void COptionsSheet::reject() {
    for (COptionPage *page : m_pages)
        page->OnCancel();
    QDialog::reject();
}
