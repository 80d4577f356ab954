// One user of the real melvo program: private XDG folders, a program folder, and runs that end by signal.
#pragma once

#include <QProcess>
#include <QTemporaryDir>

#include <memory>

class MelvoUser {
public:
    MelvoUser();
    ~MelvoUser();

    QString Config(const QString &name = QString()) const; // ~/.config/Melvo/name
    QString Data(const QString &name = QString()) const;   // the data folder of default.std
    QString Work(const QString &name = QString()) const;   // the user's own files
    QProcessEnvironment &Env() { return m_env; }

    // Runs from a copy of the program folder holding these plug-ins too.
    void UseProgramCopy(const QStringList &extraFiles);

    QProcess *Start(const QStringList &args = {"-nologo"});
    // A later start hands its activation over and ends: the first one answers in some event loop.
    bool WaitUntilAnswering();
    // Until the process has used less than 5 % of a core for a second (its lists are in and read).
    bool WaitUntilIdle(int msLimit = 60000);
    // SIGTERM (or another signal); true when the process ended within the time, which *msTaken gets.
    bool Signal(int signo, int msLimit, qint64 *msTaken = nullptr);
    QProcess *Process() const { return m_process.get(); }
    // Lines the test plug-ins wrote ("DeinitDLL in-exit-probe").
    QStringList PluginLog() const;

private:
    QTemporaryDir m_dir;
    QProcessEnvironment m_env;
    QString m_strProgram;
    std::unique_ptr<QProcess> m_process;
};

// Four kilobytes that are no text file of any kind.
QByteArray Noise(int seed, int size = 4096);
