// The small dialog "Choose Tag" (226): which tag type to add or to remove.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;

class CChooseTag : public QDialog {
    Q_OBJECT
public:
    enum Purpose { ForAdding, ForRemoving };
    // names: the tag-type names to offer ("ID3 V1", "ID3 V2").
    CChooseTag(Purpose purpose, const QStringList &names, QWidget *parent = nullptr);

    // Without names the dialog closes at once as cancelled.
    int exec() override;
    void accept() override;
    // The tag-type index (0 ID3v1, 1 ID3v2) of the chosen name after OK, else -1.
    int ChosenType() const { return m_nChosen; }
    QComboBox *List() const { return m_pList; }
    QLabel *Prompt() const { return m_pPrompt; }

private:
    QComboBox *m_pList;
    QLabel *m_pPrompt;
    int m_nChosen = -1;
};
