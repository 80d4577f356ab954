// The translations know every text of the sources, each finished and with the same placeholders and
// accelerators as its English text.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

namespace {

struct Message {
    QString strContext, strSource, strTranslation, strType;
};

QList<Message> ReadTs(const QString &path) {
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = Message{context, {}, {}, {}};
        } else if (xml.name() == QLatin1String("source")) {
            message.strSource = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.strType = xml.attributes().value(QLatin1String("type")).toString();
            message.strTranslation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages << message;
        }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString() << ": " << xml.errorString().toStdString();
    return messages;
}

// Qt's "%1" may move within the sentence; printf's "%s" and "%.2d" must keep their order.
QString Placeholders(const QString &text) {
    static const QRegularExpression qt(QStringLiteral("%L?\\d+|%n"));
    static const QRegularExpression printf(QStringLiteral("%%|%[-+#0]*\\d*(?:\\.\\d+)?[sdiuxXfcp]"));
    QStringList numbered, positional;
    for (const auto &match : qt.globalMatch(text))
        numbered << match.captured();
    numbered.sort();
    for (const auto &match : printf.globalMatch(text))
        positional << match.captured();
    return numbered.join(QLatin1Char(' ')) + QStringLiteral(" | ") + positional.join(QLatin1Char(' '));
}

// "&&" is an ampersand, "& " plain text ("Drag & Drop"); any other "&" marks the next letter.
int Accelerators(QString text) {
    text.remove(QStringLiteral("&&"));
    int count = 0;
    for (qsizetype i = text.indexOf(QLatin1Char('&')); i >= 0; i = text.indexOf(QLatin1Char('&'), i + 1))
        count += i + 1 < text.size() && !text.at(i + 1).isSpace();
    return count;
}

QStringList Faults(const QString &tsPath) {
    QStringList faults;
    for (const Message &m : ReadTs(tsPath)) {
        const QString where = m.strContext + QStringLiteral(" \"") + m.strSource + QStringLiteral("\": ");
        if (!m.strType.isEmpty() || m.strTranslation.isEmpty())
            faults << where + QStringLiteral("no finished translation");
        else if (Placeholders(m.strSource) != Placeholders(m.strTranslation))
            faults << where + QStringLiteral("placeholders differ in \"%1\"").arg(m.strTranslation);
        else if (Accelerators(m.strSource) != Accelerators(m.strTranslation))
            faults << where + QStringLiteral("accelerators differ in \"%1\"").arg(m.strTranslation);
    }
    return faults;
}

bool RunTool(const QString &program, const QStringList &arguments, const QString &outputFile = QString()) {
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(program, arguments);
    const bool ok =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    EXPECT_TRUE(ok) << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return ok;
}

} // namespace

TEST(Translation, TheFaultsOfAnUnfinishedOrAlteredTextAreFound) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("LangXX.ts"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context><name>C</name>
<message><source>&amp;Play</source><translation>&amp;Abspielen</translation></message>
<message><source>Drag &amp; Drop %1 of %2</source><translation>%2 von %1 per Drag &amp; Drop</translation></message>
<message><source>Open</source><translation type="unfinished">Öffnen</translation></message>
<message><source>Save</source><translation></translation></message>
<message><source>%s %.2d:%.2d</source><translation>%s %.2d.%d</translation></message>
<message><source>%1 ms</source><translation>ms</translation></message>
<message><source>&amp;Quit</source><translation>Beenden</translation></message>
</context>
</TS>
)");
    file.close();
    EXPECT_EQ(Faults(path), (QStringList{
                                "C \"Open\": no finished translation",
                                "C \"Save\": no finished translation",
                                "C \"%s %.2d:%.2d\": placeholders differ in \"%s %.2d.%d\"",
                                "C \"%1 ms\": placeholders differ in \"ms\"",
                                "C \"&Quit\": accelerators differ in \"Beenden\"",
                            }));
}

// lupdate runs over the sources into a copy of each translation: a text that the code or the string table
// has and the translation lacks arrives there unfinished.
TEST(Translation, EveryTextOfTheSourcesHasAFinishedTranslationWithItsPlaceholdersAndAccelerators) {
    const QDir lang(QStringLiteral(MELVO_SOURCE_DIR "/app/lang"));
    const QStringList files = lang.entryList({QStringLiteral("*.ts")}, QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    QTemporaryDir dir;
    const QString strings = dir.filePath(QStringLiteral("StringTable.tr.cpp"));
    ASSERT_TRUE(RunTool(QStringLiteral(MELVO_STRINGS_FOR_LUPDATE), {}, strings));
    for (const QString &name : files) {
        const QString copy = dir.filePath(name);
        ASSERT_TRUE(QFile::copy(lang.filePath(name), copy));
        QStringList arguments{QStringLiteral("-silent"),      QStringLiteral("-locations"),  QStringLiteral("none"),
                              QStringLiteral("-no-obsolete"), QStringLiteral("-extensions"), QStringLiteral("cpp,h")};
        arguments << QStringLiteral(MELVO_LUPDATE_SOURCES).split(QLatin1Char('|'), Qt::SkipEmptyParts) << strings
                  << QStringLiteral("-ts") << copy;
        ASSERT_TRUE(RunTool(QStringLiteral(MELVO_LUPDATE), arguments));
        const QStringList faults = Faults(copy);
        EXPECT_TRUE(faults.isEmpty()) << name.toStdString() << " (refresh it with --target melvo_lupdate), "
                                      << faults.size() << " faults:\n"
                                      << faults.mid(0, 20).join(QLatin1Char('\n')).toStdString();
    }
}
