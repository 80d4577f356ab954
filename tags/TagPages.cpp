// The tag pages: a grid of labelled fields over a TagEditor.
#include "TagPages.h"

#include "Genres.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace {

const char *Label(TagFrame frame) {
    switch (frame) {
    case TagFrame::Artist:
        return QT_TRANSLATE_NOOP("CTagPage", "Artist");
    case TagFrame::Title:
        return QT_TRANSLATE_NOOP("CTagPage", "Title");
    case TagFrame::Comment:
        return QT_TRANSLATE_NOOP("CTagPage", "Comment");
    case TagFrame::Album:
        return QT_TRANSLATE_NOOP("CTagPage", "Album");
    case TagFrame::Bpm:
        return QT_TRANSLATE_NOOP("CTagPage", "BPM");
    case TagFrame::Composer:
        return QT_TRANSLATE_NOOP("CTagPage", "Composer");
    case TagFrame::Copyright:
        return QT_TRANSLATE_NOOP("CTagPage", "Copyright");
    case TagFrame::EncodedBy:
        return QT_TRANSLATE_NOOP("CTagPage", "encoded by");
    case TagFrame::Track:
        return QT_TRANSLATE_NOOP("CTagPage", "Track");
    case TagFrame::Year:
        return QT_TRANSLATE_NOOP("CTagPage", "Year");
    case TagFrame::Genre:
        return QT_TRANSLATE_NOOP("CTagPage", "Genre");
    }
    return "";
}

// What an ID3v1 tag can hold of each field.
int V1Length(TagFrame frame) {
    switch (frame) {
    case TagFrame::Comment:
        return 28; // the last two bytes hold the track
    case TagFrame::Track:
        return 3;
    case TagFrame::Year:
        return 4;
    default:
        return 30;
    }
}

} // namespace

CTagPage::CTagPage(int nType, TagContext &context, QWidget *parent) : QWidget(parent), m_editor(nType, context) {
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    int row = 0;
    for (const TagFrameInfo &info : TagFrames()) {
        if (!m_editor.Shows(info.frame)) {
            m_edits << nullptr;
            continue;
        }
        auto *label = new QLabel(tr(Label(info.frame)), this);
        QWidget *control = nullptr;
        if (info.frame == TagFrame::Genre) {
            m_pGenre = new QComboBox(this);
            m_pGenre->setEditable(true); // a list with free text
            m_pGenre->setInsertPolicy(QComboBox::NoInsert);
            for (int g = 0; g < kGenreCount; ++g)
                m_pGenre->addItem(GenreName(g));
            m_pGenre->setCurrentIndex(-1);
            m_pGenre->setEditText(QString());
            control = m_pGenre;
            m_edits << nullptr;
        } else {
            auto *edit = new QLineEdit(this);
            if (nType == TAGTYPE_ID3V1)
                edit->setMaxLength(V1Length(info.frame));
            control = edit;
            m_edits << edit;
        }
        control->setObjectName(QString::number(info.nControl));
        label->setBuddy(control);
        grid->addWidget(label, row, 0);
        grid->addWidget(control, row, 1);
        ++row;
    }
    grid->setRowStretch(row + 1, 1);
}

CTagID3V1::CTagID3V1(TagContext &context, QWidget *parent) : CTagPage(TAGTYPE_ID3V1, context, parent) {
    setObjectName(QStringLiteral("CTagID3V1"));
}

CTagID3V2::CTagID3V2(TagContext &context, QWidget *parent) : CTagPage(TAGTYPE_ID3V2, context, parent) {
    setObjectName(QStringLiteral("CTagID3V2"));
    auto *grid = static_cast<QGridLayout *>(layout());
    const int row = grid->rowCount();
    m_pUrl = new QLineEdit(this);
    m_pUrl->setObjectName(QStringLiteral("1345"));
    grid->addWidget(new QLabel(tr("URL"), this), row, 0);
    grid->addWidget(m_pUrl, row, 1);
}

QWidget *CTagPage::Control(TagFrame frame) const {
    if (frame == TagFrame::Genre)
        return m_pGenre;
    return m_edits.value(int(frame));
}

QStringList CTagPage::Texts() const {
    QStringList texts;
    for (const TagFrameInfo &info : TagFrames()) {
        if (info.frame == TagFrame::Genre)
            texts << (m_pGenre ? m_pGenre->currentText() : QString());
        else
            texts << (m_edits.value(int(info.frame)) ? m_edits[int(info.frame)]->text() : QString());
    }
    return texts;
}

void CTagPage::SetTexts(const QStringList &texts) {
    for (const TagFrameInfo &info : TagFrames()) {
        const QString text = texts.value(int(info.frame));
        if (info.frame == TagFrame::Genre && m_pGenre) {
            const int index = m_pGenre->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
            m_pGenre->setCurrentIndex(index);
            m_pGenre->setEditText(text);
        } else if (QLineEdit *edit = m_edits.value(int(info.frame))) {
            edit->setText(text);
        }
    }
}

int CTagPage::LoadTag(const QString &path) {
    const int result = m_editor.LoadTag(path);
    SetTexts(m_editor.Texts());
    return result;
}

int CTagPage::SaveTag() {
    return m_editor.SaveTag(Texts());
}

int CTagPage::RemoveTag() {
    return m_editor.RemoveTag();
}

void CTagPage::FileRenamed(const QString &path) {
    const QStringList typed = Texts();
    m_editor.LoadTag(path);
    SetTexts(typed);
}
