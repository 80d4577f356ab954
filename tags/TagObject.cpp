// ID3 tags over TagLib: the pages' frames of an ID3v2 tag, the fields of an ID3v1 tag.
#include "TagObject.h"

#include "Genres.h"
#include "TagEncoding.h"

#include <QFile>

#include <taglib/commentsframe.h>
#include <taglib/id3v1tag.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/id3v2header.h>
#include <taglib/id3v2synchdata.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <taglib/tfilestream.h>
#include <taglib/unknownframe.h>

using namespace TagLib;

namespace {

constexpr TagFrameInfo kFrames[] = {
    {TagFrame::Artist, "TPE1", 1238, true},     {TagFrame::Title, "TIT2", 1179, true},
    {TagFrame::Comment, "COMM", 1244, true},    {TagFrame::Album, "TALB", 1240, true},
    {TagFrame::Bpm, "TBPM", 1242, false},       {TagFrame::Composer, "TCOM", 1243, false},
    {TagFrame::Copyright, "TCOP", 1324, false}, {TagFrame::EncodedBy, "TENC", 1348, false},
    {TagFrame::Track, "TRCK", 1137, true},      {TagFrame::Year, "TYER", 1239, true},
    {TagFrame::Genre, "TCON", 1245, true},
};

// TagLib keeps the year of every version as TDRC and writes TYER again for ID3v2.3.
ByteVector MemoryFrameId(TagFrame frame) {
    if (frame == TagFrame::Year)
        return "TDRC";
    return kFrames[int(frame)].szFrameId;
}

template <typename> struct ArgOf;
template <typename C, typename A> struct ArgOf<bool (C::*)(A) const> { using type = A; };
// Names the frame header type that FrameFactory hands to its subclasses.
struct FactoryAccess : ID3v2::FrameFactory {
    using HeaderPtr = ArgOf<decltype(&FactoryAccess::updateFrame)>::type;
};

// Reads a frame's header, which TagLib keeps to the frames themselves.
struct FrameAccess : ID3v2::Frame {
    using ID3v2::Frame::header;
};

// TagLib writes encrypted and grouped frames back without their flag, which changes what they say (a
// text would read as noise).
bool WritesBackFaithfully(const ID3v2::Frame *frame) {
    const auto header = (frame->*(&FrameAccess::header))();
    return !header->encryption() && !header->groupingIdentity();
}

// "Discard when the tag is altered" is for frames a tagger does not know; TagLib drops every frame so
// marked, a title the page showed among them. Frames TagLib reads stay.
void KeepWhenAltered(ID3v2::Frame *frame) {
    if (!dynamic_cast<ID3v2::UnknownFrame *>(frame))
        (frame->*(&FrameAccess::header))()->setTagAlterPreservation(false);
}

// No real frame can carry this name (frame names are upper case), so nothing else is taken for it.
const ByteVector kHeldGenreId("tcon", 4);

// TagLib rewrites genre texts as it reads them ("(255)" vanishes, "(RX)" loses its parentheses), and
// would write them back so. This factory keeps TCON as stored: as an unknown frame under a name of its
// own, turned into a plain text frame after reading (KeepGenreAsStored).
class RawGenreFactory : public ID3v2::FrameFactory {
public:
    static RawGenreFactory &Instance() {
        static RawGenreFactory factory;
        return factory;
    }

protected:
    bool updateFrame(FactoryAccess::HeaderPtr header) const override {
        if (!ID3v2::FrameFactory::updateFrame(header))
            return false;
        if (header->frameID() == "TCON")
            header->setFrameID(kHeldGenreId);
        return true;
    }
};

void KeepGenreAsStored(ID3v2::Tag &tag) {
    const ID3v2::FrameList held = tag.frameList(kHeldGenreId);
    for (ID3v2::Frame *frame : held) {
        auto *unknown = dynamic_cast<ID3v2::UnknownFrame *>(frame);
        ID3v2::Frame *text = nullptr;
        if (unknown) {
            const ByteVector body = unknown->data();
            ByteVector bytes("TCON");
            bytes.append(ID3v2::SynchData::fromUInt(body.size()));
            bytes.append(ByteVector(2, '\0'));
            bytes.append(body);
            text = new ID3v2::TextIdentificationFrame(bytes);
        }
        tag.removeFrame(frame, true);
        if (text)
            tag.addFrame(text);
    }
}

QString FromTagLib(const String &text) {
    const std::string utf8 = text.to8Bit(true);
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

String ToTagLib(const QString &text) {
    return String(text.toUtf8().toStdString(), String::UTF8);
}

// Latin-1 texts hold their bytes one per character; the chosen code page reads them.
QString FromStoredLatin1(const String &text) {
    const std::string bytes = text.to8Bit(false);
    return DecodeTagText(QByteArray(bytes.data(), qsizetype(bytes.size())));
}

// What Melvo writes reads back the same everywhere: Latin-1 only when the chosen code page reads it as
// Latin-1, else Unicode as the tag's version has it.
String::Type EncodingFor(const QString &text, int version) {
    bool bAscii = true, bLatin1 = true;
    for (QChar c : text) {
        bAscii = bAscii && c.unicode() < 0x80;
        bLatin1 = bLatin1 && c.unicode() < 0x100;
    }
    if (bAscii || (bLatin1 && TagEncodingIsLatin1()))
        return String::Latin1;
    return version == 4 ? String::UTF8 : String::UTF16;
}

// ID3v1 holds Latin-1 only; what it cannot hold becomes '?'.
String ToLatin1Field(const QString &text) {
    std::string bytes;
    for (QChar c : text)
        bytes += c.unicode() < 0x100 ? char(c.unicode()) : '?';
    return String(bytes, String::Latin1);
}

// Leading digits as a number (atoi-like, no sign), 0 for none; capped so it cannot overflow.
unsigned LeadingNumber(const QString &text) {
    unsigned number = 0;
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9') && number < 100000000; ++i)
        number = number * 10 + unsigned(text[i].unicode() - '0');
    return number;
}

} // namespace

std::span<const TagFrameInfo> TagFrames() {
    return kFrames;
}

QString TagTypeName(int index) {
    static const char *const names[] = {"ID3 V1", "ID3 V2", "freeDB", "CD-Text"};
    return index >= 0 && index < 4 ? QString::fromLatin1(names[index]) : QString();
}

struct TagObject::Impl {
    std::unique_ptr<FileStream> stream;
    std::unique_ptr<MPEG::File> file;
    bool bHasTag = false;
    int nReadVersion = 0; // ID3v2 major version on disk, 0 for none

