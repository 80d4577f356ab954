// The one way the program shows a message: string table lookup, composition styles, and a replaceable sink.
#pragma once

#include <QString>

// Message box types and answers keep the Windows numbering, so every caller speaks one vocabulary.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

// Where message texts end up. The default shows a message box on the GUI thread; tests install
// one that records the texts and answers as scripted.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual int Show(const QString &text, unsigned type) = 0;
};

// nullptr restores the default sink. The sink is not owned.
void SetMessageSink(MessageSink *sink);
// The sink set by SetMessageSink, or nullptr while the default one shows message boxes.
MessageSink *CurrentMessageSink();

// Shows a text through the current sink from any thread; a worker thread waits for the answer.
int ShowMessage(const QString &text, unsigned type = MB_OK);
// When nobody can be asked: the text goes to stderr and a question gets the answer that changes least.
int AnswerWithoutGui(const QString &text, unsigned type);
// OK, or the button that changes nothing.
int CautiousAnswer(unsigned type);

// The built-in English text of a string table entry; empty and *ok = false for an unknown id.
QString EnglishString(unsigned id, bool *ok = nullptr);

// The text of a string table entry in the current language. An unknown id gives an empty text
// and *ok = false.
QString LoadStringRes(unsigned id, bool *ok = nullptr);

// Composition styles of ShowError.
enum : int {
    ERR_STYLE_FULL = 0,        // "%s %s: %s"  text of id, detail, text of second id
    ERR_STYLE_DETAIL = 1,      // "<%s>: %s"   detail, text of id
    ERR_STYLE_PLAIN = 2,       // text of id alone
    ERR_STYLE_TWO_IDS = 3,     // "%s%s"       text of id, text of second id
    ERR_STYLE_TEXT_DETAIL = 4, // "%s %s"      text of id, detail
};

// Composes a message by style and shows it. With bAppendSystemError, the calling thread's last
// error (errno at the time of the call) is appended as " %s (Error Code: %d)".
int ShowError(unsigned nID, unsigned nID2 = 0, const QString &detail = QString(), int style = ERR_STYLE_PLAIN,
              bool bAppendSystemError = false, unsigned nType = MB_OK);

// The text ShowError would show, without showing it (shared by ShowError and its tests).
QString ComposeError(unsigned nID, unsigned nID2, const QString &detail, int style, bool bAppendSystemError,
                     int systemError);

// The system's text for an error number, with a context in angle brackets when there is one.
int ShowSystemError(int code, const QString &context);

// The system's own text for an error number.
QString SystemErrorText(int code);
