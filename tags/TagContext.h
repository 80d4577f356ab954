// What the title information dialog shares with its tag pages: the file, its write check, playback.
#pragma once

#include "SafeSave.h"

#include <QString>

// The player as the tag pages and renaming see it.
class TitlePlayback {
public:
    virtual ~TitlePlayback() = default;
    // The path of the player's current title (empty when none) and whether it is playing (not paused).
    virtual QString CurrentPath() const = 0;
    virtual bool IsPlaying() const = 0;
    virtual void StopPlayback() = 0;
    // Plays again the title that StopPlayback stopped.
    virtual void RestartPlayback() = 0;
};

class TagContext {
public:
    // playback may be null (nothing plays then). The file's state is taken now: a later save asks before
    // it writes over what another program changed in the meantime.
    TagContext(const QString &path, TitlePlayback *playback);

    QString Path() const { return m_strPath; }
    // After a rename: the same file under a new name.
    void SetPath(const QString &path) { m_strPath = path; }

    // 1 when the file may be written now: asks to stop playback of it (61316) and to lift its write
    // protection (61210).
    bool CheckWritable();
    // True when the file is as it was, or the user wants to write anyway.
    bool ConfirmUnchangedOnDisk();
    // Writes through a copy (ReplaceThroughCopy) and takes the written file as the new state.
    bool Replace(const std::function<bool(const QString &copy)> &edit, int *error = nullptr);

    bool PlaybackStopped() const { return m_bPlaybackStopped; }
    // Starts playback again when a write check stopped it.
    void RestartPlayback();

private:
    QString m_strPath;
    TitlePlayback *m_pPlayback;
    FileStamp m_stamp;
    bool m_bPlaybackStopped = false;
};
