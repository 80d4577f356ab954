// The two MPRIS interfaces as D-Bus adaptors over Mpris and its host.
#pragma once

#include "Mpris.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QStringList>

class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    explicit MprisRootAdaptor(Mpris *mpris);
    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const { return QStringLiteral("Melvo"); }
    QString DesktopEntry() const { return QStringLiteral("melvo"); }
    QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
    QStringList SupportedMimeTypes() const;

public slots:
    void Raise();
    void Quit();

private:
    Mpris *m_pMpris;
};

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(QString LoopStatus READ LoopStatus WRITE SetLoopStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(bool Shuffle READ Shuffle WRITE SetShuffle)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(bool CanGoNext READ CanGo)
    Q_PROPERTY(bool CanGoPrevious READ CanGo)
    Q_PROPERTY(bool CanPlay READ CanGo)
    Q_PROPERTY(bool CanPause READ CanGo)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    explicit MprisPlayerAdaptor(Mpris *mpris);
    QString PlaybackStatus() const { return Host()->Status(); }
    QString LoopStatus() const { return Mpris::LoopName(Host()->Loop()); }
    void SetLoopStatus(const QString &loop);
    // The tempo is the user's to set on its own panel; the desktop sees the normal rate only.
    double Rate() const { return 1.0; }
    void SetRate(double) {}
    bool Shuffle() const { return Host()->Shuffle(); }
    void SetShuffle(bool bOn);
    QVariantMap Metadata() const { return m_pMpris->Metadata(); }
    double Volume() const { return Host()->Volume(); }
    void SetVolume(double volume);
    qlonglong Position() const { return Host()->PositionUs(); }
    bool CanGo() const { return Host()->HasTitles(); }
    bool CanSeek() const { return Host()->CanSeek(); }
    bool CanControl() const { return true; }

public slots:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    void Seek(qlonglong offsetUs);
    void SetPosition(const QDBusObjectPath &trackId, qlonglong positionUs);
    void OpenUri(const QString &uri);

signals:
    void Seeked(qlonglong Position);

private:
    MprisHost *Host() const { return m_pMpris->Host(); }
    Mpris *m_pMpris;
};
