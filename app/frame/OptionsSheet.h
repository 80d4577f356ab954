// The options sheet: the option pages in their fixed order, OK and Cancel.
#pragma once

#include <QDialog>
#include <QList>

class COptionPage;
class QTabWidget;

class COptionsSheet : public QDialog {
    Q_OBJECT
public:
    explicit COptionsSheet(QWidget *parent = nullptr);

    QTabWidget *Pages() const { return m_pPages; }
    QList<COptionPage *> OptionPages() const { return m_pages; }

    void accept() override;
    void reject() override;

private:
    void AddPage(COptionPage *page);

    QTabWidget *m_pPages;
    QList<COptionPage *> m_pages;
};
