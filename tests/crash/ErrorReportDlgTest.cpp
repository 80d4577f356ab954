// The report dialog driven as a user would, and the archive it writes read back with minizip.
#include "ErrorReportDlg.h"
#include "CrashReport.h"
#include "ReportZip.h"
#include "TestEnvironment.h"

#include <QApplication>
#include <QDateTime>
#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <functional>
#include <unzip.h>

namespace {

// Takes the place of the mail program.
class MailCatcher : public QObject {
    Q_OBJECT
public:
    MailCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("mailto"), this, "Open"); }
    ~MailCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("mailto")); }
    QStringList urls;
public slots:
    void Open(const QUrl &url) { urls << url.toString(); }
};

// Acts on the modal windows in turn as each appears. An action may open a nested event loop, so it runs
// from its own event, never inside the script's timer (a timer does not fire while its slot runs).
class ModalScript {
public:
    struct Step {
        std::function<bool(QWidget *)> matches;
        std::function<void(QWidget *)> act;
    };
    explicit ModalScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || m_next == m_steps.size() || !m_steps[m_next].matches(modal))
                return;
            QTimer::singleShot(0, modal, [modal, act = m_steps[m_next++].act] { act(modal); });
        });
        m_timer.start(20);
    }
    bool Done() const { return m_next == m_steps.size(); }

private:
    std::vector<Step> m_steps;
    size_t m_next = 0;
    QTimer m_timer;
};

template <class T> ModalScript::Step On(std::function<void(T *)> act) {
    return {[](QWidget *modal) { return qobject_cast<T *>(modal) != nullptr; },
            [act](QWidget *modal) { act(qobject_cast<T *>(modal)); }};
}

template <class T> ModalScript::Step Click(const char *button) {
    return On<T>([button](T *modal) {
        QTest::mouseClick(modal->template findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
    });
}

struct ReportFiles {
    QString strText, strDump;
    QDateTime textTime, dumpTime;
};

// A text report and a dump with distinct contents and times (even seconds: ZIP keeps two-second steps).
ReportFiles WriteReportFiles(const QTemporaryDir &folder) {
    ReportFiles files{folder.filePath("Melvo.txt"), folder.filePath("Melvo.dmp"),
                      QDateTime(QDate(2023, 4, 5), QTime(6, 7, 8)), QDateTime(QDate(2024, 11, 12), QTime(13, 14, 16))};
    QFile text(files.strText);
    text.open(QIODevice::WriteOnly);
    text.write("Time: 06:07:08, 05.04.2023\r\nSPTI driver\r\nError-Type 0xb, Error-Address 0x0\r\n");
    text.flush(); // or closing would move the time again
    text.setFileTime(files.textTime, QFileDevice::FileModificationTime);
    text.close();
    QFile dump(files.strDump);
    dump.open(QIODevice::WriteOnly);
    QByteArray bytes("MDMP");
    for (int i = 0; i < 100000; ++i)
        bytes.append(static_cast<char>(i * 7));
    dump.write(bytes);
    dump.flush();
    dump.setFileTime(files.dumpTime, QFileDevice::FileModificationTime);
    dump.close();
    return files;
}

QByteArray Contents(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Entry {
    QString strName;
    QDateTime time;
    QByteArray data;
};

QList<Entry> ReadZip(const QString &path) {
    QList<Entry> entries;
    unzFile zip = unzOpen64(QFile::encodeName(path).constData());
    if (!zip)
        return entries;
    for (int more = unzGoToFirstFile(zip); more == UNZ_OK; more = unzGoToNextFile(zip)) {
        char name[256];
        unz_file_info64 info;
        unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
        const tm_unz &t = info.tmu_date;
        Entry entry{QString::fromUtf8(name),
                    QDateTime(QDate(int(t.tm_year), int(t.tm_mon) + 1, int(t.tm_mday)),
                              QTime(int(t.tm_hour), int(t.tm_min), int(t.tm_sec))),
                    {}};
        EXPECT_EQ(info.compression_method, static_cast<uLong>(Z_DEFLATED));
        unzOpenCurrentFile(zip);
        char block[4096];
        for (int n; (n = unzReadCurrentFile(zip, block, sizeof block)) > 0;)
            entry.data.append(block, n);
        unzCloseCurrentFile(zip);
        entries << entry;
    }
    unzClose(zip);
    return entries;
}

} // namespace

TEST(ErrorReportZip, HoldsTheDumpFirstThenTheTextEachWithItsTime) {
    enum Dump { Written, NotWritten, GoneSince };
    for (const Dump dump : {Written, NotWritten, GoneSince}) {
        SCOPED_TRACE(int(dump));
        QTemporaryDir folder;
        const ReportFiles files = WriteReportFiles(folder);
        const QByteArray dumpBytes = Contents(files.strDump);
        CErrorReportDlg dialog(files.strText, dump == NotWritten ? QString() : files.strDump);
        if (dump == GoneSince)
            QFile::remove(files.strDump);
        const QString zip = folder.filePath("report.zip");
        ASSERT_TRUE(dialog.WriteReportZip(zip));

        const QList<Entry> entries = ReadZip(zip);
        ASSERT_EQ(entries.size(), dump == Written ? 2 : 1);
        const Entry &text = entries.back();
        EXPECT_EQ(text.strName, "Melvo.txt");
        EXPECT_EQ(text.time, files.textTime);
        EXPECT_EQ(text.data, Contents(files.strText));
        if (dump == Written) {
            EXPECT_EQ(entries[0].strName, "Melvo.dmp");
            EXPECT_EQ(entries[0].time, files.dumpTime);
            EXPECT_EQ(entries[0].data, dumpBytes);
        }
    }
}

TEST(ErrorReportZip, AnArchiveThatCannotBeWrittenIsAFailureAndLeavesTheOldOne) {
    QTemporaryDir folder;
    const ReportFiles files = WriteReportFiles(folder);
    int error = 0;
    EXPECT_FALSE(WriteZipArchive(folder.filePath("no/such/folder/r.zip"), {files.strText}, &error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), 2) << "no temporary file is left behind";
}

TEST(ErrorReportDlg, SaveWritesTheArchiveOpensMailAndTheReportFilesGo) {
    ScopedXdgHome home;
    QTemporaryDir folder;
    const ReportFiles files = WriteReportFiles(folder);
    MailCatcher mail;
    const QString typed = folder.filePath("my report"); // the dialog adds ".zip"
    ModalScript script({Click<CErrorReportDlg>("IDOK"), On<QFileDialog>([&](QFileDialog *chooser) {
                            auto *name = chooser->findChild<QLineEdit *>("fileNameEdit");
                            name->clear();
                            QTest::keyClicks(name, typed);
                            QTest::keyClick(name, Qt::Key_Return);
                        })});
    ShowCrashReport(files.strText, files.strDump);
    EXPECT_TRUE(script.Done());

    const QList<Entry> entries = ReadZip(typed + ".zip");
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[0].strName, "Melvo.dmp");
    EXPECT_EQ(mail.urls, QStringList{"mailto:" + SupportAddress()});
    EXPECT_FALSE(QFile::exists(files.strText));
    EXPECT_FALSE(QFile::exists(files.strDump));
}

