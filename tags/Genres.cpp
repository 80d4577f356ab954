// The genre table: the ID3v1 list (0-79) and the extensions players added to it (80-144).
#include "Genres.h"

namespace {

const char *const kGenres[kGenreCount] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal", "New Age",
    "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial", "Alternative", "Ska",
    "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion",
    "Trance", "Classical", "Instrumental", "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "AlternRock",
    "Bass", "Soul", "Punk", "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic",
    "Darkwave", "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult",
    "Gangsta", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave", "Psychadelic",
    "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical",
    "Rock & Roll", "Hard Rock",
    // 80-144
    "Folk", "Folk/Rock", "National Folk", "Swing", "Fast Fusion", "Bebob", "Latin", "Revival", "Celtic", "Bluegrass",
    "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock", "Big Band",
    "Chorus", "Easy Listening", "Acoustic", "Humour", "Speech", "Chanson", "Opera", "Chamber Music", "Sonata",
    "Symphony", "Booty Bass", "Primus", "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore",
    "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A capella", "Euro-House",
    "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie", "BritPop", "Afro-Punk",
    "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover", "Contemporary Christian",
    "Christian Rock", "Merengue", "Salsa", "Trash Metal"};

} // namespace

QString GenreName(int index) {
    return index >= 0 && index < kGenreCount ? QString::fromLatin1(kGenres[index]) : QString();
}

QString GenreToTcon(const QString &name) {
    for (int i = 0; i < kGenreCount; ++i)
        if (name == QLatin1String(kGenres[i]))
            return QStringLiteral("(%1)").arg(i);
    if (name == QLatin1String("Remix"))
        return QStringLiteral("(RX)");
    if (name == QLatin1String("Cover"))
        return QStringLiteral("(CR)");
    return name;
}

QString TconToGenre(const QString &text) {
    if (!text.contains(QLatin1Char('(')) && !text.contains(QLatin1Char(')')))
        return text;
    // What lies between the first "(" and the first ")"; a missing one counts as the text's edge.
    const qsizetype open = text.indexOf(QLatin1Char('('));
    const qsizetype from = open < 0 ? 0 : open + 1;
    const qsizetype close = text.indexOf(QLatin1Char(')'));
    const QString inner = close >= from ? text.mid(from, close - from) : text.mid(from);
    if (inner == QLatin1String("RX"))
        return QStringLiteral("Remix");
    if (inner == QLatin1String("CR"))
        return QStringLiteral("Cover");
    // Read like atoi: blanks, a sign, then digits; no digits read as 0.
    qsizetype i = 0;
    while (i < inner.size() && inner[i].isSpace())
        ++i;
    bool bNegative = false;
    if (i < inner.size() && (inner[i] == QLatin1Char('-') || inner[i] == QLatin1Char('+')))
        bNegative = inner[i++] == QLatin1Char('-');
    qint64 number = 0;
    for (; i < inner.size() && inner[i] >= QLatin1Char('0') && inner[i] <= QLatin1Char('9') && number < 1000000; ++i)
        number = number * 10 + (inner[i].unicode() - '0');
    if (bNegative)
        number = -number;
    return number >= 0 && number < kGenreCount ? GenreName(int(number)) : QStringLiteral("Unbekannt");
}
