// MPRIS 2: the bus name, the two interfaces, and telling the desktop what changed.
#include "Mpris.h"

#include "MprisAdaptors.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDateTime>
#include <QUrl>

#include <memory>

namespace {

constexpr const char *kObjectPath = "/org/mpris/MediaPlayer2";
constexpr const char *kPlayerInterface = "org.mpris.MediaPlayer2.Player";
// A position further than this from where playing on would have taken it was a seek.
constexpr qint64 kSeekToleranceUs = 1500000;

QDBusObjectPath TrackPath(int id) {
    return QDBusObjectPath(id < 0 ? QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack")
                                  : QStringLiteral("/org/example/melvo/track/%1").arg(id));
}

} // namespace

Mpris::Mpris(MprisHost *host, QObject *parent) : QObject(parent), m_pHost(host) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return; // no session bus: nobody to talk to
    new MprisRootAdaptor(this);
    auto *player = new MprisPlayerAdaptor(this);
    connect(this, &Mpris::Seeked, player, &MprisPlayerAdaptor::Seeked);
    if (!bus.registerObject(QString::fromLatin1(kObjectPath), this))
        return;
    // A second user session or a test may hold the name already; the player works without it.
    m_bRegistered = bus.registerService(QString::fromLatin1(kService));
    if (!m_bRegistered) {
        bus.unregisterObject(QString::fromLatin1(kObjectPath));
        return;
    }
    m_strStatus = m_pHost->Status();
    m_track = m_pHost->Track();
    m_loop = m_pHost->Loop();
    m_bShuffle = m_pHost->Shuffle();
    m_volume = m_pHost->Volume();
    m_bHasTitles = m_pHost->HasTitles();
    m_nLastPosition = m_pHost->PositionUs();
    m_nLastPollMs = QDateTime::currentMSecsSinceEpoch();
    connect(&m_poll, &QTimer::timeout, this, &Mpris::Refresh);
    m_poll.start(500);
}

Mpris::~Mpris() {
    std::unique_ptr<MprisHost> host(m_pHost);
    if (!m_bRegistered)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QString::fromLatin1(kService));
    bus.unregisterObject(QString::fromLatin1(kObjectPath));
}

QString Mpris::LoopName(MprisLoop loop) {
    switch (loop) {
    case MprisLoop::Track:
        return QStringLiteral("Track");
    case MprisLoop::Playlist:
        return QStringLiteral("Playlist");
    default:
        return QStringLiteral("None");
    }
}

QVariantMap Mpris::Metadata() const {
    const MprisTrack t = m_pHost->Track();
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackPath(t.nId)));
    if (t.nId < 0)
        return map;
    if (t.nLengthUs >= 0)
        map.insert(QStringLiteral("mpris:length"), qlonglong(t.nLengthUs));
    map.insert(QStringLiteral("xesam:title"), t.strTitle);
    if (!t.strArtist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{t.strArtist});
    if (!t.strAlbum.isEmpty())
        map.insert(QStringLiteral("xesam:album"), t.strAlbum);
    if (!t.strUrl.isEmpty())
        map.insert(QStringLiteral("xesam:url"), t.strUrl);
    return map;
}

