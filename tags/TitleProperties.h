// The dialog "Properties" (CTitleProperties, dialog 183): a title's file, format and tags.
#pragma once

#include "TagContext.h"
#include "TitleInfo.h"

#include <QDialog>

#include <functional>
#include <memory>

class CTagPage;
class QComboBox;
class QLabel;
class QPushButton;

class CTitleProperties : public QDialog {
    Q_OBJECT
public:
    // The dialog keeps its own copy of what it shows; playback may be null.
    CTitleProperties(const TitleItem &item, const QString &pluginName, TitlePlayback *playback,
                     QWidget *parent = nullptr);
    ~CTitleProperties() override;

    TagContext &Context() { return *m_pContext; }
    QString Path() const { return m_pContext->Path(); }
    const TitleInfoTexts &Texts() const { return m_texts; }

    // Index 0 is the ID3v1 page, 1 the ID3v2 page. With bOnlyIfPresent a file without such a tag gets
    // no page. True when the page exists afterwards.
    bool CreateTagPage(int index, bool bOnlyIfPresent);
    void DestroyTagPage(int index);
    CTagPage *Page(int index) const { return index == 0 || index == 1 ? m_pages[index] : nullptr; }
    int PageOnView() const { return m_nOnView; }

    QComboBox *TagList() const { return m_pTagList; }
    // The static texts by control id (1134 Filename ... 1306 Size) and the buttons 1346, 1300, 1410.
    QLabel *Field(int nControl) const;
    QPushButton *Button(int nId) const;
    QLabel *NoTagText() const { return m_pNoTag; }

    // After a rename: the dialog's path, its Filename field and the pages follow the file.
    void FileRenamed(const QString &oldPath, const QString &newPath);
    // Told at once when the file got a new name (the lists follow it).
    std::function<void(const QString &oldPath, const QString &newPath)> onRenamed;

    void OnAddTag();
    void OnRemoveTag();
    void OnRename();
    // OK: the ID3v1 page saves, then the ID3v2 page; a page that answers 0 keeps the dialog open.
    void accept() override;

private:
    void ShowSelectedPage();

    TitleInfoTexts m_texts;
    std::unique_ptr<TagContext> m_pContext;
    CTagPage *m_pages[2] = {};
    int m_nOnView = -1;
    QComboBox *m_pTagList = nullptr;
    QWidget *m_pFrame = nullptr;
    QLabel *m_pNoTag = nullptr;
    QMap<int, QLabel *> m_fields;
    QMap<int, QPushButton *> m_buttons;
};

// Shows the dialog modally for a copy of the record.
int ShowTitleProperties(const TitleItem &item, const QString &pluginName, TitlePlayback *playback,
                        const std::function<void(const QString &, const QString &)> &onRenamed,
                        QWidget *parent = nullptr);
