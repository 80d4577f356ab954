// Tags around the audio: their sizes, and the display title from the artist and title fields.
#include "InSorb.h"

#include <taglib/apefooter.h>
#include <taglib/apetag.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Cuts UTF-8 text to at most max bytes without splitting a character.
std::string CutUtf8(const std::string &text, size_t max) {
    if (text.size() <= max)
        return text;
    size_t cut = max;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

} // namespace

unsigned long Id3v2TagSize(const unsigned char *b, unsigned long count) {
    if (count < 10 || std::memcmp(b, "ID3", 3) != 0 || b[3] == 0xFF || b[4] == 0xFF)
        return 0;
    if ((b[6] | b[7] | b[8] | b[9]) & 0x80)
        return 0; // not a synchsafe size
    const unsigned long size = (unsigned long)b[6] << 21 | (unsigned long)b[7] << 14 | (unsigned long)b[8] << 7 | b[9];
    const bool footer = b[3] >= 4 && (b[5] & 0x10);
    return 10 + size + (footer ? 10 : 0);
}

int ReadTitleTags(TitleItem *item) {
    std::lock_guard lock(TagLock());
    TagLib::MPEG::File file(item->pszPath, false);
    if (!file.isOpen() || !file.isValid())
        return 0;

    if (item->bUseTags) {
        const TagLib::Tag *tag = file.tag();
        const std::string artist = tag ? tag->artist().to8Bit(true) : std::string();
        const std::string title = tag ? tag->title().to8Bit(true) : std::string();
        std::string text;
        if (!artist.empty() && !title.empty())
            text = artist + " - " + title;
        else if (!title.empty())
            text = "Unknown - " + title;
        else if (!artist.empty())
            text = artist + " - Unknown";
        if (!text.empty()) {
            text = CutUtf8(text, TITLE_TEXT_SIZE - 1);
            std::memcpy(item->szTitle, text.c_str(), text.size() + 1);
        }
    }

    unsigned long front = 0;
    if (file.hasID3v2Tag())
        front = file.ID3v2Tag()->header()->completeTagSize();
    unsigned long back = 0;
    if (file.hasID3v1Tag())
        back += 128;
    if (file.hasAPETag())
        back += file.APETag()->footer()->completeTagSize();
    item->dwDataStart = static_cast<uint32_t>(front);
    item->dwDataEnd = static_cast<uint32_t>(back);
    return 1;
}
