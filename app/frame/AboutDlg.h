// The About dialog: version, component libraries, plug-ins, picture and links.
#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    // The component libraries are looked for in the folder (default: the program folder).
    explicit CAboutDlg(QWidget *parent = nullptr, const QString &programFolder = QString());

    QLabel *VersionText() const { return m_pVersion; }
    QPlainTextEdit *General() const { return m_pGeneral; }
    QPlainTextEdit *Plugins() const { return m_pPlugins; }
    QLabel *Picture() const { return m_pPicture; }
    QLabel *HomepageLink() const { return m_pHomepage; }
    QLabel *MailLink() const { return m_pMail; }

private:
    QLabel *MakeLink(const QString &text, const QString &target, int id);

    QLabel *m_pVersion;
    QPlainTextEdit *m_pGeneral;
    QPlainTextEdit *m_pPlugins;
    QLabel *m_pPicture;
    QLabel *m_pHomepage;
    QLabel *m_pMail;
};
