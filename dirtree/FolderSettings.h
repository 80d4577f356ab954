// What the folder tree shows besides the CD drives: FOLDER/Folder with its first-start default.
#pragma once

#include <QString>

// The folder list a new user starts with: the XDG music folder when it exists, else the home folder.
QString FirstStartFolderList();

// FOLDER/Folder; the first-start list while the key was never written. A stored empty list stays empty.
QString StoredFolderList();
