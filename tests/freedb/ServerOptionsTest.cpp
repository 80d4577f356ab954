// The server list, the server dialog, the freedb page and the connection page, driven as a user does.
#include "CddbTestServer.h"
#include "EditServer.h"
#include "FreedbTestSupport.h"
#include "OptConnection.h"
#include "OptFreeDB.h"
#include "Settings.h"
#include "TestEnvironment.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QStringList Rows(const QString &text) {
    QStringList rows;
    for (const ServerEntry &e : ReadServerList(text).rows)
        rows << QStringLiteral("%1 %2 %3 [%4] %5")
                    .arg(e.strDomain)
                    .arg(e.nPort)
                    .arg(e.strPath, e.strLocation)
                    .arg(e.dwFlag);
    return rows;
}

QStringList ListTexts(QListWidget *list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

template <class T> T *Child(QWidget *parent, const char *name) {
    T *child = parent->findChild<T *>(QLatin1String(name));
    EXPECT_TRUE(child) << name;
    return child;
}

// Radio buttons and check boxes take clicks on their indicator and label, at the left.
void ClickCheck(QAbstractButton *button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

void Click(QWidget *parent, const char *name) {
    QTest::mouseClick(Child<QPushButton>(parent, name), Qt::LeftButton);
}

void Type(QWidget *parent, const char *name, const QString &text) {
    QLineEdit *field = Child<QLineEdit>(parent, name);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

} // namespace

TEST(ServerList, LinesOfFiveFieldsBecomeRowsAndBrokenLinesAreSkipped) {
    const QString text = "gnudb.gnudb.org|80|/~cddb/cddb.cgi|Random freedb server|0|\n" // a sixth, empty field
                         "\n"
                         "mine.example|8880|/cgi|At home|1\n"
                         "nolocation|80|/cgi||0\n" // the location missing: no row
                         "badport|eighty|/cgi|x|1\n"
                         "zeroport|0|/cgi|x|1\n"
                         "bigport|70000|/cgi|x|1\n"
                         "short|80|/cgi\n"
                         "||||\n"
                         "last|81|/p|L|1";
    EXPECT_EQ(Rows(text), (QStringList{"gnudb.gnudb.org 80 /~cddb/cddb.cgi [Random freedb server] 0",
                                       "mine.example 8880 /cgi [At home] 1", "last 81 /p [L] 1"}));
    const QList<ServerEntry> rows = ReadServerList(text).rows;
    EXPECT_EQ(FindServerRow(rows, {"mine.example", "/cgi", "", 8880, 0}), 1);
    EXPECT_EQ(FindServerRow(rows, {"mine.example", "/cgi", "", 8881, 0}), 0) << "no match: the first row";
    EXPECT_EQ(FindServerRow({}, {}), -1);
    EXPECT_EQ(ServerRowText(rows[1]), "mine.example - At home");
}

TEST(ServerList, AddingAndRemovingLinesKeepsTheTextReadable) {
    QString text = AppendServerLine("a|80|/p|A|0|\n", {"b", "/q", "", 81, 1});
    EXPECT_EQ(text, "a|80|/p|A|0|\nb|81|/q| |1\n"); // an empty location is written as one space
    text = AppendServerLine(text, {"c", "/r", "C", 82, 1});
    EXPECT_EQ(RemoveServerRow(text, 1), "a|80|/p|A|0|\nc|82|/r|C|1\n");
    // The first row leaves an empty first line behind; the next first row goes as well.
    text = RemoveServerRow(text, 0);
    EXPECT_EQ(text, "\nb|81|/q| |1\nc|82|/r|C|1\n");
    text = RemoveServerRow(text, 0);
    EXPECT_EQ(Rows(text), QStringList{"c 82 /r [C] 1"});
    EXPECT_EQ(RemoveServerRow(text, 5), text);
}

TEST(ServerList, ASitesAnswerGivesItsHttpServersReadOnly) {
    const QStringList answer{"210 OK, site information follows (until terminating `.')",
                             "gnudb.gnudb.org cddbp 8880 - N000.00 W000.00 Random gnudb server",
                             "gnudb.gnudb.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Random   gnudb server",
                             "eu.example.org http 8080 /cddb N051.30 E000.07 London, UK",
                             "broken http 80",
                             ".",
                             "after.example http 80 /x N0 E0 not read"};
    EXPECT_EQ(ServerListFromSites(answer), "gnudb.gnudb.org|80|/~cddb/cddb.cgi|Random gnudb server|0\n"
                                           "eu.example.org|8080|/cddb|London, UK|0\n");
}

class ServerDialogTest : public ::testing::Test {
protected:
    ScopedXdgHome m_home;
    RecordingSink m_sink;
};

TEST_F(ServerDialogTest, AddSaveAndDeleteWithAPendingNewRow) {
    const QString text = "gnudb.gnudb.org|80|/~cddb/cddb.cgi|Random freedb server|0|\nmine|81|/m|Home|1\n";
    CEditServer dialog(text, {"mine", "/m", "", 81, 0});
    dialog.show();
    auto *list = Child<QListWidget>(&dialog, "Servers");
    EXPECT_EQ(list->currentRow(), 1);
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Domain")->text(), "mine");
    EXPECT_TRUE(Child<QPushButton>(&dialog, "Save")->isEnabled());

    // A read-only row can't be saved or deleted.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_FALSE(Child<QPushButton>(&dialog, "Save")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(&dialog, "Delete")->isEnabled());
    EXPECT_TRUE(Child<QLineEdit>(&dialog, "Domain")->isReadOnly());

    // Add: a pending "New Server..." row that selecting another row drops.
    Click(&dialog, "Add");
    EXPECT_EQ(ListTexts(list).last(), "New Server...");
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Port")->text(), "80");
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Path")->text(), "/~cddb/cddb.cgi");
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);

    // Add again: an empty domain is refused, a port out of range too.
    Click(&dialog, "Add");
    Click(&dialog, "Save");
    EXPECT_EQ(m_sink.Texts(), QStringList{"Please enter a valid Domain and a valid Path!"});
    Type(&dialog, "Domain", "new.example");
    Type(&dialog, "Port", "65535");
    Click(&dialog, "Save");
    EXPECT_EQ(m_sink.Texts().last(), "Please enter an integer between 1 and 65534.");
    EXPECT_EQ(dialog.Text(), text);
    Type(&dialog, "Port", "8080");
    Click(&dialog, "Save");
    EXPECT_EQ(dialog.Text(), text + "new.example|8080|/~cddb/cddb.cgi| |1\n");
    EXPECT_EQ(list->currentItem()->text(), "new.example -  ");
    EXPECT_EQ(dialog.Current().strDomain, "new.example");

    // Saving an edited row appends; the old line stays.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    Type(&dialog, "Location", "Office");
    Click(&dialog, "Save");
    EXPECT_EQ(ListTexts(list), (QStringList{"gnudb.gnudb.org - Random freedb server", "mine - Home", "new.example -  ",
                                            "mine - Office"}));
    EXPECT_EQ(list->currentRow(), 1) << "the first row of that server";

    // Delete with a new row pending drops only that row; then the selected row goes.
    Click(&dialog, "Add");
    Click(&dialog, "Delete");
    EXPECT_EQ(list->count(), 4);
    Click(&dialog, "Delete");
    EXPECT_EQ(ListTexts(list),
              (QStringList{"gnudb.gnudb.org - Random freedb server", "new.example -  ", "mine - Office"}));
}

TEST_F(ServerDialogTest, RetrieveServerListReplacesTheListWithTheServersHttpServers) {
    qunsetenv("http_proxy");
    CddbTestServer server([](const QByteArray &cmd, const QByteArray &) {
        EXPECT_EQ(cmd, "sites");
        return CddbTestServer::Reply{CddbTestServer::Answer,
                                     "210 Ok.\r\nsite.example cddbp 8880 - N0 W0 Not this\r\n"
                                     "site.example http 80 /~cddb/cddb.cgi N0 W0 Main site\r\n.\r\n"};
    });
    SetDefaultFreedbServer({"127.0.0.1", server.Port(), "/~cddb/cddb.cgi"});
    WriteSettingString("FREEDB", "E-Mail", "me@example.org");
    CEditServer dialog("mine|81|/m|Home|1\n", {"mine", "/m", "", 81, 0});
    dialog.show();
    Click(&dialog, "Retrieve");
    auto *list = Child<QListWidget>(&dialog, "Servers");
    QElapsedTimer clock;
    clock.start();
    while (ListTexts(list) == QStringList{"mine - Home"} && clock.elapsed() < 15000)
        QTest::qWait(10);
    EXPECT_EQ(ListTexts(list), QStringList{"site.example - Main site"});
    EXPECT_EQ(dialog.Text(), "site.example|80|/~cddb/cddb.cgi|Main site|0\n");
    EXPECT_FALSE(Child<QPushButton>(&dialog, "Delete")->isEnabled()) << "retrieved servers are read-only";
    StopFreedbRequests(std::chrono::seconds(5));
    SetDefaultFreedbServer({});
}

TEST_F(ServerDialogTest, TheFreedbPageChoosesServerFoldersAndWritesThemOnOk) {
    WriteSettingString("FREEDB", "Server", "a|80|/p|A|0|\nb|81|/q|B|1\n");
    WriteSettingString("FREEDB", "CurrentServer", "b");
    WriteSettingString("FREEDB", "CurrentPath", "/q");
    WriteSettingInt("FREEDB", "CurrentPort", 81);
    SetFreedbFolderChooser([](QWidget *, const QString &title, const QString &) {
        return title.contains("caches") ? QString("/chosen/cache") : QString("/chosen/db");
    });
    COptFreeDB page;
    page.show();
    auto *servers = Child<QComboBox>(&page, "Servers");
    EXPECT_EQ(servers->count(), 2);
    EXPECT_EQ(servers->currentText(), "b - B");
    EXPECT_FALSE(Child<QPushButton>(&page, "DBBrowse")->isEnabled());
    ClickCheck(Child<QCheckBox>(&page, "UseDB"));
    ASSERT_TRUE(Child<QPushButton>(&page, "DBBrowse")->isEnabled());
    Click(&page, "DBBrowse");
    Click(&page, "CacheBrowse");
    EXPECT_EQ(Child<QLabel>(&page, "DBPath")->text(), "/chosen/db");
    EXPECT_EQ(Child<QLabel>(&page, "CachePath")->text(), "/chosen/cache");

    // Edit...: a server added in the dialog becomes the current one.
    WhenShown<CEditServer>("EditServer", [](CEditServer *dialog) {
        Click(dialog, "Add");
        Type(dialog, "Domain", "c.example");
        Click(dialog, "Save");
        QTest::mouseClick(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    Click(&page, "Edit");
    EXPECT_EQ(servers->count(), 3);
    EXPECT_EQ(servers->currentText(), "c.example -  ");
    Type(&page, "Email", "me@example.org");
    ASSERT_TRUE(page.OnOK());
    EXPECT_EQ(GetSettingString("FREEDB", "CurrentServer", ""), "c.example");
    EXPECT_EQ(GetSettingInt("FREEDB", "CurrentPort", 0), 80);
    EXPECT_EQ(GetSettingString("FREEDB", "CurrentPath", ""), "/~cddb/cddb.cgi");
    EXPECT_EQ(GetSettingString("FREEDB", "Server", ""),
              "a|80|/p|A|0|\nb|81|/q|B|1\nc.example|80|/~cddb/cddb.cgi| |1\n");
    EXPECT_EQ(GetSettingInt("FREEDB", "UseLocalDB", 0), 1);
    EXPECT_EQ(GetSettingString("FREEDB", "LocalDBPath", ""), "/chosen/db");
    EXPECT_EQ(GetSettingString("FREEDB", "LocalCachePath", ""), "/chosen/cache");
    EXPECT_EQ(GetSettingString("FREEDB", "E-Mail", ""), "me@example.org");

    // Standard: the cache back to its default, the database off; the server stays.
    Click(&page, "Standard");
    EXPECT_EQ(Child<QLabel>(&page, "CachePath")->text(), DefaultFreedbCacheFolder());
    EXPECT_FALSE(Child<QCheckBox>(&page, "UseDB")->isChecked());
    EXPECT_EQ(Child<QLabel>(&page, "DBPath")->text(), "/chosen/db");
    EXPECT_EQ(servers->currentText(), "c.example -  ");
    SetFreedbFolderChooser({});
}

TEST_F(ServerDialogTest, TheConnectionPageWithoutNetworkManager) {
    WriteSettingInt("FREEDB", "Conn-Dial", 1); // a profile was chosen where NetworkManager ran
    COptConnection page;
    page.show();
    if (page.ConnectButton(2)->isEnabled())
        GTEST_SKIP() << "NetworkManager runs here";
    EXPECT_FALSE(page.ConnectButton(1)->isEnabled());
    EXPECT_FALSE(page.Entries()->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(&page, "RasSettings")->isEnabled());
    EXPECT_FALSE(Child<QPushButton>(&page, "NetSettings")->isEnabled());
    EXPECT_EQ(page.Chosen()->text(), "Using RAS");
    // With Confirmation only for a hang-up rule other than Manually.
    EXPECT_FALSE(page.Confirm()->isEnabled());
    page.Hangup()->setCurrentIndex(1);
    EXPECT_TRUE(page.Confirm()->isEnabled());
    // OK with "Using RAS" and no profile: message 8, nothing saved.
    EXPECT_FALSE(page.OnOK());
    EXPECT_EQ(m_sink.Texts(), QStringList{"Please create at first a RAS Connection or select <Manually>!"});
    EXPECT_EQ(GetSettingInt("FREEDB", "Conn-Hangup", -1), -1);

    ClickCheck(page.ConnectButton(0));
    EXPECT_EQ(page.Chosen()->text(), "");
    EXPECT_FALSE(page.Hangup()->isEnabled());
    EXPECT_FALSE(page.Confirm()->isEnabled());
    Click(&page, "Standard");
    EXPECT_EQ(page.Hangup()->currentIndex(), 0);
    ASSERT_TRUE(page.OnOK());
    EXPECT_EQ(GetSettingInt("FREEDB", "Conn-Dial", -1), 0);
    EXPECT_EQ(GetSettingInt("FREEDB", "Conn-Hangup", -1), 0);
}

TEST_F(ServerDialogTest, RasSettingsKeepThePasswordInTheSettingsOnlyWithoutASecretStore) {
    CRASSettings dialog("Dial-up");
    dialog.show();
    EXPECT_EQ(Child<QLabel>(&dialog, "Entry")->text(), "Dial-up");
    EXPECT_TRUE(Child<QRadioButton>(&dialog, "Current")->isChecked());
    EXPECT_FALSE(Child<QLineEdit>(&dialog, "Password")->isEnabled());
    ClickCheck(Child<QRadioButton>(&dialog, "Following"));
    ASSERT_TRUE(Child<QLineEdit>(&dialog, "Password")->isEnabled());
    EXPECT_EQ(Child<QLineEdit>(&dialog, "Password")->echoMode(), QLineEdit::Password);
    Type(&dialog, "Username", "jane");
    Type(&dialog, "Password", "s3cret");
    const bool store = dialog.findChild<QLabel *>("PasswordNote") == nullptr;
    QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(GetSettingInt("FREEDB", "RAS-Standard", -1), 1);
    EXPECT_EQ(GetSettingString("FREEDB", "Username", ""), "jane");
    EXPECT_EQ(GetSettingString("FREEDB", "Password", ""), store ? "" : "s3cret");
    EXPECT_EQ(LoadConnectionPassword(), "s3cret");
}
