// One message routine: string lookup, composition and the sink that shows the result.
#include "Messages.h"

#include "StringTable.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::atomic<MessageSink *> g_sink{nullptr};

int AskWithMessageBox(const QString &text, unsigned type) {
    QMessageBox::StandardButtons buttons;
    switch (type & 0x0F) {
    case MB_OKCANCEL:
        buttons = QMessageBox::Ok | QMessageBox::Cancel;
        break;
    case MB_YESNOCANCEL:
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case MB_YESNO:
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    default:
        buttons = QMessageBox::Ok;
        break;
    }
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (type & 0xF0) {
    case MB_ICONERROR:
        icon = QMessageBox::Critical;
        break;
    case MB_ICONQUESTION:
        icon = QMessageBox::Question;
        break;
    case MB_ICONEXCLAMATION:
        icon = QMessageBox::Warning;
        break;
    case MB_ICONINFORMATION:
        icon = QMessageBox::Information;
        break;
    default:
        break;
    }
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Cancel:
        return IDCANCEL;
    default:
        return IDOK;
    }
}

int ShowByDefault(const QString &text, unsigned type) {
    auto *app = qobject_cast<QApplication *>(QCoreApplication::instance());
    if (!app)
        return AnswerWithoutGui(text, type);
    if (QThread::currentThread() == app->thread())
        return AskWithMessageBox(text, type);
    int answer = IDCANCEL;
    QMetaObject::invokeMethod(
        app, [&] { answer = AskWithMessageBox(text, type); }, Qt::BlockingQueuedConnection);
    return answer;
}

QString LoadOrComplain(unsigned id) {
    bool ok = false;
    QString text = LoadStringRes(id, &ok);
    if (!ok)
        ShowMessage(LoadStringRes(61275));
    return text;
}

} // namespace

int AnswerWithoutGui(const QString &text, unsigned type) {
    std::fprintf(stderr, "Melvo: %s\n", text.toLocal8Bit().constData());
    return CautiousAnswer(type);
}

int CautiousAnswer(unsigned type) {
    switch (type & 0x0F) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    default:
        return IDOK;
    }
}

void SetMessageSink(MessageSink *sink) {
    g_sink.store(sink);
}

MessageSink *CurrentMessageSink() {
    return g_sink.load();
}

int ShowMessage(const QString &text, unsigned type) {
    if (MessageSink *sink = g_sink.load())
        return sink->Show(text, type);
    return ShowByDefault(text, type);
}

namespace {

const StringEntry *FindString(unsigned id) {
    const auto table = BuiltInStrings();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const StringEntry &e, unsigned wanted) { return e.nID < wanted; });
    return it != table.end() && it->nID == id ? &*it : nullptr;
}

} // namespace

QString EnglishString(unsigned id, bool *ok) {
    const StringEntry *entry = FindString(id);
    if (ok)
        *ok = entry != nullptr;
    return entry ? QString::fromUtf8(entry->szText) : QString();
}

QString LoadStringRes(unsigned id, bool *ok) {
    const StringEntry *entry = FindString(id);
    if (ok)
        *ok = entry != nullptr;
    if (!entry)
        return QString();
    // A loaded language file translates by id; without one the English text comes back unchanged.
    const QByteArray key = QByteArray::number(id);
    return QCoreApplication::translate("Strings", entry->szText, key.constData());
}

QString SystemErrorText(int code) {
    char buffer[512];
    // GNU strerror_r may return a static text instead of filling the buffer.
    const char *text = strerror_r(code, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
}

QString ComposeError(unsigned nID, unsigned nID2, const QString &detail, int style, bool bAppendSystemError,
                     int systemError) {
    QString text;
    switch (style) {
    case ERR_STYLE_FULL:
        text = QStringLiteral("%1 %2: %3").arg(LoadOrComplain(nID), detail, LoadOrComplain(nID2));
        break;
    case ERR_STYLE_DETAIL:
        text = QStringLiteral("<%1>: %2").arg(detail, LoadOrComplain(nID));
        break;
    case ERR_STYLE_PLAIN:
        text = LoadOrComplain(nID);
        break;
    case ERR_STYLE_TWO_IDS:
        text = LoadOrComplain(nID) + LoadOrComplain(nID2);
        break;
    case ERR_STYLE_TEXT_DETAIL:
        text = QStringLiteral("%1 %2").arg(LoadOrComplain(nID), detail);
        break;
    default:
        break;
    }
    if (bAppendSystemError)
        text += QStringLiteral(" %1 (Error Code: %2)").arg(SystemErrorText(systemError)).arg(systemError);
    return text;
}

int ShowError(unsigned nID, unsigned nID2, const QString &detail, int style, bool bAppendSystemError, unsigned nType) {
    const int systemError = errno; // before anything else can overwrite it
    return ShowMessage(ComposeError(nID, nID2, detail, style, bAppendSystemError, systemError), nType);
}

int ShowSystemError(int code, const QString &context) {
    const QString text =
        context.isEmpty() ? QStringLiteral("%1 (Error Code: %2)").arg(SystemErrorText(code)).arg(code)
                          : QStringLiteral("<%1>\n%2 (Error Code: %3)").arg(context, SystemErrorText(code)).arg(code);
    return ShowMessage(text, MB_OK | MB_ICONEXCLAMATION);
}