    ID3v1::Tag *V1() const { return file ? file->ID3v1Tag(true) : nullptr; }
    ID3v2::Tag *V2() const { return file ? file->ID3v2Tag(true) : nullptr; }

    // The frame a field reads. Comments with a description are other programs' data (iTunNORM ...): the
    // page's comment is the one without.
    ID3v2::Frame *Find(TagFrame frame) const {
        ID3v2::Tag *tag = V2();
        if (!tag)
            return nullptr;
        const ID3v2::FrameList &list = tag->frameList(MemoryFrameId(frame));
        if (frame == TagFrame::Comment) {
            for (ID3v2::Frame *f : list)
                if (auto *comment = dynamic_cast<ID3v2::CommentsFrame *>(f);
                    comment && comment->description().isEmpty())
                    return f;
            return nullptr;
        }
        for (ID3v2::Frame *f : list)
            if (dynamic_cast<ID3v2::TextIdentificationFrame *>(f))
                return f;
        return nullptr;
    }

    static QString TextOf(ID3v2::Frame *frame) {
        if (auto *comment = dynamic_cast<ID3v2::CommentsFrame *>(frame))
            return comment->textEncoding() == String::Latin1 ? FromStoredLatin1(comment->text())
                                                             : FromTagLib(comment->text());
        auto *text = dynamic_cast<ID3v2::TextIdentificationFrame *>(frame);
        if (!text)
            return QString();
        QStringList values;
        for (const String &value : text->fieldList())
            values << (text->textEncoding() == String::Latin1 ? FromStoredLatin1(value) : FromTagLib(value));
        return values.join(QStringLiteral(" / "));
    }
};

TagObject::TagObject(int nType) : m_nType(nType), d(std::make_unique<Impl>()) {}

TagObject::~TagObject() = default;

void TagObject::Clear() {
    d->file.reset();
    d->stream.reset();
    d->bHasTag = false;
    d->nReadVersion = 0;
}

bool TagObject::Link(const QString &path, bool bWritable) {
    Clear();
    const QByteArray native = QFile::encodeName(path);
    auto stream = std::make_unique<FileStream>(native.constData(), !bWritable);
    if (!stream->isOpen() || (bWritable && stream->readOnly()))
        return false;
    auto file = std::make_unique<MPEG::File>(stream.get(), &RawGenreFactory::Instance(), false);
    if (!file->isValid())
        return false;
    d->stream = std::move(stream);
    d->file = std::move(file);
    if (m_nType == TAGTYPE_ID3V1) {
        d->bHasTag = d->file->hasID3v1Tag();
    } else {
        d->bHasTag = d->file->hasID3v2Tag();
        if (d->bHasTag)
            d->nReadVersion = int(d->file->ID3v2Tag()->header()->majorVersion());
        KeepGenreAsStored(*d->V2());
    }
    return true;
}

bool TagObject::HasTag() const {
    return d->bHasTag;
}

int TagObject::WriteVersion() const {
    return d->nReadVersion == 4 ? 4 : 3;
}

bool TagObject::GetTextFrame(TagFrame frame, QString &text) const {
    text.clear();
    if (m_nType == TAGTYPE_ID3V2) {
        ID3v2::Frame *found = d->Find(frame);
        if (!found)
            return false;
        text = Impl::TextOf(found);
        return true;
    }
    const ID3v1::Tag *tag = d->V1();
    if (!tag)
        return false;
    switch (frame) {
    case TagFrame::Artist:
        text = FromStoredLatin1(tag->artist());
        break;
    case TagFrame::Title:
        text = FromStoredLatin1(tag->title());
        break;
    case TagFrame::Comment:
        text = FromStoredLatin1(tag->comment());
        break;
    case TagFrame::Album:
        text = FromStoredLatin1(tag->album());
        break;
    case TagFrame::Track:
        if (tag->track() != 0)
            text = QString::number(tag->track());
        break;
    case TagFrame::Year:
        if (tag->year() != 0)
            text = QString::number(tag->year());
        break;
    case TagFrame::Genre:
        if (tag->genreNumber() != 255)
            text = QStringLiteral("(%1)").arg(tag->genreNumber());
        break;
    default:
        break;
    }
    return !text.isEmpty();
}

bool TagObject::SetTextFrame(TagFrame frame, const QString &value) {
    const QString text = frame == TagFrame::Genre ? GenreToTcon(value) : value;
    QString current;
    const bool bExists = GetTextFrame(frame, current);
    if (!bExists && text.isEmpty())
        return false;
    if (bExists && current == text)
        return false;

    if (m_nType == TAGTYPE_ID3V2) {
        ID3v2::Tag *tag = d->V2();
        if (!tag)
            return false;
        ID3v2::Frame *found = d->Find(frame);
        if (text.isEmpty()) {
            tag->removeFrame(found, true);
            return true;
        }
        const String::Type encoding = EncodingFor(text, WriteVersion());
        if (frame == TagFrame::Comment) {
            auto *comment = dynamic_cast<ID3v2::CommentsFrame *>(found);
            if (!comment) {
                comment = new ID3v2::CommentsFrame(encoding);
                comment->setLanguage("eng");
                tag->addFrame(comment);
            }
            comment->setTextEncoding(encoding);
            comment->setText(ToTagLib(text));
            return true;
        }
        auto *textFrame = dynamic_cast<ID3v2::TextIdentificationFrame *>(found);
        if (!textFrame) {
            textFrame = new ID3v2::TextIdentificationFrame(MemoryFrameId(frame), encoding);
            tag->addFrame(textFrame);
        }
        textFrame->setTextEncoding(encoding);
        textFrame->setText(ToTagLib(text));
        return true;
    }

    ID3v1::Tag *tag = d->V1();
    if (!tag)
        return false;
    switch (frame) {
    case TagFrame::Artist:
        tag->setArtist(ToLatin1Field(text));
        break;
    case TagFrame::Title:
        tag->setTitle(ToLatin1Field(text));
        break;
    case TagFrame::Comment:
        tag->setComment(ToLatin1Field(text));
        break;
    case TagFrame::Album:
        tag->setAlbum(ToLatin1Field(text));
        break;
    case TagFrame::Track: {
        const unsigned track = LeadingNumber(text);
        const unsigned old = tag->track();
        tag->setTrack(track < 256 ? track : 0);
        return tag->track() != old;
    }
    case TagFrame::Year: {
        const unsigned old = tag->year();
        tag->setYear(LeadingNumber(text) % 10000);
        return tag->year() != old;
    }
    case TagFrame::Genre: {
        // The tag holds a genre number only; a text it cannot hold clears it.
        unsigned genre = 255;
        if (text.size() > 2 && text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
            bool bOk = false;
            const unsigned n = text.mid(1, text.size() - 2).toUInt(&bOk);
            if (bOk && n < 255)
                genre = n;
        }
        const unsigned old = tag->genreNumber();
        tag->setGenreNumber(genre);
        return genre != old;
    }
    default:
        return false;
    }
    QString now;
    GetTextFrame(frame, now);
    return now != current;
}

int TagObject::NumFrames() const {
    if (!d->file)
        return 0;
    if (m_nType == TAGTYPE_ID3V2)
        return int(d->V2()->frameList().size());
    int count = 0;
    QString text;
    for (const TagFrameInfo &info : kFrames)
        if (info.bInV1 && GetTextFrame(info.frame, text))
            ++count;
    return count;
}

bool TagObject::Update() {
    if (!d->file || d->file->readOnly())
        return false;
    if (m_nType == TAGTYPE_ID3V2) {
        // Rather no write than one that garbles a frame the user did not touch.
        for (ID3v2::Frame *frame : d->V2()->frameList()) {
            if (!WritesBackFaithfully(frame))
                return false;
            KeepWhenAltered(frame);
        }
    }
    if (m_nType == TAGTYPE_ID3V2)
        return d->file->save(MPEG::File::ID3v2, File::StripNone, WriteVersion() == 4 ? ID3v2::v4 : ID3v2::v3,
                             File::DoNotDuplicate);
    return d->file->save(MPEG::File::ID3v1, File::StripNone, ID3v2::v4, File::DoNotDuplicate);
}

bool TagObject::Strip() {
    if (!d->file || d->file->readOnly())
        return false;
    return d->file->strip(m_nType == TAGTYPE_ID3V2 ? MPEG::File::ID3v2 : MPEG::File::ID3v1, true);
}
