// The desktop programs the main frame starts: the mixer, the manual, the web site and mail.
#pragma once

#include <QString>
#include <QStringList>

// The first installed mixer program of the desktop, or empty when there is none (the command is greyed).
QStringList DefaultVolumeControls();
QString FindVolumeControl(const QStringList &candidates = DefaultVolumeControls());

// Starts the mixer; a failure shows the system's text with the program as context.
bool StartVolumeControl(const QString &program);

// The HTML manual beside the program: "Melvo.html" in the program folder.
QString HelpFilePath();
// Opens the manual in the browser; 61290 when it is missing or cannot be opened.
bool OpenHelp();

inline constexpr const char *kHomepage = "https://melvo.example.org/";
inline constexpr const char *kSupportMail = "mailto:support@melvo.example.org";
