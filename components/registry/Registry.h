// The registry component: file associations with the desktop and the program's numbered pictures.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

#define REGISTRY_API __attribute__((visibility("default")))

// Associates (set = 1) or dissociates (set = 0) a key with Melvo: "AudioCD" or an extension with its
// dot (".mp3"). The icon text is "path,index" or empty. Returns nonzero on success.
REGISTRY_API int SetAssociation(int set, const char *key, const char *description, const char *icon);

// Nonzero when Melvo is the user's default for the key now.
REGISTRY_API int CompareValues(const char *key);

// The command of the program associated with an extension (".htm"), empty when there is none. The
// text belongs to the component and stays valid until the calling thread's next call.
REGISTRY_API const char *GetAssociatedProgramm(const char *extension);

// The executable the associations start; by default the running program.
REGISTRY_API void SetAssociationProgram(const char *executablePath);

#ifdef __cplusplus
}

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// Pictures by number; a number the component does not have gives a null picture.
REGISTRY_API QPixmap RegistryBitmap(int id);
REGISTRY_API QIcon RegistryIcon(int id);
// Null-shaped (Qt::ArrowCursor) with *found = false when the number is unknown.
REGISTRY_API QCursor RegistryCursor(int id, bool *found = nullptr);
#endif
