// A small Secret Service client: a plain session, items found by their attributes.
#include "SecretStore.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>

namespace {

const QString kService = QStringLiteral("org.freedesktop.secrets");
const QString kPath = QStringLiteral("/org/freedesktop/secrets");
const QString kPrefix = QStringLiteral("org.freedesktop.Secret.");

struct Secret {
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};

} // namespace

Q_DECLARE_METATYPE(Secret)

QDBusArgument &operator<<(QDBusArgument &a, const Secret &s) {
    a.beginStructure();
    a << s.session << s.parameters << s.value << s.contentType;
    a.endStructure();
    return a;
}

const QDBusArgument &operator>>(const QDBusArgument &a, Secret &s) {
    a.beginStructure();
    a >> s.session >> s.parameters >> s.value >> s.contentType;
    a.endStructure();
    return a;
}

namespace {

using Attributes = QMap<QString, QString>;

void RegisterTypes() {
    static const bool once = [] {
        qDBusRegisterMetaType<Secret>();
        qDBusRegisterMetaType<Attributes>();
        return true;
    }();
    Q_UNUSED(once);
}

// The session bus of the address in the environment now (one connection per address).
QDBusConnection Bus() {
    const QString address = QString::fromLocal8Bit(qgetenv("DBUS_SESSION_BUS_ADDRESS"));
    if (address.isEmpty())
        return QDBusConnection::sessionBus();
    return QDBusConnection::connectToBus(address, QStringLiteral("melvo-secrets ") + address);
}

QDBusInterface Interface(const QString &path, const QString &name) {
    return QDBusInterface(kService, path, kPrefix + name, Bus());
}

// A session without encryption: the bus is the user's own.
QDBusObjectPath OpenSession() {
    QDBusInterface service = Interface(kPath, QStringLiteral("Service"));
    const QDBusMessage reply = service.call(QStringLiteral("OpenSession"), QStringLiteral("plain"),
                                            QVariant::fromValue(QDBusVariant(QString())));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2)
        return QDBusObjectPath();
    return reply.arguments().at(1).value<QDBusObjectPath>();
}

Attributes AttributesOf(const QString &key) {
    return {{QStringLiteral("application"), QStringLiteral("Melvo")}, {QStringLiteral("key"), key}};
}

} // namespace

bool SecretStoreAvailable() {
    QDBusConnection bus = Bus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    return bus.interface()->isServiceRegistered(kService).value() ||
           bus.interface()->activatableServiceNames().value().contains(kService);
}

bool StoreSecret(const QString &key, const QString &secret) {
    if (!SecretStoreAvailable())
        return false;
    RegisterTypes();
    const QDBusObjectPath session = OpenSession();
    if (session.path().isEmpty())
        return false;
    QDBusInterface service = Interface(kPath, QStringLiteral("Service"));
    const QDBusReply<QDBusObjectPath> collection = service.call(QStringLiteral("ReadAlias"), QStringLiteral("default"));
    if (!collection.isValid() || collection.value().path() == QLatin1String("/"))
        return false;
    QVariantMap properties;
    properties.insert(kPrefix + QStringLiteral("Item.Label"), QStringLiteral("Melvo: %1").arg(key));
    properties.insert(kPrefix + QStringLiteral("Item.Attributes"), QVariant::fromValue(AttributesOf(key)));
    const Secret value{session, QByteArray(), secret.toUtf8(), QStringLiteral("text/plain; charset=utf8")};
    QDBusInterface target = Interface(collection.value().path(), QStringLiteral("Collection"));
    const QDBusMessage reply = target.call(QStringLiteral("CreateItem"), properties, QVariant::fromValue(value), true);
    // A prompt ("/" when none) means a locked collection: this program does not unlock it.
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().size() == 2 &&
           reply.arguments().at(1).value<QDBusObjectPath>().path() == QLatin1String("/");
}

QString LookUpSecret(const QString &key, bool *pFound) {
    *pFound = false;
    if (!SecretStoreAvailable())
        return QString();
    RegisterTypes();
    QDBusInterface service = Interface(kPath, QStringLiteral("Service"));
    const QDBusMessage found = service.call(QStringLiteral("SearchItems"), QVariant::fromValue(AttributesOf(key)));
    if (found.type() != QDBusMessage::ReplyMessage || found.arguments().isEmpty())
        return QString();
    const auto unlocked = qdbus_cast<QList<QDBusObjectPath>>(found.arguments().at(0));
    const QDBusObjectPath session = OpenSession();
    if (unlocked.isEmpty() || session.path().isEmpty())
        return QString();
    QDBusInterface item = Interface(unlocked.first().path(), QStringLiteral("Item"));
    const QDBusMessage reply = item.call(QStringLiteral("GetSecret"), QVariant::fromValue(session));
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QString();
    const Secret secret = qdbus_cast<Secret>(reply.arguments().at(0));
    *pFound = true;
    return QString::fromUtf8(secret.value);
}
