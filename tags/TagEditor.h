// What a tag page does, without its window: load, save only what changed, remove.
#pragma once

#include "TagContext.h"
#include "TagObject.h"

#include <QStringList>

class TagEditor {
public:
    TagEditor(int nType, TagContext &context);

    int Type() const { return m_tag.Type(); }
    // Does the page show this field?
    bool Shows(TagFrame frame) const;

    // 1 when the file has a tag of this type; the texts (the genre by its name) are then in Texts().
    // 0 when it has none: the texts are empty and an empty tag waits for them.
    int LoadTag(const QString &path);
    // The texts by TagFrame, as loaded.
    const QStringList &Texts() const { return m_loaded; }

    // The page's texts by TagFrame. 0: the user declined a write check, the dialog stays open; 1: written,
    // nothing to write, or failed with a message.
    int SaveTag(const QStringList &texts);
    // Removes this tag type from the file. The ID3v2 page checks first and answers 0 when that was
    // declined or the removal failed.
    int RemoveTag();

    const TagObject &Tag() const { return m_tag; }

private:
    bool WriteTexts(const QStringList &texts);

    TagContext &m_context;
    TagObject m_tag;
    QStringList m_loaded;
    bool m_bPending = false; // the tag in memory holds changes the file does not have yet
};
