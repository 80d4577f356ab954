// The title information dialog: static texts, the tag pages and their list, Add/Remove Tag, Rename, OK.
#include "TitleProperties.h"

#include "ChooseTag.h"
#include "Messages.h"
#include "RenameFile.h"
#include "TagPages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CTitleProperties::CTitleProperties(const TitleItem &item, const QString &pluginName, TitlePlayback *playback,
                                   QWidget *parent)
    : QDialog(parent), m_texts(DescribeTitle(item, pluginName)),
      m_pContext(std::make_unique<TagContext>(m_texts.strFilename, playback)) {
    setObjectName(QStringLiteral("CTitleProperties"));
    setWindowTitle(LoadStringRes(183));

    auto *info = new QGridLayout;
    const struct {
        int nControl;
        const char *label;
        QString text;
    } fields[] = {{1134, QT_TR_NOOP("Filename:"), m_texts.strFilename},
                  {1353, QT_TR_NOOP("Plug-In:"), m_texts.strPlugin},
                  {1235, QT_TR_NOOP("Type:"), m_texts.strType},
                  {1237, QT_TR_NOOP("Channels:"), m_texts.strChannels},
                  {1236, QT_TR_NOOP("Bitrate:"), m_texts.strBitrate},
                  {1274, QT_TR_NOOP("Bits/Sample:"), m_texts.strBits},
                  {1150, QT_TR_NOOP("Frequency:"), m_texts.strFrequency},
                  {1307, QT_TR_NOOP("Length:"), m_texts.strLength},
                  {1306, QT_TR_NOOP("Size:"), m_texts.strSize}};
    int row = 0;
    for (const auto &f : fields) {
        auto *value = new QLabel(f.text, this);
        value->setObjectName(QString::number(f.nControl));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        info->addWidget(new QLabel(tr(f.label), this), row, 0);
        info->addWidget(value, row, 1);
        m_fields.insert(f.nControl, value);
        ++row;
    }
    m_fields[1134]->setWordWrap(true);

    auto *group = new QGroupBox(tr("Title information"), this);
    group->setObjectName(QStringLiteral("1276"));
    m_pTagList = new QComboBox(group);
    m_pTagList->setObjectName(QStringLiteral("1344"));
    m_pTagList->setEnabled(false);
    m_pFrame = new QWidget(group);
    m_pFrame->setObjectName(QStringLiteral("1315"));
    auto *frameLayout = new QGridLayout(m_pFrame);
    frameLayout->setContentsMargins(0, 0, 0, 0);
    m_pNoTag = new QLabel(tr("No tag available in this file!"), m_pFrame);
    m_pNoTag->setAlignment(Qt::AlignCenter);
    frameLayout->addWidget(m_pNoTag, 0, 0);
    auto *tagButtons = new QHBoxLayout;
    for (const auto &[id, text] :
         {std::pair{1346, QT_TR_NOOP("Add Tag...")}, std::pair{1300, QT_TR_NOOP("Remove Tag...")}}) {
        auto *button = new QPushButton(tr(text), group);
        button->setObjectName(QString::number(id));
        button->setAutoDefault(false);
        m_buttons.insert(id, button);
        tagButtons->addWidget(button);
    }
    tagButtons->addStretch(1);
    tagButtons->addWidget(new QLabel(tr("Tag:"), group));
    tagButtons->addWidget(m_pTagList);
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(tagButtons);
    groupLayout->addWidget(m_pFrame, 1);

    auto *rename = new QPushButton(tr("Rename..."), this);
    rename->setObjectName(QStringLiteral("1410"));
    rename->setAutoDefault(false);
    m_buttons.insert(1410, rename);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(rename, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTitleProperties::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTitleProperties::reject);
    connect(m_buttons[1346], &QPushButton::clicked, this, &CTitleProperties::OnAddTag);
    connect(m_buttons[1300], &QPushButton::clicked, this, &CTitleProperties::OnRemoveTag);
    connect(rename, &QPushButton::clicked, this, &CTitleProperties::OnRename);
    connect(m_pTagList, &QComboBox::activated, this, [this] { ShowSelectedPage(); });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(info);
    layout->addWidget(group, 1);
    layout->addWidget(buttons);

    if (m_texts.bHasTags) {
        CreateTagPage(0, true);
        CreateTagPage(1, true);
        ShowSelectedPage();
    } else {
        m_buttons[1346]->setEnabled(false);
        m_buttons[1300]->setEnabled(false);
    }
    if (m_texts.bNoRename)
        rename->setEnabled(false);
    resize(480, 560);
}

