// The registry against the two other lists of command words: the launcher's
// routing and the manual page's COMMANDS section.
#include "app/cli/Command.h"
#include "app/cli/LauncherRouting.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// The words that begin each entry of the manual page's COMMANDS section
// (".BI check \" FILE\"", "\fBnormalize\fP ...", ".BR \-\-help \", \" \-h").
QStringList manualWords()
{
    QFile page(QStringLiteral(WZ_SOURCE_DIR "/dist/wzqxprog.1"));
    if (!page.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList lines = QString::fromUtf8(page.readAll())
                                  .section(QStringLiteral(".SH COMMANDS\n"), 1)
                                  .section(QStringLiteral("\n.SH "), 0, 0)
                                  .split('\n');
    static const QRegularExpression markup(QStringLiteral("^\\.B[IR]? |\\\\f[BIP]|\""));
    QStringList words;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] != QLatin1String(".TP"))
            continue;
        const QStringList parts =
            QString(lines[i + 1]).remove(markup).replace(QStringLiteral("\\-"), QStringLiteral("-")).split(' ', Qt::SkipEmptyParts);
        for (int j = 0; j < parts.size(); j += 2) {
            if (j > 0 && parts[j - 1] != QLatin1String(","))
                break;
            if (!words.contains(parts[j]))
                words << parts[j];
        }
    }
    return words;
}

}  // namespace

class TestCommandRegistry : public QObject
{
    Q_OBJECT
private slots:
    void everyWordRoutedAndDocumented_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("drawing");
        for (const Command& command : CommandRegistry())
            for (const QString& word : command.words)
                QTest::newRow(qPrintable(word)) << word << (command.program == Program::Editor);
    }

    void everyWordRoutedAndDocumented()
    {
        QFETCH(QString, word); QFETCH(bool, drawing);
        const QByteArray bytes = word.toUtf8();
        std::vector<const char*> argv{"wzqxprog", bytes.constData()};
        if (!word.startsWith('-'))
            argv.push_back("IN");  // options stand alone, a command word comes with its arguments
        QCOMPARE(LauncherRouting::forCommandsProgram(int(argv.size()), argv.data()), !drawing);
        QVERIFY2(manualWords().contains(word), qPrintable(manualWords().join(' ')));
    }

    // No word in the launcher or the manual page that the registry lacks.
    void noOtherWords()
    {
        QStringList words = manualWords();
        for (const char* word : LauncherRouting::kEditorCommands)
            words << QString::fromUtf8(word);
        for (const char* word : LauncherRouting::kCommandOptions)
            words << QString::fromUtf8(word);
        QVERIFY(!words.isEmpty());
        for (const QString& word : words)
            QVERIFY2(CommandNamed(word), qPrintable(word));
    }
};

QTEST_GUILESS_MAIN(TestCommandRegistry)
#include "test_command_registry.moc"