void Mpris::Refresh() {
    if (!m_bRegistered)
        return;
    QVariantMap changed;
    const QString status = m_pHost->Status();
    if (status != m_strStatus)
        changed.insert(QStringLiteral("PlaybackStatus"), m_strStatus = status);
    const MprisTrack track = m_pHost->Track();
    const bool bNewTrack = !(track == m_track);
    if (bNewTrack) {
        m_track = track;
        changed.insert(QStringLiteral("Metadata"), Metadata());
    }
    if (const MprisLoop loop = m_pHost->Loop(); loop != m_loop)
        changed.insert(QStringLiteral("LoopStatus"), LoopName(m_loop = loop));
    if (const bool bShuffle = m_pHost->Shuffle(); bShuffle != m_bShuffle)
        changed.insert(QStringLiteral("Shuffle"), m_bShuffle = bShuffle);
    if (const double volume = m_pHost->Volume(); volume != m_volume)
        changed.insert(QStringLiteral("Volume"), m_volume = volume);
    if (const bool bHas = m_pHost->HasTitles(); bHas != m_bHasTitles) {
        m_bHasTitles = bHas;
        for (const char *name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
            changed.insert(QString::fromLatin1(name), bHas);
    }
    if (bNewTrack)
        changed.insert(QStringLiteral("CanSeek"), m_pHost->CanSeek());
    if (!changed.isEmpty())
        EmitChanged(kPlayerInterface, changed);

    // Position is not announced as it moves; only a jump is (Seeked).
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 position = m_pHost->PositionUs();
    const qint64 expected = m_nLastPosition + (status == QLatin1String("Playing") ? (now - m_nLastPollMs) * 1000 : 0);
    if (!bNewTrack && status != QLatin1String("Stopped") && std::llabs(position - expected) > kSeekToleranceUs)
        emit Seeked(position);
    m_nLastPosition = position;
    m_nLastPollMs = now;
}

void Mpris::EmitChanged(const char *interface, const QVariantMap &changed) {
    QDBusMessage signal =
        QDBusMessage::createSignal(QString::fromLatin1(kObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(interface) << changed << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

// The root interface.

MprisRootAdaptor::MprisRootAdaptor(Mpris *mpris) : QDBusAbstractAdaptor(mpris), m_pMpris(mpris) {}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
    return {QStringLiteral("audio/mpeg"), QStringLiteral("audio/x-wav"), QStringLiteral("audio/x-mpegurl"),
            QStringLiteral("audio/x-scpls")};
}

void MprisRootAdaptor::Raise() {
    m_pMpris->Host()->Raise();
}

void MprisRootAdaptor::Quit() {
    m_pMpris->Host()->Quit();
}

// The player interface. Every command answers at once; what it changed reaches the desktop through
// PropertiesChanged.

MprisPlayerAdaptor::MprisPlayerAdaptor(Mpris *mpris) : QDBusAbstractAdaptor(mpris), m_pMpris(mpris) {}

void MprisPlayerAdaptor::SetLoopStatus(const QString &loop) {
    if (loop == QLatin1String("Track"))
        Host()->SetLoop(MprisLoop::Track);
    else if (loop == QLatin1String("Playlist"))
        Host()->SetLoop(MprisLoop::Playlist);
    else if (loop == QLatin1String("None"))
        Host()->SetLoop(MprisLoop::None);
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::SetShuffle(bool bOn) {
    Host()->SetShuffle(bOn);
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::SetVolume(double volume) {
    Host()->SetVolume(qBound(0.0, volume, 1.0));
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::Next() {
    Host()->Next();
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::Previous() {
    Host()->Previous();
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::Pause() {
    if (Host()->Status() == QLatin1String("Playing"))
        Host()->Pause();
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::PlayPause() {
    const QString status = Host()->Status();
    if (status == QLatin1String("Playing") || status == QLatin1String("Paused"))
        Host()->Pause(); // the Pause button toggles
    else
        Host()->Play();
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::Stop() {
    Host()->Stop();
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::Play() {
    const QString status = Host()->Status();
    if (status == QLatin1String("Paused"))
        Host()->Pause();
    else if (status == QLatin1String("Stopped"))
        Host()->Play();
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::Seek(qlonglong offsetUs) {
    if (!Host()->CanSeek())
        return;
    const MprisTrack track = Host()->Track();
    const qint64 target = std::max<qint64>(0, Host()->PositionUs() + offsetUs);
    // Past the end is the next title, as the interface asks.
    if (track.nLengthUs >= 0 && target >= track.nLengthUs)
        Host()->Next();
    else
        Host()->SeekTo(target);
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath &trackId, qlonglong positionUs) {
    const MprisTrack track = Host()->Track();
    // A request for a title that is no longer current, or for a place outside it, is ignored.
    if (!Host()->CanSeek() || trackId != TrackPath(track.nId) || positionUs < 0 ||
        (track.nLengthUs >= 0 && positionUs > track.nLengthUs))
        return;
    Host()->SeekTo(positionUs);
    m_pMpris->Refresh();
}

void MprisPlayerAdaptor::OpenUri(const QString &uri) {
    const QUrl url(uri);
    if (url.isLocalFile())
        Host()->OpenFile(url.toLocalFile());
    m_pMpris->Refresh();
}
