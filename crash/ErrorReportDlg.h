// The report dialog a crashed Melvo shows through its report process, and its details dialog.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QStringList>

// The support address of the dialog texts and the mail link.
QString SupportAddress();

// A text in bold, for the lines the user must not miss.
class CStaticEx : public QLabel {
public:
    explicit CStaticEx(const QString &text, QWidget *parent = nullptr);
};

// The text report's lines in a read-only edit box (1409).
class CErrorReportDetails : public QDialog {
    Q_OBJECT
public:
    explicit CErrorReportDetails(const QString &text, QWidget *parent = nullptr);
};

class CErrorReportDlg : public QDialog {
    Q_OBJECT
public:
    // Either path may be empty: that file was not written. The list holds the written ones, the text
    // report first.
    CErrorReportDlg(const QString &textPath, const QString &dumpPath, QWidget *parent = nullptr);

    const QStringList &Files() const { return m_files; }
    // Packs the list's files into a new archive, the dump first.
    bool WriteReportZip(const QString &path, int *error = nullptr) const;
    // What "Show Error Details" shows: the text report's lines, each ending in CR LF.
    QString DetailsText() const;

private:
    void OnShowDetails();
    void OnSave();

    QString m_textPath;
    QStringList m_files;
};
