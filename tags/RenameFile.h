// Renaming the file of a title: the dialog "Rename File" (CRenameFile, dialog 240) and the move.
#pragma once

#include <QDialog>

class CTitleProperties;
class QLabel;
class QLineEdit;

class CRenameFile : public QDialog {
    Q_OBJECT
public:
    // name: the file name without folder and extension, shown as old and as new name.
    explicit CRenameFile(const QString &name, QWidget *parent = nullptr);

    QString NewName() const;
    QLineEdit *NameEdit() const { return m_pNew; }
    QLabel *OldName() const { return m_pOld; }
    // The same name ends as cancelled; a name that cleaning would change shows message 45 and stays.
    void accept() override;

private:
    QString m_strOld;
    QLabel *m_pOld;
    QLineEdit *m_pNew;
};

// folder + "/" + newName + "." + the old extension (no dot when the old name had no extension).
QString RenamedPath(const QString &path, const QString &newName);
// Moves the file without replacing an existing one; false (errno set) when it could not.
bool MoveWithoutOverwrite(const QString &from, const QString &to);

// "Rename...": asks for the new name, checks that the file may be written, moves it, and lets the dialog
// and the lists follow. Playback that the check stopped starts again. True when the file was renamed.
bool RenameFile(CTitleProperties &dialog);
