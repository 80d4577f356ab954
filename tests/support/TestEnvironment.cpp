// Temporary XDG folders and the recording message sink.
#include "TestEnvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>

ScopedXdgHome::ScopedXdgHome() : m_oldConfig(qgetenv("XDG_CONFIG_HOME")), m_oldData(qgetenv("XDG_DATA_HOME")) {
    QDir().mkpath(ConfigHome());
    QDir().mkpath(DataHome());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(ConfigHome()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(DataHome()));
}

ScopedXdgHome::~ScopedXdgHome() {
    qputenv("XDG_CONFIG_HOME", m_oldConfig);
    qputenv("XDG_DATA_HOME", m_oldData);
}

RecordingSink::RecordingSink() {
    SetMessageSink(this);
}
RecordingSink::~RecordingSink() {
    SetMessageSink(nullptr);
}

int RecordingSink::Show(const QString &text, unsigned type) {
    std::lock_guard lock(m_lock);
    m_texts << text;
    m_types << type;
    if (m_answers.empty())
        return IDOK;
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void RecordingSink::Answer(int answer) {
    std::lock_guard lock(m_lock);
    m_answers.push_back(answer);
}

QStringList RecordingSink::Texts() const {
    std::lock_guard lock(m_lock);
    return m_texts;
}

QList<unsigned> RecordingSink::Types() const {
    std::lock_guard lock(m_lock);
    return m_types;
}

void RecordingSink::Clear() {
    std::lock_guard lock(m_lock);
    m_texts.clear();
    m_types.clear();
}

MessageBoxCloser::MessageBoxCloser(QMessageBox::StandardButton button) {
    QObject::connect(&m_timer, &QTimer::timeout, [this, button] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *box = qobject_cast<QMessageBox *>(w); box && box->isVisible()) {
                m_strSeen = box->text();
                box->button(button)->click();
            }
    });
    m_timer.start(10);
}
