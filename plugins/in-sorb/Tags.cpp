// Tags around the audio: their sizes, and the display title from the artist and title fields.
#include "InSorb.h"
#include "MMFile.h"
#include "MelvoPluginHost.h"

#include <taglib/apefooter.h>
#include <taglib/apetag.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

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

// Latin-1 bytes of a tag as UTF-8, read in the code page the program's user chose (plain Latin-1 when the
// program offers no choice).
std::string FromLatin1Bytes(const unsigned char *p, size_t n) {
    static const auto decode =
        reinterpret_cast<PFN_MelvoHostDecodeTagText>(dlsym(RTLD_DEFAULT, MELVO_HOST_DECODE_TAG_TEXT));
    bool ascii = true;
    for (size_t i = 0; i < n && ascii; ++i)
        ascii = p[i] < 0x80;
    if (ascii)
        return std::string(reinterpret_cast<const char *>(p), n);
    if (decode) {
        std::string out(4 * n + 1, '\0');
        const unsigned long length = decode(reinterpret_cast<const char *>(p), n, out.data(), out.size());
        if (length != static_cast<unsigned long>(-1)) {
            out.resize(length);
            return out;
        }
    }
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        if (p[i] < 0x80)
            out += char(p[i]);
        else
            out += char(0xC0 | p[i] >> 6), out += char(0x80 | (p[i] & 0x3F));
    }
    return out;
}

// A Latin-1 text as TagLib holds it (one character per stored byte).
std::string FromLatin1(const TagLib::String &text) {
    const std::string bytes = text.to8Bit(false);
    return FromLatin1Bytes(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size());
}

// The artist or title as TagLib's tag union finds it (ID3v2, then APE, then ID3v1), with Latin-1 texts
// read in the chosen code page.
std::string TagText(TagLib::MPEG::File &file, const char *frameId) {
    const bool artist = std::strcmp(frameId, "TPE1") == 0;
    if (TagLib::ID3v2::Tag *v2 = file.ID3v2Tag()) {
        const TagLib::ID3v2::FrameList &frames = v2->frameList(frameId);
        if (!frames.isEmpty() && !frames.front()->toString().isEmpty()) {
            const auto *text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame *>(frames.front());
            if (text && text->textEncoding() == TagLib::String::Latin1)
                return FromLatin1(text->toString());
            return frames.front()->toString().to8Bit(true);
        }
    }
    if (TagLib::APE::Tag *ape = file.APETag()) {
        const TagLib::String text = artist ? ape->artist() : ape->title();
        if (!text.isEmpty())
            return text.to8Bit(true);
    }
    if (TagLib::ID3v1::Tag *v1 = file.ID3v1Tag()) {
        const TagLib::String text = artist ? v1->artist() : v1->title();
        if (!text.isEmpty())
            return FromLatin1(text);
    }
    return std::string();
}

// Text of an ID3v2 text frame as UTF-8; false for what only the full tag reader should judge
// (several values, broken UTF-16).
bool DecodeText(const unsigned char *p, size_t n, std::string *out) {
    if (n < 1)
        return false;
    const unsigned enc = p[0];
    ++p, --n;
    out->clear();
    auto put = [out](unsigned c) {
        if (c < 0x80) {
            *out += char(c);
        } else if (c < 0x800) {
            *out += char(0xC0 | c >> 6), *out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            *out += char(0xE0 | c >> 12), *out += char(0x80 | (c >> 6 & 0x3F)), *out += char(0x80 | (c & 0x3F));
        } else {
            *out += char(0xF0 | c >> 18), *out += char(0x80 | (c >> 12 & 0x3F));
            *out += char(0x80 | (c >> 6 & 0x3F)), *out += char(0x80 | (c & 0x3F));
        }
    };
    if (enc == 0 || enc == 3) {
        while (n > 0 && p[n - 1] == 0)
            --n;
        if (std::memchr(p, 0, n))
            return false;
        if (enc == 3) {
            // Only well-formed UTF-8 is taken as it stands; the full reader repairs the rest.
            for (size_t i = 0; i < n;) {
                const unsigned c = p[i];
                const size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
                if (len == 0 || (len > 1 && c < 0xC2) || i + len > n)
                    return false;
                for (size_t k = 1; k < len; ++k)
                    if ((p[i + k] & 0xC0) != 0x80)
                        return false;
                i += len;
            }
            out->assign(reinterpret_cast<const char *>(p), n);
            return true;
        }
        *out = FromLatin1Bytes(p, n);
        return true;
    }
    if (enc != 1 && enc != 2)
        return false;
    bool bigEndian = enc == 2;
    if (enc == 1) {
        if (n < 2 || !((p[0] == 0xFF && p[1] == 0xFE) || (p[0] == 0xFE && p[1] == 0xFF)))
            return false;
        bigEndian = p[0] == 0xFE;
        p += 2, n -= 2;
    }
    n &= ~size_t(1);
    while (n >= 2 && p[n - 1] == 0 && p[n - 2] == 0)
        n -= 2;
    for (size_t i = 0; i < n; i += 2) {
        unsigned u = bigEndian ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i]);
        if (u == 0)
            return false;
        if (u >= 0xD800 && u < 0xDC00) {
            if (i + 3 >= n)
                return false;
            const unsigned low = bigEndian ? (p[i + 2] << 8 | p[i + 3]) : (p[i + 3] << 8 | p[i + 2]);
            if (low < 0xDC00 || low >= 0xE000)
                return false;
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (u >= 0xDC00 && u < 0xE000) {
            return false;
        }
        put(u);
    }
    return true;
}

