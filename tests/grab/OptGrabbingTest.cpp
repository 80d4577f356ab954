// The "CD Drives" page through its widgets, its letter rules, and the disc images that become drives at once.
#include "OptGrabbing.h"
#include "GrabFixture.h"
#include "Settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

class OptGrabbingTest : public GrabFixture {
protected:
    void SetUp() override {
        GrabFixture::SetUp();
        second = WriteDiscImage(dir.path().toStdString(), "second", {75 * 2}, 0);
        WriteDiscImages({Cue(), QString::fromStdString(second.strToc)});
        ASSERT_EQ(InitCDAccess(), 2);
    }
    template <class W> static W *Control(const QWidget &page, const QString &name) {
        W *w = page.findChild<W *>(name);
        EXPECT_TRUE(w) << name.toStdString();
        return w;
    }
    DiscImage second;
};

} // namespace

TEST(DriveOptionsRules, LettersStayUniqueAndStartUpAsksOnlyWhenThereIsAChoice) {
    struct Case {
        QStringList stored, candidates;
        int choice; // what the dialog answers
        QStringList letters;
        QStringList asked; // "drive: candidates"
    } cases[] = {
        {{"", ""}, {"D:", "E:"}, 1, {"E:", "D:"}, {"A: D:,E:"}},
        {{"D:", ""}, {"D:", "E:"}, 0, {"D:", "D:"}, {"B: D:,E:"}}, // stored letters stay candidates
        {{"", ""}, {"E:"}, 0, {"E:", ""}, {}},
        {{"", ""}, {}, 0, {"", ""}, {}},
    };
    for (const Case &c : cases) {
        QStringList asked;
        const QStringList letters =
            AssignDriveLetters({"A", "B"}, c.stored, c.candidates, [&](const QString &name, const QStringList &offer) {
                asked << name + ": " + offer.join(',');
                return c.choice;
            });
        EXPECT_EQ(letters, c.letters) << c.stored.join(',').toStdString();
        EXPECT_EQ(asked, c.asked);
    }

    DriveOptions options;
    options.drives = {{25, 1, "D:", "A"}, {25, 1, "E:", "B"}, {25, 1, "F:", "C"}};
    options.ChooseLetter(0, "E:");
    EXPECT_EQ(options.drives[0].driveLetter, "E:");
    EXPECT_EQ(options.drives[1].driveLetter, "D:");
    EXPECT_EQ(options.drives[2].driveLetter, "F:");

    const std::pair<int, int> frames[] = {{1, 2}, {25, 1}, {5, 3}, {3, 4}, {75, 0}, {7, 0}, {2, 1}, {9, -1}};
    for (auto [value, entry] : frames)
        EXPECT_EQ(FramesEntryFor(value), entry) << value;
}

TEST(DriveOptionsRules, TheLetterDialogOffersTheCandidatesWithTheFirstSelected) {
    CChooseDriveLetter dialog("HL-DT-ST DVDRAM", {"D:", "E:"});
    EXPECT_EQ(dialog.findChild<QGroupBox *>("1312")->title(), "HL-DT-ST DVDRAM");
    auto *letters = dialog.findChild<QComboBox *>("1308");
    EXPECT_EQ(dialog.Letter(), "D:");
    letters->setCurrentIndex(1);
    EXPECT_EQ(dialog.Position(), 1);
    EXPECT_EQ(dialog.Letter(), "E:");
}

