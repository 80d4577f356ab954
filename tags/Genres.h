// Genre names of ID3 tags and the text a TCON frame stores for them.
#pragma once

#include <QString>

constexpr int kGenreCount = 145;

// The name of genre index 0..144, empty outside.
QString GenreName(int index);

// The text stored for a genre name: "(%d)" of its index (exact, case-sensitive match), "(RX)" for
// "Remix", "(CR)" for "Cover", any other text as it is.
QString GenreToTcon(const QString &name);

// The name shown for a stored text: with parentheses the part between the first "(" and the first ")"
// is "RX", "CR" or a number (0..144 a name, anything else "Unbekannt"); without them the text itself.
QString TconToGenre(const QString &text);
