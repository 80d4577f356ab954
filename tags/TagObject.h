// One ID3 tag of a file, of one type (ID3v1 or ID3v2), with the text frames the tag pages show.
#pragma once

#include <QString>

#include <memory>
#include <span>

// The tag-type flags (also the flags of Link, Strip and Update).
enum TagType : int { TAGTYPE_ID3V1 = 1, TAGTYPE_ID3V2 = 2 };

// The fields of the pages, in the order frames are read and written.
enum class TagFrame { Artist, Title, Comment, Album, Bpm, Composer, Copyright, EncodedBy, Track, Year, Genre };

struct TagFrameInfo {
    TagFrame frame;
    const char *szFrameId; // the ID3v2 frame
    int nControl;          // the page's control
    bool bInV1;            // the ID3v1 page shows it too
};
// All fields in table order; the ID3v1 page takes those with bInV1.
std::span<const TagFrameInfo> TagFrames();

// The names of the tag types by list index: "ID3 V1", "ID3 V2", "freeDB", "CD-Text".
QString TagTypeName(int index);

class TagObject {
public:
    explicit TagObject(int nType);
    ~TagObject();
    TagObject(const TagObject &) = delete;
    TagObject &operator=(const TagObject &) = delete;

    int Type() const { return m_nType; }
    // Empty, linked to no file.
    void Clear();
    // Reads the file's tag of this type (an empty tag when it has none). With bWritable the file is
    // opened for Update and Strip. False when the file cannot be opened or is no MPEG file.
    bool Link(const QString &path, bool bWritable = false);
    // The linked file has a tag of this type.
    bool HasTag() const;

    // The frame's text; false when the tag has no such frame. Latin-1 texts are read in the chosen
    // code page. The genre is the stored text ("(17)"), not the name.
    bool GetTextFrame(TagFrame frame, QString &text) const;
    // Sets the frame to the value (a genre name goes through GenreToTcon first): an empty value removes
    // it. True when the tag changed.
    bool SetTextFrame(TagFrame frame, const QString &value);
    int NumFrames() const;
    // The version an ID3v2 tag is written in: the one it was read in (2.3 or 2.4), 2.3 for a new tag.
    int WriteVersion() const;

    // Writes this tag into the linked file (opened with bWritable), or removes it from there.
    bool Update();
    bool Strip();

private:
    struct Impl;
    const int m_nType;
    std::unique_ptr<Impl> d;
};