TEST_F(OptGrabbingTest, ThePageShowsEditsAndWritesEveryDrivesSection) {
    WriteSettingInt("Image disc.cue", "Frames", 1);
    WriteSettingInt("Image second.toc", "Frames", 9);
    WriteSettingInt("Image second.toc", "Readmode", 3);
    COptGrabbing page;
    page.show();
    EXPECT_EQ(page.windowTitle(), "CD Drives");
    EXPECT_TRUE(Control<QRadioButton>(page, "1282")->isChecked());
    EXPECT_FALSE(Control<QRadioButton>(page, "1283")->isEnabled()); // no ASPI here
    EXPECT_FALSE(Control<QGroupBox>(page, "1309")->isVisible());
    auto *drives = Control<QComboBox>(page, "1286");
    auto *frames = Control<QComboBox>(page, "1313");
    auto *mode = Control<QComboBox>(page, "1279");
    ASSERT_EQ(drives->count(), 2);
    EXPECT_EQ(drives->itemText(1), "Image second.toc");
    EXPECT_EQ(frames->currentText(), "15"); // 1 begins "15"
    EXPECT_EQ(mode->currentText(), "ATAPI 1");
    drives->setCurrentIndex(1);
    EXPECT_EQ(frames->currentIndex(), -1); // 9 begins no entry
    EXPECT_EQ(mode->currentText(), "READ 10");
    // The user picks with the keyboard as with the mouse.
    QTest::keyClick(mode, Qt::Key_Down);
    QTest::keyClick(frames, Qt::Key_Down);
    QTest::mouseClick(Control<QPushButton>(page, "1280"), Qt::LeftButton); // Auto-Detection changes nothing
    EXPECT_EQ(mode->currentText(), "READ D8 (Plextor)");
    ASSERT_TRUE(page.OnOK());
    EXPECT_EQ(GetSettingInt("Image second.toc", "Readmode", 0), 4);
    EXPECT_EQ(GetSettingInt("Image second.toc", "Frames", 0), 75);
    EXPECT_EQ(GetSettingInt("Image disc.cue", "Frames", 0), 1); // untouched drives keep their values
    EXPECT_EQ(GetSettingString("Image second.toc", "DriveLetter", ""), QString::fromStdString(second.strToc));
    EXPECT_EQ(GetSettingInt("CDDA", "CD-Driver", -1), 0);

    // Standard: the system's driver, 25 frames and ATAPI 1 everywhere.
    QTest::mouseClick(Control<QPushButton>(page, "1042"), Qt::LeftButton);
    EXPECT_EQ(frames->currentText(), "25");
    EXPECT_EQ(mode->currentText(), "ATAPI 1");
    ASSERT_TRUE(page.OnOK());
    for (const char *section : {"Image disc.cue", "Image second.toc"}) {
        EXPECT_EQ(GetSettingInt(section, "Frames", 0), 25);
        EXPECT_EQ(GetSettingInt(section, "Readmode", 0), 1);
    }
    // The driver radio says when a change takes effect.
    QTest::mouseClick(Control<QRadioButton>(page, "1282"), Qt::LeftButton);
    EXPECT_EQ(sink.Texts(), QStringList{"Change only take effect after restarting Melvo."});
}

TEST_F(OptGrabbingTest, TheImagesListAddsAndRemovesDrivesAtOnce) {
    const DiscImage third = WriteDiscImage(dir.path().toStdString(), "third", {75}, 0);
    COptGrabbing page;
    page.show();
    auto *images = Control<QListWidget>(page, "Images");
    ASSERT_EQ(images->count(), 2);
    images->item(0)->setSelected(true);
    QTest::mouseClick(Control<QPushButton>(page, "RemoveImage"), Qt::LeftButton);
    QTimer::singleShot(200, [&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *files = qobject_cast<QFileDialog *>(w); files && files->isVisible()) {
                auto *name = files->findChild<QLineEdit *>("fileNameEdit");
                name->clear();
                QTest::keyClicks(name, QString::fromStdString(third.strCue));
                QTest::keyClick(name, Qt::Key_Return);
            }
    });
    QTest::mouseClick(Control<QPushButton>(page, "AddImage"), Qt::LeftButton);
    ASSERT_EQ(images->count(), 2);
    EXPECT_EQ(GetNumDrives(), 2); // nothing before OK
    ASSERT_TRUE(page.OnOK());
    const QStringList expected{QString::fromStdString(second.strToc), QString::fromStdString(third.strCue)};
    EXPECT_EQ(DiscImages(), expected);
    ASSERT_EQ(GetNumDrives(), 2);
    EXPECT_EQ(GetDriveIndex(third.strCue.c_str(), nullptr), 1);
    EXPECT_EQ(GetDriveIndex(image.strCue.c_str(), nullptr), CDDA_NO_DRIVE);
    // Only existing images, each once.
    EXPECT_EQ(AddDiscImages({QString::fromStdString(third.strCue), dir.filePath("missing.cue"), dir.filePath("a.mp3")}),
              0);
}