CTitleProperties::~CTitleProperties() {
    // The pages refer to the context; they go first.
    for (CTagPage *&page : m_pages) {
        delete page;
        page = nullptr;
    }
}

QLabel *CTitleProperties::Field(int nControl) const {
    return m_fields.value(nControl);
}

QPushButton *CTitleProperties::Button(int nId) const {
    return m_buttons.value(nId);
}

bool CTitleProperties::CreateTagPage(int index, bool bOnlyIfPresent) {
    if (index != 0 && index != 1)
        return false;
    if (m_pages[index])
        return true;
    CTagPage *page = index == 0 ? static_cast<CTagPage *>(new CTagID3V1(*m_pContext, m_pFrame))
                                : static_cast<CTagPage *>(new CTagID3V2(*m_pContext, m_pFrame));
    if (page->LoadTag(m_pContext->Path()) == 0 && bOnlyIfPresent) {
        delete page;
        return false;
    }
    m_pTagList->setEnabled(true);
    page->hide();
    static_cast<QGridLayout *>(m_pFrame->layout())->addWidget(page, 0, 0);
    m_pages[index] = page;
    // The list stays sorted by name.
    const QString name = TagTypeName(index);
    int at = 0;
    while (at < m_pTagList->count() && m_pTagList->itemText(at) < name)
        ++at;
    m_pTagList->insertItem(at, name);
    m_pTagList->setCurrentIndex(at);
    m_pNoTag->hide();
    return true;
}

void CTitleProperties::DestroyTagPage(int index) {
    if (!Page(index))
        return;
    const int at = m_pTagList->findText(TagTypeName(index));
    if (at >= 0)
        m_pTagList->removeItem(at);
    delete m_pages[index];
    m_pages[index] = nullptr;
    if (m_pTagList->count() == 0) {
        m_pTagList->setEnabled(false);
        m_pNoTag->show();
    }
    if (m_nOnView == index)
        m_nOnView = -1;
}

void CTitleProperties::ShowSelectedPage() {
    if (CTagPage *shown = Page(m_nOnView))
        shown->hide();
    m_nOnView = -1;
    const QString name = m_pTagList->currentText();
    for (int i = 0; i < 2; ++i) {
        if (m_pages[i] && TagTypeName(i) == name) {
            m_pages[i]->show();
            m_nOnView = i;
        }
    }
}

void CTitleProperties::OnAddTag() {
    QStringList names;
    for (int i = 0; i < 2; ++i)
        if (!m_pages[i])
            names << TagTypeName(i);
    CChooseTag choose(CChooseTag::ForAdding, names, this);
    if (choose.exec() != QDialog::Accepted || !CreateTagPage(choose.ChosenType(), false))
        return;
    ShowSelectedPage();
}

void CTitleProperties::OnRemoveTag() {
    QStringList names;
    for (int i = 0; i < 2; ++i)
        if (m_pages[i])
            names << TagTypeName(i);
    CChooseTag choose(CChooseTag::ForRemoving, names, this);
    if (choose.exec() != QDialog::Accepted || !Page(choose.ChosenType()))
        return;
    m_pages[choose.ChosenType()]->RemoveTag();
    DestroyTagPage(choose.ChosenType());
    if (m_pTagList->count() > 0)
        m_pTagList->setCurrentIndex(0);
    ShowSelectedPage();
}

void CTitleProperties::OnRename() {
    RenameFile(*this);
}

void CTitleProperties::FileRenamed(const QString &oldPath, const QString &newPath) {
    m_pContext->SetPath(newPath);
    m_fields[1134]->setText(newPath);
    for (CTagPage *page : m_pages)
        if (page)
            page->FileRenamed(newPath);
    if (onRenamed)
        onRenamed(oldPath, newPath);
}

void CTitleProperties::accept() {
    if (m_texts.bHasTags) {
        for (CTagPage *page : m_pages)
            if (page && page->SaveTag() == 0)
                return;
    }
    m_pContext->RestartPlayback();
    QDialog::accept();
}

int ShowTitleProperties(const TitleItem &item, const QString &pluginName, TitlePlayback *playback,
                        const std::function<void(const QString &, const QString &)> &onRenamed, QWidget *parent) {
    CTitleProperties dialog(item, pluginName, playback, parent);
    dialog.onRenamed = onRenamed;
    return dialog.exec();
}