TEST(ErrorReportDlg, DetailsShowTheTextReportAndClosingWithoutSavingWritesNothing) {
    enum Close { CancelButton, CancelFileDialog };
    for (const Close close : {CancelButton, CancelFileDialog}) {
        SCOPED_TRACE(int(close));
        QTemporaryDir folder;
        const ReportFiles files = WriteReportFiles(folder);
        MailCatcher mail;
        QString details;
        std::vector<ModalScript::Step> steps{Click<CErrorReportDlg>("1409"),
                                             On<CErrorReportDetails>([&](CErrorReportDetails *dialog) {
                                                 details = dialog->findChild<QPlainTextEdit *>("1409")->toPlainText();
                                                 QTest::keyClick(dialog, Qt::Key_Return);
                                             })};
        if (close == CancelButton) {
            steps.push_back(Click<CErrorReportDlg>("IDCANCEL"));
        } else {
            steps.push_back(Click<CErrorReportDlg>("IDOK"));
            steps.push_back(On<QFileDialog>([](QFileDialog *chooser) { QTest::keyClick(chooser, Qt::Key_Escape); }));
        }
        ModalScript script(std::move(steps));
        ShowCrashReport(files.strText, files.strDump);
        EXPECT_TRUE(script.Done());

        EXPECT_EQ(details.split('\n').size(), 4) << details.toStdString();
        EXPECT_TRUE(details.startsWith("Time: 06:07:08, 05.04.2023")) << details.toStdString();
        EXPECT_TRUE(details.contains("Error-Type 0xb, Error-Address 0x0"));
        EXPECT_TRUE(mail.urls.isEmpty());
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList()) << "no archive, no report files";
    }
}

#include "ErrorReportDlgTest.moc"