// Bytes of the open file, the first few kilobytes read once: a plain tag's frames lie there.
class FileBytes {
public:
    FileBytes(void *file, const char *path) : m_file(file), m_path(path) {
        const unsigned long got = ReadFromMMFile(file, m_head, sizeof m_head, path, 0, 0);
        m_headSize = got == ~0ul ? 0 : got;
    }
    bool Read(unsigned long offset, unsigned char *to, unsigned long count) const {
        if (offset <= m_headSize && count <= m_headSize - offset) {
            std::memcpy(to, m_head + offset, count);
            return true;
        }
        return ReadFromMMFile(m_file, to, count, m_path, offset, 0) == count;
    }

private:
    void *m_file;
    const char *m_path;
    unsigned char m_head[4096];
    unsigned long m_headSize = 0;
};

// The common case without the full tag reader: an ID3v2.3/2.4 tag at the start holding both artist
// and title in plain frames, and no APE tag. Anything else is left to TagLib (false).
bool ReadSimpleTags(void *file, const char *path, std::string *artist, std::string *title, unsigned long *front,
                    unsigned long *back) {
    const FileBytes bytes(file, path);
    unsigned char head[10];
    if (!bytes.Read(0, head, 10) || std::memcmp(head, "ID3", 3) != 0)
        return false;
    const unsigned version = head[3];
    if ((version != 3 && version != 4) || (head[5] & 0xC0)) // unsynchronised or extended header
        return false;
    const unsigned long complete = Id3v2TagSize(head, 10);
    if (complete == 0)
        return false;
    const unsigned long end = 10 + ((unsigned long)head[6] << 21 | head[7] << 14 | head[8] << 7 | head[9]);
    unsigned long pos = 10;
    bool haveArtist = false, haveTitle = false;
    std::vector<unsigned char> body;
    while (pos + 10 <= end && !(haveArtist && haveTitle)) {
        unsigned char h[10];
        if (!bytes.Read(pos, h, 10) || h[0] == 0)
            break;
        const unsigned long size =
            version == 4 ? ((h[4] & 0x7Ful) << 21 | (h[5] & 0x7Ful) << 14 | (h[6] & 0x7Ful) << 7 | (h[7] & 0x7Ful))
                         : ((unsigned long)h[4] << 24 | h[5] << 16 | h[6] << 8 | h[7]);
        if (size == 0 || pos + 10 + size > end)
            break;
        const bool isTitle = std::memcmp(h, "TIT2", 4) == 0, isArtist = std::memcmp(h, "TPE1", 4) == 0;
        if ((isTitle && !haveTitle) || (isArtist && !haveArtist)) {
            // Compressed, encrypted, grouped or unsynchronised frames need the full reader.
            if (version == 4 ? (h[9] & 0x4F) : (h[9] & 0xE0))
                return false;
            body.resize(size);
            if (!bytes.Read(pos + 10, body.data(), size))
                return false;
            if (!DecodeText(body.data(), size, isTitle ? title : artist))
                return false;
            (isTitle ? haveTitle : haveArtist) = true;
        }
        pos += 10 + size;
    }
    if (!haveArtist || !haveTitle || artist->empty() || title->empty())
        return false;
    // What lies behind the audio: an ID3v1 tag is counted, an APE tag goes to the full reader.
    unsigned char tail[160] = {};
    const unsigned long fileSize = GetMMFileSize(file, path, 0);
    const unsigned long tailSize = fileSize < 160 ? fileSize : 160;
    if (!bytes.Read(fileSize - tailSize, tail, tailSize))
        return false;
    for (unsigned long i = 0; i + 8 <= tailSize; ++i)
        if (std::memcmp(tail + i, "APETAGEX", 8) == 0)
            return false;
    *front = complete;
    *back = tailSize >= 128 && std::memcmp(tail + tailSize - 128, "TAG", 3) == 0 ? 128 : 0;
    return true;
}

void SetDisplayTitle(TitleItem *item, const std::string &artist, const std::string &title) {
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

int ReadTitleTags(TitleItem *item, void *file) {
    {
        // Most files carry a plain ID3v2 tag; building TagLib's whole frame list for two texts was
        // half the cost of reading a large playlist.
        std::string artist, title;
        unsigned long front = 0, back = 0;
        if (file && ReadSimpleTags(file, item->pszPath, &artist, &title, &front, &back)) {
            if (item->bUseTags)
                SetDisplayTitle(item, artist, title);
            item->dwDataStart = static_cast<uint32_t>(front);
            item->dwDataEnd = static_cast<uint32_t>(back);
            return 1;
        }
    }
    std::lock_guard lock(TagLock());
    TagLib::MPEG::File tagged(item->pszPath, false);
    if (!tagged.isOpen() || !tagged.isValid())
        return 0;

    if (item->bUseTags)
        SetDisplayTitle(item, TagText(tagged, "TPE1"), TagText(tagged, "TIT2"));

    unsigned long front = 0;
    if (tagged.hasID3v2Tag())
        front = tagged.ID3v2Tag()->header()->completeTagSize();
    unsigned long back = 0;
    if (tagged.hasID3v1Tag())
        back += 128;
    if (tagged.hasAPETag())
        back += tagged.APETag()->footer()->completeTagSize();
    item->dwDataStart = static_cast<uint32_t>(front);
    item->dwDataEnd = static_cast<uint32_t>(back);
    return 1;
}
