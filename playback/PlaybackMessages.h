// Messages from the playback threads: the GUI thread shows them, and Stop never waits for an answer.
#pragma once

#include "Messages.h"

#include <QString>

#include <memory>

// ShowMessage for code that may run on a playback thread; elsewhere it is ShowMessage itself.
int ShowPlaybackMessage(const QString &text, unsigned type = MB_OK);

// The messages of one title's threads. A thread that shows a message waits for the user's answer,
// but Stop gives up on it first: the thread goes on as if the cautious button was pressed, and a
// message not yet on screen is dropped. So Stop can wait for the threads even while a box of theirs
// is open on the GUI thread below it.
class MessageGate {
public:
    MessageGate();
    ~MessageGate();
    MessageGate(const MessageGate &) = delete;
    MessageGate &operator=(const MessageGate &) = delete;

    void GiveUp();

    // Binds the calling thread to the gate while it lives (null: the thread shows messages as usual).
    class Scope {
    public:
        explicit Scope(MessageGate *gate);
        ~Scope();
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;

    private:
        MessageGate *m_pPrevious;
    };

    struct State;

private:
    friend int ShowPlaybackMessage(const QString &, unsigned);
    std::shared_ptr<State> m_pState; // shared with the boxes still to be answered
};
