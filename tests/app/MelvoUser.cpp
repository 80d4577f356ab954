// Runs of the real program for one private user.
#include "MelvoUser.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <QElapsedTimer>
#include <csignal>
#include <unistd.h>

MelvoUser::MelvoUser() : m_strProgram(QStringLiteral(MELVO_PROGRAM_DIR "/melvo")) {
    for (const char *sub : {"runtime", "config/Melvo", "data/Melvo/Melvo", "work"})
        QDir().mkpath(m_dir.filePath(sub));
    QFile::setPermissions(m_dir.filePath("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_env = QProcessEnvironment::systemEnvironment();
    m_env.insert("QT_QPA_PLATFORM", "offscreen");
    m_env.insert("SDL_AUDIODRIVER", "dummy");
    m_env.insert("XDG_RUNTIME_DIR", m_dir.filePath("runtime"));
    m_env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
    m_env.insert("XDG_DATA_HOME", m_dir.filePath("data"));
    m_env.insert("MELVO_TEST_PLUGIN_LOG", m_dir.filePath("plugins.log"));
}

MelvoUser::~MelvoUser() {
    if (m_process && m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

QString MelvoUser::Config(const QString &name) const {
    return m_dir.filePath("config/Melvo/" + name);
}
QString MelvoUser::Data(const QString &name) const {
    return m_dir.filePath("data/Melvo/Melvo/" + name);
}
QString MelvoUser::Work(const QString &name) const {
    return m_dir.filePath("work/" + name);
}

void MelvoUser::UseProgramCopy(const QStringList &extraFiles) {
    const QString folder = m_dir.filePath("program");
    QDir().mkpath(folder);
    QStringList files;
    for (const QFileInfo &info : QDir(QStringLiteral(MELVO_PROGRAM_DIR)).entryInfoList(QDir::Files))
        files << info.absoluteFilePath();
    files << extraFiles;
    // Hard links where the file system allows: a copy of a debug build is large.
    for (const QString &file : files) {
        const QString target = folder + '/' + QFileInfo(file).fileName();
        if (::link(QFile::encodeName(file).constData(), QFile::encodeName(target).constData()) != 0)
            QFile::copy(file, target);
    }
    m_strProgram = folder + "/melvo";
}

QProcess *MelvoUser::Start(const QStringList &args) {
    m_process = std::make_unique<QProcess>();
    m_process->setProcessEnvironment(m_env);
    m_process->setWorkingDirectory(Work());
    m_process->start(m_strProgram, args);
    m_process->waitForStarted(10000);
    return m_process.get();
}

bool MelvoUser::WaitUntilAnswering() {
    // The first start holds its lock from its first moments; a later one started before would wait.
    QElapsedTimer clock;
    clock.start();
    while (QDir(m_dir.filePath("runtime")).entryList({"*.lock"}, QDir::Files).isEmpty() && clock.elapsed() < 30000)
        QThread::msleep(20);
    QProcess later;
    later.setProcessEnvironment(m_env);
    later.setWorkingDirectory(Work());
    later.start(m_strProgram, {});
    return later.waitForFinished(60000) && later.exitCode() == 0 && m_process->state() == QProcess::Running;
}

namespace {
// CPU seconds the process has used, from /proc.
double CpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = stat.readAll().split(')').last().split(' ');
    // After the name: state is field 1, utime 12 and stime 13 (counting the leading empty one).
    return fields.size() > 13 ? (fields[12].toDouble() + fields[13].toDouble()) / double(::sysconf(_SC_CLK_TCK)) : -1;
}
} // namespace

bool MelvoUser::WaitUntilIdle(int msLimit) {
    QElapsedTimer clock;
    clock.start();
    double before = CpuSeconds(m_process->processId());
    while (clock.elapsed() < msLimit && m_process->state() == QProcess::Running) {
        QThread::msleep(1000);
        const double now = CpuSeconds(m_process->processId());
        if (now >= 0 && now - before < 0.05)
            return true;
        before = now;
    }
    return false;
}

bool MelvoUser::Signal(int signo, int msLimit, qint64 *msTaken) {
    QElapsedTimer clock;
    clock.start();
    ::kill(static_cast<pid_t>(m_process->processId()), signo);
    const bool bEnded = m_process->waitForFinished(msLimit);
    if (msTaken)
        *msTaken = clock.elapsed();
    return bEnded;
}

QStringList MelvoUser::PluginLog() const {
    QFile log(m_dir.filePath("plugins.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()).split('\n', Qt::SkipEmptyParts)
                                         : QStringList();
}

QByteArray Noise(int seed, int size) {
    QByteArray bytes(size, '\0');
    uint32_t x = 2463534242u + uint32_t(seed);
    for (char &c : bytes) {
        x ^= x << 13, x ^= x >> 17, x ^= x << 5;
        c = char(x);
    }
    return bytes;
}
