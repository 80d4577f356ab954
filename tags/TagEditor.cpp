// A tag page's work: the fields against the tag, the write check, the write through a copy.
#include "TagEditor.h"

#include "Genres.h"
#include "Messages.h"

#include <cerrno>

namespace {

constexpr int kFieldCount = int(TagFrame::Genre) + 1;

void ReportWriteError(const QString &path, int error) {
    errno = error;
    ShowError(61315, 0, path, ERR_STYLE_DETAIL, error != 0);
}

} // namespace

TagEditor::TagEditor(int nType, TagContext &context) : m_context(context), m_tag(nType) {
    for (int i = 0; i < kFieldCount; ++i)
        m_loaded << QString();
}

bool TagEditor::Shows(TagFrame frame) const {
    return Type() == TAGTYPE_ID3V2 || TagFrames()[int(frame)].bInV1;
}

int TagEditor::LoadTag(const QString &path) {
    m_bPending = false;
    for (QString &text : m_loaded)
        text.clear();
    if (!m_tag.Link(path) || !m_tag.HasTag())
        return 0;
    for (const TagFrameInfo &info : TagFrames()) {
        if (!Shows(info.frame))
            continue;
        QString text;
        m_tag.GetTextFrame(info.frame, text);
        m_loaded[int(info.frame)] = info.frame == TagFrame::Genre ? TconToGenre(text) : text;
    }
    return 1;
}

int TagEditor::SaveTag(const QStringList &texts) {
    // Only what the user changed goes to the tag: a text shown differently from how it is stored (a genre
    // number without a name) must not be rewritten by an OK without changes.
    for (const TagFrameInfo &info : TagFrames()) {
        const int i = int(info.frame);
        if (Shows(info.frame) && i < texts.size() && texts[i] != m_loaded[i] &&
            m_tag.SetTextFrame(info.frame, texts[i]))
            m_bPending = true;
    }
    if (!m_bPending)
        return 1;
    if (!m_context.CheckWritable() || !m_context.ConfirmUnchangedOnDisk())
        return 0;
    m_bPending = false;
    const QString path = m_context.Path();
    if (m_tag.NumFrames() == 0) {
        if (ShowError(61317, 0, QString(), ERR_STYLE_PLAIN, false, MB_YESNO | MB_ICONQUESTION) == IDYES) {
            int error = 0;
            const int type = Type();
            if (!m_context.Replace(
                    [type](const QString &copy) {
                        TagObject tag(type);
                        return tag.Link(copy, true) && tag.Strip();
                    },
                    &error))
                ReportWriteError(path, error);
            else
                LoadTag(path);
        }
        return 1;
    }
    if (!WriteTexts(texts))
        return 1;
    LoadTag(path);
    return 1;
}

bool TagEditor::WriteTexts(const QStringList &texts) {
    // The copy gets the same changes the tag in memory got: frames the page does not show stay as stored.
    const QStringList loaded = m_loaded;
    const int type = Type();
    auto edit = [&](const QString &copy) {
        TagObject tag(type);
        if (!tag.Link(copy, true))
            return false;
        for (const TagFrameInfo &info : TagFrames()) {
            const int i = int(info.frame);
            if (Shows(info.frame) && i < texts.size() && texts[i] != loaded[i])
                tag.SetTextFrame(info.frame, texts[i]);
        }
        return tag.NumFrames() > 0 && tag.Update();
    };
    int error = 0;
    if (m_context.Replace(edit, &error))
        return true;
    ReportWriteError(m_context.Path(), error);
    return false;
}

int TagEditor::RemoveTag() {
    if (Type() == TAGTYPE_ID3V2 && !m_context.CheckWritable())
        return 0;
    const QString path = m_context.Path();
    TagObject onDisk(Type());
    if (!onDisk.Link(path) || !onDisk.HasTag())
        return 1; // nothing stored to remove
    const int type = Type();
    int error = 0;
    const bool bRemoved = m_context.Replace(
        [type](const QString &copy) {
            TagObject tag(type);
            return tag.Link(copy, true) && tag.Strip();
        },
        &error);
    if (!bRemoved)
        ReportWriteError(path, error);
    return bRemoved || Type() == TAGTYPE_ID3V1 ? 1 : 0;
}
