// The write check of a tag file: playback, write protection, changes made by others.
#include "TagContext.h"

#include "Messages.h"

#include <QFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

TagContext::TagContext(const QString &path, TitlePlayback *playback)
    : m_strPath(path), m_pPlayback(playback), m_stamp(StampOf(path)) {}

bool TagContext::CheckWritable() {
    if (m_pPlayback && m_pPlayback->IsPlaying() && m_pPlayback->CurrentPath() == m_strPath) {
        if (ShowError(61316, 0, m_strPath, ERR_STYLE_DETAIL, false, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        m_pPlayback->StopPlayback();
        m_bPlaybackStopped = true;
    }
    // Read-only: nobody has write permission (what a read-only attribute is elsewhere; it holds for root
    // too), or we lack it.
    const QByteArray native = QFile::encodeName(m_strPath);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0)
        return true; // the write itself will report what is wrong
    const bool bReadOnly = (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                           (::access(native.constData(), W_OK) != 0 && errno == EACCES);
    if (bReadOnly) {
        if (ShowError(61210, 0, m_strPath, ERR_STYLE_DETAIL, false, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        if (::chmod(native.constData(), st.st_mode | S_IWUSR) != 0)
            return false;
        return ::access(native.constData(), W_OK) == 0;
    }
    return true;
}

bool TagContext::ConfirmUnchangedOnDisk() {
    if (StampOf(m_strPath) == m_stamp)
        return true;
    return ShowError(61360, 0, m_strPath, ERR_STYLE_DETAIL, false, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool TagContext::Replace(const std::function<bool(const QString &)> &edit, int *error) {
    if (!ReplaceThroughCopy(m_strPath, edit, error))
        return false;
    m_stamp = StampOf(m_strPath);
    return true;
}

void TagContext::RestartPlayback() {
    if (!m_bPlaybackStopped)
        return;
    m_bPlaybackStopped = false;
    if (m_pPlayback)
        m_pPlayback->RestartPlayback();
}
