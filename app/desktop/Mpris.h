// MPRIS 2 on the session bus: media keys and desktop widgets drive the player through a small host interface.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <QVariantMap>

// One title as the desktop sees it.
struct MprisTrack {
    int nId = -1; // stays the same while the title is current; -1: none
    QString strTitle, strArtist, strAlbum, strUrl;
    qint64 nLengthUs = -1; // unknown when negative
    bool operator==(const MprisTrack &) const = default;
};

enum class MprisLoop { None, Track, Playlist };

// What the bus may ask of the program. Everything runs on the GUI thread.
class MprisHost {
public:
    virtual ~MprisHost() = default;
    virtual void Raise() = 0;
    virtual void Quit() = 0;
    // Play with no title selected starts the first title of the playlist.
    virtual void Play() = 0;
    virtual void Pause() = 0; // toggles like the Pause button, so only called while playing
    virtual void Stop() = 0;
    virtual void Next() = 0;
    virtual void Previous() = 0;
    virtual void SeekTo(qint64 positionUs) = 0;
    // Adds a local file to the playlist and plays it.
    virtual bool OpenFile(const QString &path) = 0;

    virtual QString Status() const = 0; // "Playing", "Paused" or "Stopped"
    virtual MprisTrack Track() const = 0;
    virtual qint64 PositionUs() const = 0;
    virtual bool CanSeek() const = 0;
    virtual bool HasTitles() const = 0;
    virtual MprisLoop Loop() const = 0;
    virtual bool Shuffle() const = 0;
    virtual void SetLoop(MprisLoop loop) = 0;
    virtual void SetShuffle(bool bOn) = 0;
    virtual double Volume() const = 0; // 0..1
    virtual void SetVolume(double volume) = 0;
};

// Registers org.mpris.MediaPlayer2.melvo. Without a session bus it stays quiet and does nothing.
class Mpris : public QObject {
    Q_OBJECT
public:
    static constexpr const char *kService = "org.mpris.MediaPlayer2.melvo";

    // Owns the host.
    explicit Mpris(MprisHost *host, QObject *parent = nullptr);
    ~Mpris() override;
    bool IsRegistered() const { return m_bRegistered; }
    MprisHost *Host() const { return m_pHost; }

    // Tells the desktop what changed since the last look; the host may call it right after a change.
    void Refresh();

    QVariantMap Metadata() const;
    static QString LoopName(MprisLoop loop);

signals:
    void Seeked(qlonglong positionUs);

private:
    void EmitChanged(const char *interface, const QVariantMap &changed);

    MprisHost *m_pHost;
    bool m_bRegistered = false;
    QTimer m_poll;
    // What the desktop was told last.
    QString m_strStatus;
    MprisTrack m_track;
    MprisLoop m_loop = MprisLoop::None;
    bool m_bShuffle = false;
    double m_volume = -1;
    bool m_bHasTitles = false;
    qint64 m_nLastPosition = 0;
    qint64 m_nLastPollMs = 0;
};
