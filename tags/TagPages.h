// The tag pages of the title information dialog: CTagID3V1 (dialog 220) and CTagID3V2 (dialog 219).
#pragma once

#include "TagEditor.h"

#include <QWidget>

class QComboBox;
class QLineEdit;

class CTagPage : public QWidget {
    Q_OBJECT
public:
    // The page's fields follow the file's tag from LoadTag on.
    CTagPage(int nType, TagContext &context, QWidget *parent = nullptr);

    int Type() const { return m_editor.Type(); }
    // The three requests of the dialog (load, save, remove), each answered at once.
    int LoadTag(const QString &path);
    int SaveTag();
    int RemoveTag();
    // The file got a new name: the tag is read from there, and what the user typed stays in the fields.
    void FileRenamed(const QString &path);

    // The field's control: a line edit, or the genre's combo box for TagFrame::Genre.
    QWidget *Control(TagFrame frame) const;
    QStringList Texts() const;
    void SetTexts(const QStringList &texts);
    const TagEditor &Editor() const { return m_editor; }

private:
    TagEditor m_editor;
    QList<QLineEdit *> m_edits; // by TagFrame, null where the page has no such field
    QComboBox *m_pGenre = nullptr;
};

class CTagID3V1 : public CTagPage {
    Q_OBJECT
public:
    explicit CTagID3V1(TagContext &context, QWidget *parent = nullptr);
};

class CTagID3V2 : public CTagPage {
    Q_OBJECT
public:
    explicit CTagID3V2(TagContext &context, QWidget *parent = nullptr);
    // Shown, never stored.
    QLineEdit *UrlEdit() const { return m_pUrl; }

private:
    QLineEdit *m_pUrl = nullptr;
};
