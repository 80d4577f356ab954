// The playlist panel: the button bar under the playlist, its commands and the total length.
#pragma once

#include <QString>
#include <QWidget>

#include <map>

class QLabel;
class QPushButton;
class TitleList;

class CPLFunctions : public QWidget {
    Q_OBJECT
public:
    CPLFunctions(TitleList &playlist, QWidget *parent = nullptr);
    ~CPLFunctions() override;

    // The file list the add commands take titles from (it lives in the main window).
    void SetFileList(TitleList *files);

    QPushButton *Button(int nId) const;
    QLabel *TotalLabel() const { return m_pTotal; }
    QString PlaylistPath() const { return m_strPlaylist; }

    void UpdateTotal(int nSeconds, int nRows);
    // Every command of the bar and of the two lists' context menus.
    void OnCommand(int nId);

    // The file dialogs' second halves, for a chosen path.
    bool LoadFrom(const QString &path);
    bool SaveAs(const QString &path, int nFilterIndex);

    // The playlist file the dialogs start from: the stored one, or "default.m3u" in the user's music
    // folder (the home folder when there is none) when nothing usable is stored.
    static QString InitialPlaylistPath(const QString &stored);
    // 2 (M3U) when the path's extension is "m3u" in any case, else 1 (PLS).
    static int FilterIndexFor(const QString &path);
    // The path a save goes to: the format's extension appended unless the name already has it.
    static QString SavePath(const QString &chosen, int nFilterIndex, QString *extension);

signals:
    void PlayRequested();
    // Title info of the selected title of the playlist (true) or the file list (false).
    void TitleInfoRequested(bool bPlaylist);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void OnLoad();
    void OnSave();
    void EnableFileButtons(bool bEnable);

    TitleList &m_playlist;
    TitleList *m_pFiles = nullptr;
    std::map<int, QPushButton *> m_buttons;
    QLabel *m_pTotal = nullptr;
    QString m_strPlaylist;
    QString m_strTotal;
};
