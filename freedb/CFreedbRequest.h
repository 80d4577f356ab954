// The windows of a freedb request: the progress log, the choice among several matches, and the main
// window's side of a request.
#pragma once

#include "FreedbRequest.h"

#include <QDialog>
#include <QPointer>

class QPlainTextEdit;
class QTreeWidget;

// "freedb Request": a modeless log of what the worker does and what the server answered.
class CFreedbRequest : public QDialog, public FreedbReceiver {
    Q_OBJECT
public:
    CFreedbRequest(QObject *targetObject, CFreedbTarget *target);

    QString Log() const;
    bool CanClose() const { return m_bCanClose; }

    // WM_FREEDB_PROGRESS: one line of text.
    void AddProgress(const QString &text);
    // WM_FREEDB_ANSWER: the lines go to the log; with the target they are handed on and the window
    // closes, without it the window stays for the user to read.
    void AddAnswer(const QStringList &lines, bool bWithTarget);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void Append(const QString &text);
    void SavePosition() const;

    QPlainTextEdit *m_pLog;
    QPointer<QObject> m_pTargetObject;
    CFreedbTarget *m_pTarget;
    bool m_bCanClose = false;
    bool m_bClosed = false; // what comes after the end is logged, but the window stays closed
};

// At program exit, after StopFreedbRequests: the logs still open go too.
void CloseFreedbRequestWindows();

// "Multiple Matches...": title, category and disc ID of each match; OK hands the chosen
// "category+discid" on.
class CMultipleMatches : public QDialog {
    Q_OBJECT
public:
    CMultipleMatches(const QStringList &lines, const std::shared_ptr<MatchChoice> &choice, QWidget *parent);
    ~CMultipleMatches() override;
    QTreeWidget *List() const { return m_pList; }

    void done(int result) override;

private:
    QTreeWidget *m_pList;
    std::shared_ptr<MatchChoice> m_choice;
};

// The main window's side: shows the matches and tells when a drive has new titles.
class CFreedbFrameTarget : public QObject, public CFreedbTarget {
    Q_OBJECT
public:
    explicit CFreedbFrameTarget(QWidget *window);
    void OnFreedbMatches(const QStringList &lines, const std::shared_ptr<MatchChoice> &choice) override;
    void OnFreedbNewTitles(const QString &strDrive) override { emit NewTitles(strDrive); }

signals:
    void NewTitles(const QString &strDrive);

private:
    QWidget *m_pWindow;
};
