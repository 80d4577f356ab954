// What every test needs: its own XDG folders, and a message sink that records and answers as scripted.
#pragma once

#include "Messages.h"

#include <QMessageBox>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <deque>
#include <mutex>

// Points XDG_CONFIG_HOME and XDG_DATA_HOME at fresh temporary folders for its lifetime.
class ScopedXdgHome {
public:
    ScopedXdgHome();
    ~ScopedXdgHome();
    QString ConfigHome() const { return m_dir.path() + QStringLiteral("/config"); }
    QString DataHome() const { return m_dir.path() + QStringLiteral("/data"); }
    QString Root() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig, m_oldData;
};

// Installed for its lifetime; answers with the scripted answers in order, then with IDOK.
class RecordingSink : public MessageSink {
public:
    RecordingSink();
    ~RecordingSink() override;
    int Show(const QString &text, unsigned type) override;

    void Answer(int answer);
    QStringList Texts() const;
    QList<unsigned> Types() const;
    void Clear();

private:
    mutable std::mutex m_lock;
    QStringList m_texts;
    QList<unsigned> m_types;
    std::deque<int> m_answers;
};

// Answers real message boxes shown on the GUI thread by pressing the given button, and keeps the last
// text it saw; for tests of the default message routine.
class MessageBoxCloser {
public:
    explicit MessageBoxCloser(QMessageBox::StandardButton button);
    QString LastText() const { return m_strSeen; }

private:
    QTimer m_timer;
    QString m_strSeen;
};
