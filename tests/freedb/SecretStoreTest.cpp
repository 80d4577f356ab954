// The password goes to a Secret Service when one runs: a small fake one on a private session bus.
#include "SecretStore.h"
#include "OptConnection.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

struct FakeSecret {
    QDBusObjectPath session;
    QByteArray parameters, value;
    QString contentType;
};

} // namespace

Q_DECLARE_METATYPE(FakeSecret)

static QDBusArgument &operator<<(QDBusArgument &a, const FakeSecret &s) {
    a.beginStructure();
    a << s.session << s.parameters << s.value << s.contentType;
    a.endStructure();
    return a;
}

static const QDBusArgument &operator>>(const QDBusArgument &a, FakeSecret &s) {
    a.beginStructure();
    a >> s.session >> s.parameters >> s.value >> s.contentType;
    a.endStructure();
    return a;
}

namespace {

using Attributes = QMap<QString, QString>;

// Service, one unlocked "default" collection and its items, as far as a client of them needs.
class FakeSecretService : public QDBusVirtualObject {
public:
    QString introspect(const QString &) const override { return QString(); }
    bool handleMessage(const QDBusMessage &m, const QDBusConnection &bus) override {
        const QString member = m.member();
        QDBusMessage reply;
        if (member == "OpenSession") {
            reply = m.createReply({QVariant::fromValue(QDBusVariant(QString())),
                                   QVariant::fromValue(QDBusObjectPath("/org/freedesktop/secrets/session/1"))});
        } else if (member == "ReadAlias") {
            reply = m.createReply(QVariant::fromValue(QDBusObjectPath("/org/freedesktop/secrets/aliases/default")));
        } else if (member == "CreateItem") {
            const QVariantMap properties = qdbus_cast<QVariantMap>(m.arguments().at(0));
            const Attributes attributes =
                qdbus_cast<Attributes>(properties.value("org.freedesktop.Secret.Item.Attributes"));
            const FakeSecret secret = qdbus_cast<FakeSecret>(m.arguments().at(1));
            items[Key(attributes)] = secret.value;
            reply = m.createReply({QVariant::fromValue(QDBusObjectPath(ItemPath(attributes))),
                                   QVariant::fromValue(QDBusObjectPath("/"))});
        } else if (member == "SearchItems") {
            const Attributes wanted = qdbus_cast<Attributes>(m.arguments().at(0));
            QList<QDBusObjectPath> found;
            if (items.contains(Key(wanted)))
                found << QDBusObjectPath(ItemPath(wanted));
            reply = m.createReply({QVariant::fromValue(found), QVariant::fromValue(QList<QDBusObjectPath>())});
        } else if (member == "GetSecret") {
            for (auto it = items.cbegin(); it != items.cend(); ++it)
                if (PathOf(it.key()) == m.path())
                    reply = m.createReply(QVariant::fromValue(
                        FakeSecret{m.arguments().at(0).value<QDBusObjectPath>(), {}, it.value(), "text/plain"}));
        }
        if (reply.type() != QDBusMessage::ReplyMessage)
            reply = m.createErrorReply(QDBusError::UnknownMethod, member);
        bus.send(reply);
        return true;
    }
    // Items are told apart by the program and the key they were stored under.
    static QString Key(const Attributes &a) { return a.value("application") + "/" + a.value("key"); }
    static QString PathOf(const QString &key) {
        return "/org/freedesktop/secrets/collection/default/" + QString::number(qHash(key));
    }
    static QString ItemPath(const Attributes &a) { return PathOf(Key(a)); }
    QMap<QString, QByteArray> items;
};

} // namespace

TEST(SecretStore, ThePasswordGoesToTheSecretServiceAndNotIntoTheSettings) {
    QProcess daemon;
    daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address"});
    if (!daemon.waitForStarted(30000) || !daemon.waitForReadyRead(30000))
        GTEST_SKIP() << "no dbus-daemon";
    const QByteArray address = daemon.readLine().trimmed();
    ASSERT_FALSE(address.isEmpty());
    const QByteArray oldAddress = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    ScopedXdgHome home;
    RecordingSink sink;
    qDBusRegisterMetaType<FakeSecret>();
    qDBusRegisterMetaType<Attributes>();
    {
        // The fake answers on a connection of its own, as a separate service would.
        QDBusConnection bus = QDBusConnection::connectToBus(QString::fromUtf8(address), "fake secrets");
        ASSERT_TRUE(bus.isConnected());
        EXPECT_FALSE(SecretStoreAvailable());
        // It runs on a thread of its own: the client's calls wait on this one.
        QThread thread;
        thread.start();
        FakeSecretService fake;
        fake.moveToThread(&thread);
        ASSERT_TRUE(bus.registerVirtualObject("/org/freedesktop/secrets", &fake, QDBusConnection::SubPath));
        ASSERT_TRUE(bus.registerService("org.freedesktop.secrets"));
        ASSERT_TRUE(SecretStoreAvailable());

        WriteSettingString("FREEDB", "Password", "old plain text");
        ASSERT_TRUE(SaveConnectionPassword("s3cret"));
        EXPECT_EQ(GetSettingString("FREEDB", "Password", "none"), "") << "the plain copy is gone";
        EXPECT_EQ(fake.items.size(), 1);
        EXPECT_EQ(LoadConnectionPassword(), "s3cret");
        bool found = true;
        EXPECT_EQ(LookUpSecret("another key", &found), "");
        EXPECT_FALSE(found);
        bus.unregisterService("org.freedesktop.secrets");
        bus.unregisterObject("/org/freedesktop/secrets", QDBusConnection::UnregisterTree);
        thread.quit();
        thread.wait();
    }
    QDBusConnection::disconnectFromBus("fake secrets");
    QDBusConnection::disconnectFromBus("melvo-secrets " + QString::fromUtf8(address));
    qputenv("DBUS_SESSION_BUS_ADDRESS", oldAddress);
    daemon.kill();
    daemon.waitForFinished(5000);
    EXPECT_TRUE(sink.Texts().isEmpty());
}
