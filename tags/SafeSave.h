// Rewriting a file the user owns: a copy beside it takes the change and then replaces it in one rename,
// so a crash or a full disk never leaves a half-written file in its place.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

// Which file a path names and how it looked: a save compares it to notice changes made by others.
struct FileStamp {
    bool bValid = false;
    uint64_t nDevice = 0, nInode = 0;
    int64_t nSize = 0, nModifiedNs = 0;
    bool operator==(const FileStamp &) const = default;
};
FileStamp StampOf(const QString &path);

// Copies the file beside itself, lets edit change the copy (by its path), gives the copy the original's
// permissions and owner and renames it over the original (symbolic links are followed: the file they name
// is replaced). False when anything fails, with errno in *error; the original is untouched then and the
// copy is gone. A file the user may not write is refused (EACCES), as writing it in place would be.
bool ReplaceThroughCopy(const QString &path, const std::function<bool(const QString &copy)> &edit,
                        int *error = nullptr);

// At start-up: removes the copies of saves that were killed before they finished (they are noted in a
// journal in the data folder while they exist).
void CleanUpInterruptedSaves();
QString InterruptedSavesJournal();

// For tests: called at each step of ReplaceThroughCopy.
enum class SaveStep { CopyWritten, Edited, BeforeRename };
void SetSaveStepHook(std::function<void(SaveStep)> hook);
