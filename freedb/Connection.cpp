// The dial-up layer over NetworkManager's D-Bus interface.
#include "Connection.h"

#include "Messages.h"
#include "Settings.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>

#include <chrono>
#include <mutex>
#include <thread>

using NMSettingsMap = QMap<QString, QVariantMap>;
Q_DECLARE_METATYPE(NMSettingsMap)

namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kSettingsPath = QStringLiteral("/org/freedesktop/NetworkManager/Settings");
constexpr uint kStateConnectedSite = 60; // NM_STATE_CONNECTED_SITE and above are online
constexpr uint kActiveActivated = 2;     // NM_ACTIVE_CONNECTION_STATE_ACTIVATED
constexpr auto kDialTimeout = std::chrono::seconds(45);

std::mutex g_lock;
bool g_bBound = false;
QString g_strActive; // the active connection of the last dial: the handle that hang-up takes down

QDBusInterface Interface(const QString &path, const QString &name) {
    return QDBusInterface(kService, path, name, QDBusConnection::systemBus());
}

bool Bound() {
    std::lock_guard lock(g_lock);
    return g_bBound;
}

// Profile paths and names, in NetworkManager's order.
QList<QPair<QString, QString>> Profiles(bool *pOk) {
    QList<QPair<QString, QString>> profiles;
    QDBusInterface settings = Interface(kSettingsPath, kService + QStringLiteral(".Settings"));
    const QDBusReply<QList<QDBusObjectPath>> paths = settings.call(QStringLiteral("ListConnections"));
    if (pOk)
        *pOk = paths.isValid();
    if (!paths.isValid())
        return profiles;
    for (const QDBusObjectPath &path : paths.value()) {
        QDBusInterface profile = Interface(path.path(), kService + QStringLiteral(".Settings.Connection"));
        const QDBusReply<NMSettingsMap> reply = profile.call(QStringLiteral("GetSettings"));
        if (reply.isValid())
            profiles.append({path.path(), reply.value().value(QStringLiteral("connection")).value("id").toString()});
    }
    return profiles;
}

uint ActiveState(const QString &active) {
    QDBusInterface a = Interface(active, kService + QStringLiteral(".Connection.Active"));
    return a.isValid() ? a.property("State").toUInt() : 0;
}

// Activates a profile and waits until it is up, fails, or the wait is cancelled.
bool Activate(const QString &profile, const std::atomic<bool> *pCancel) {
    QDBusInterface nm = Interface(kPath, kService);
    const QDBusReply<QDBusObjectPath> active =
        nm.call(QStringLiteral("ActivateConnection"), QVariant::fromValue(QDBusObjectPath(profile)),
                QVariant::fromValue(QDBusObjectPath("/")), QVariant::fromValue(QDBusObjectPath("/")));
    if (!active.isValid())
        return false;
    {
        std::lock_guard lock(g_lock);
        g_strActive = active.value().path();
    }
    const auto until = std::chrono::steady_clock::now() + kDialTimeout;
    while (std::chrono::steady_clock::now() < until && !(pCancel && *pCancel)) {
        const uint state = ActiveState(active.value().path());
        if (state == kActiveActivated)
            return true;
        if (state > kActiveActivated || state == 0)
            return false; // deactivating, deactivated or gone
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

} // namespace

void LoadConnectionLibraries() {
    qDBusRegisterMetaType<NMSettingsMap>();
    QDBusConnection bus = QDBusConnection::systemBus();
    const bool bound = bus.isConnected() && bus.interface() && bus.interface()->isServiceRegistered(kService).value();
    std::lock_guard lock(g_lock);
    g_bBound = bound;
}

void FreeConnectionLibraries() {
    std::lock_guard lock(g_lock);
    g_bBound = false;
}

bool IsProfileDialBound() {
    return Bound();
}

bool IsAutodialBound() {
    return Bound();
}

bool EnumConnectionEntries(QStringList *pNames) {
    pNames->clear();
    if (!Bound())
        return false;
    bool ok = false;
    for (const auto &profile : Profiles(&ok))
        pNames->append(profile.second);
    return ok;
}

int DialConnection(const std::atomic<bool> *pCancel) {
    const QString section = QStringLiteral("FREEDB");
    switch (GetSettingInt(section, QStringLiteral("Conn-Dial"), 2)) {
    case 0:
        return 1;
    case 1: {
        if (!Bound())
            return 0;
        const QString name = GetSettingString(section, QStringLiteral("RAS-Connection"), QString());
        for (const auto &profile : Profiles(nullptr))
            if (profile.second == name)
                return Activate(profile.first, pCancel) ? 1 : 0;
        return 0;
    }
    case 2: {
        if (!Bound())
            return 0;
        QDBusInterface nm = Interface(kPath, kService);
        if (nm.property("State").toUInt() >= kStateConnectedSite)
            return 1;
        // Offline: bring up the profile NetworkManager would pick first.
        const auto profiles = Profiles(nullptr);
        return !profiles.isEmpty() && Activate(profiles.first().first, pCancel) ? 1 : 0;
    }
    default:
        return 0;
    }
}

int HangUpConnection(bool bAfterRequest) {
    const QString section = QStringLiteral("FREEDB");
    const int dial = GetSettingInt(section, QStringLiteral("Conn-Dial"), 2);
    if (dial == 0)
        return 1;
    const int when = GetSettingInt(section, QStringLiteral("Conn-Hangup"), 0);
    // 0 "Manually" never, 1 "After freedb Request", 2 "At Program Exit": as the page names them.
    if (!((when == 1 && bAfterRequest) || (when == 2 && !bAfterRequest)))
        return 0;
    QString active;
    {
        std::lock_guard lock(g_lock);
        active = g_strActive;
    }
    // Nothing this program brought up is running: there is nothing to ask about.
    if (!Bound() || (dial != 1 && dial != 2) || active.isEmpty() || ActiveState(active) == 0)
        return 0;
    if (GetSettingInt(section, QStringLiteral("Conn-HangupAfterConfirmation"), 0) != 0 &&
        ShowError(61284, 0, QString(), ERR_STYLE_PLAIN, false, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    QDBusInterface nm = Interface(kPath, kService);
    const QDBusMessage reply =
        nm.call(QStringLiteral("DeactivateConnection"), QVariant::fromValue(QDBusObjectPath(active)));
    if (reply.type() == QDBusMessage::ErrorMessage)
        return 0;
    // Wait until it is gone, as a hang-up does.
    for (int i = 0; i < 50 && ActiveState(active) != 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return 1;
}
