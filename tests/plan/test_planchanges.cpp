#include "plan/PlanChanges.h"
#include "settings/SpecialNames.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Plan;
using SpecialNames::Names;

namespace {

QString choiceText(const DutyChoice& choice)
{
    return choice.kind == DutyChoice::Clear ? QStringLiteral("なし")
        : choice.kind == DutyChoice::Stop   ? QStringLiteral("停止")
                                            : QString::number(choice.special);
}

// "短縮=1 通常=なし"
QString choicesText(const QMap<QString, DutyChoice>& choices)
{
    QStringList words;
    for (auto entry = choices.cbegin(); entry != choices.cend(); ++entry)
        words << entry.key() + QLatin1Char('=') + choiceText(entry.value());
    return words.join(u' ');
}

// "1=短縮 99=テスト | 短縮=1 通常=なし"
QString namesText(const Names& names)
{
    QStringList specials;
    for (auto entry = names.names().cbegin(); entry != names.names().cend(); ++entry)
        specials << QString::number(entry.key()) + QLatin1Char('=') + entry.value();
    return specials.join(u' ') + QStringLiteral(" | ") + choicesText(names.choices());
}

QDate april(int day)
{
    return QDate(2028, 4, day);
}

// 4/10 通常, 4/11 短縮, 4/12 短縮, 4/13 行事, 4/14 通常, 4/15 未定.
SchoolPlan smallYear()
{
    SchoolPlan plan;
    const QStringList names{"通常", "短縮", "短縮", "行事", "通常", "未定"};
    for (int day = 0; day < names.size(); ++day)
        plan.days << PlanDay{april(10 + day), names.at(day), 2 + day};
    plan.names = {{"通常", 2}, {"短縮", 2}, {"行事", 1}, {"未定", 1}};
    return plan;
}

// The circuit holds 4/11 1, 4/12 停止 and 1 (from a file), 4/14 2, 4/15 3 and 5/1 5.
CurrentEntries heldEntries(int rowsInAll)
{
    return {{{april(11), 1}, {april(12), 0}, {april(12), 1}, {april(14), 2}, {april(15), 3}, {QDate(2028, 5, 1), 5}},
            rowsInAll};
}

// "通常 +0~0=1-1 短縮 … | conflicts 04-12 | writes … | unchosen … | rows 10>10 room 490 | first 04-12 | names 1=短縮"
QString changesText(const Changes& changes)
{
    QStringList names, conflicts, writes, toSet;
    for (const NameChanges& name : changes.names)
        names << QStringLiteral("%1 +%2~%3=%4-%5")
                     .arg(name.name)
                     .arg(name.added)
                     .arg(name.replaced)
                     .arg(name.kept)
                     .arg(name.cleared);
    for (const Conflict& conflict : changes.conflicts)
        conflicts << conflict.date.toString(QStringLiteral("MM-dd"));
    for (const DayWrite& write : changes.writes)
        writes << write.date.toString(QStringLiteral("MM-dd=")) + choiceText(write.choice);
    for (const NameToSet& set : changes.namesToSet)
        toSet << QString::number(set.special) + QLatin1Char('=') + set.name;
    return QStringLiteral("%1 | conflicts %2 | writes %3 | unchosen %4 | rows %5>%6 room %7%8 | first %9 | names %10")
        .arg(names.join(u' '), conflicts.join(u' '), writes.join(u' '), changes.unchosen.join(u' '))
        .arg(changes.rowsBefore)
        .arg(changes.rowsAfter)
        .arg(changes.room())
        .arg(changes.overCapacity() ? QStringLiteral(" over") : QString())
        .arg(changes.firstDay.toString(QStringLiteral("MM-dd")), toSet.join(u' '));
}

}  // namespace

class TestPlanChanges : public QObject
{
    Q_OBJECT

private slots:
    void namesFile_data()
    {
        QTest::addColumn<QByteArray>("content");  // null: no file
        QTest::addColumn<QString>("read");
        QTest::newRow("missing") << QByteArray() << " | ";
        QTest::newRow("not json") << QByteArray("{\"specialNames\": {\"1\": \"短縮\"") << " | ";
        QTest::newRow("partly wrong")
            << QByteArray("{\"specialNames\": {\"1\": \" 短縮 \", \"100\": \"x\", \"0\": \"x\", \"03\": \"x\", \"2\": 5, "
                          "\"4\": \"12345678901234567\", \"5\": \"a\\nb\"},"
                          " \"dutyChoices\": {\"ｔｅｓｔ\": 2, \"a\": 0, \"b\": \"x\", \"c\": 1.5, \"d\": \"停止\","
                          " \"e\": \"なし\", \"f\": 1e300, \"\": 3}}")
            << "1=短縮 | d=停止 e=なし test=2";
    }

    // Whatever the file holds, what can be read is read, and the names
    // then write and read back as they are.
    void namesFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, read);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("data/names.json"));
        if (!content.isNull()) {
            QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("data")));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(content);
        }
        Names names = Names::read(path);
        QCOMPARE(namesText(names), read);

        QCOMPARE(names.setName(99, QStringLiteral("テスト")), std::nullopt);
        names.setChoice(QStringLiteral("通常"), DutyChoice::clear());
        QCOMPARE(names.write(path), std::nullopt);
        QCOMPARE(namesText(Names::read(path)), namesText(names));
    }

    void names_data()
    {
        QTest::addColumn<int>("special");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("refusal");  // empty: set
        QTest::addColumn<QString>("shown");
        QTest::newRow("trimmed") << 12 << "　 短縮 " << "" << "12 短縮";
        QTest::newRow("sixteen") << 99 << " 1234567890123456 " << "" << "99 1234567890123456";
        QTest::newRow("sixteen beyond the basic plane") << 2 << QString("𠮷").repeated(16) << ""
                                                        << "2 " + QString("𠮷").repeated(16);
        QTest::newRow("seventeen") << 1 << "12345678901234567" << "名前は16文字以内で入力してください。" << "1 前";
        QTest::newRow("line break") << 1 << "短\n縮" << "名前に改行や制御文字は使えません。" << "1 前";
        QTest::newRow("empty removes") << 1 << "  " << "" << "1";
        QTest::newRow("number 100") << 100 << "x" << "特殊番号は1～99です。" << "100";
    }

    // Number 1 is named 「前」 before the change.
    void names()
    {
        QFETCH(int, special);
        QFETCH(QString, text);
        QFETCH(QString, refusal);
        QFETCH(QString, shown);
        Names names;
        QCOMPARE(names.setName(1, QStringLiteral("前")), std::nullopt);
        QCOMPARE(names.setName(special, text).value_or(QString()), refusal);
        QCOMPARE(names.numberText(special), shown);
    }

    // A choice is found by any width of its name, by the changes too.
    void choiceByFoldedName()
    {
        Names names;
        names.setChoice(QStringLiteral("ﾃｽﾄ"), DutyChoice::runSpecial(3));
        names.setChoice(QStringLiteral("AB"), DutyChoice::stop());
        QVERIFY(names.choice(QStringLiteral("テスト")) && names.choice(QStringLiteral("　ＡＢ　")));
        QVERIFY(!names.choice(QStringLiteral("テスト日課")));
        SchoolPlan plan;
        plan.days << PlanDay{april(10), QStringLiteral("テスト"), 2};
        plan.names << NameCount{QStringLiteral("テスト"), 1};
        QVERIFY(planChanges(plan, names.choices(), {}, OnExisting::Keep).unchosen.isEmpty());
    }

    void changes_data()
    {
        QTest::addColumn<QString>("choices");
        QTest::addColumn<bool>("keep");
        QTest::addColumn<int>("rowsInAll");
        QTest::addColumn<QString>("changes");
        const QString all = QStringLiteral("通常=なし 短縮=1 行事=停止");
        QTest::newRow("overwrite")
            << all << false << 10
            << "通常 +0~0=1-1 短縮 +0~1=1-0 行事 +1~0=0-0 未定 +0~0=0-0 | conflicts 04-12 | "
               "writes 04-12=1 04-13=停止 04-14=なし | unchosen 未定 | rows 10>10 room 490 | first 04-12 | names 1=短縮";
        QTest::newRow("keep")
            << all << true << 10
            << "通常 +0~0=1-1 短縮 +0~0=2-0 行事 +1~0=0-0 未定 +0~0=0-0 | conflicts 04-12 | "
               "writes 04-13=停止 04-14=なし | unchosen 未定 | rows 10>10 room 490 | first 04-13 | names 1=短縮";
        QTest::newRow("everything set anew")
            << "通常=7 短縮=停止 行事=8 未定=なし" << false << 6
            << "通常 +1~1=0-0 短縮 +0~2=0-0 行事 +1~0=0-0 未定 +0~0=0-1 | conflicts 04-11 04-12 04-14 | "
               "writes 04-10=7 04-11=停止 04-12=停止 04-13=8 04-14=7 04-15=なし | unchosen  | rows 6>7 room 493 | "
               "first 04-10 | names 7=通常 8=行事";
        QTest::newRow("full after clearing")
            << "通常=1 短縮=1 行事=1 未定=なし" << false << 500
            << "通常 +1~1=0-0 短縮 +0~1=1-0 行事 +1~0=0-0 未定 +0~0=0-1 | conflicts 04-12 04-14 | "
               "writes 04-10=1 04-12=1 04-13=1 04-14=1 04-15=なし | unchosen  | rows 500>501 room -1 over | "
               "first 04-10 | names 1=通常";
        QTest::newRow("room for one") << "行事=2" << false << 499
                                      << "通常 +0~0=0-0 短縮 +0~0=0-0 行事 +1~0=0-0 未定 +0~0=0-0 | conflicts  | "
                                         "writes 04-13=2 | unchosen 通常 短縮 未定 | rows 499>500 room 0 | "
                                         "first 04-13 | names ";
        QTest::newRow("nothing chosen") << "" << false << 3
                                        << "通常 +0~0=0-0 短縮 +0~0=0-0 行事 +0~0=0-0 未定 +0~0=0-0 | conflicts  | "
                                           "writes  | unchosen 通常 短縮 行事 未定 | rows 6>6 room 494 | first  | names ";
    }

    // Special number 1 has a name already except where 短縮 gives it one.
    void changes()
    {
        QFETCH(QString, choices);
        QFETCH(bool, keep);
        QFETCH(int, rowsInAll);
        QFETCH(QString, changes);
        const QMap<int, QString> named{{2, QStringLiteral("既存")}};
        const QMap<QString, DutyChoice> chosen = readMapWords(choices.split(u' ', Qt::SkipEmptyParts), smallYear()).choices;
        QCOMPARE(changesText(planChanges(smallYear(), chosen, heldEntries(rowsInAll),
                                         keep ? OnExisting::Keep : OnExisting::Overwrite, named)),
                 changes);
    }

    void mapWords_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("read");
        QTest::newRow("all forms") << QStringList{"短縮=1", "通常=なし", "行事=停止", "未定=９９"}
                                   << "未定=99 短縮=1 行事=停止 通常=なし |  | ";
        QTest::newRow("name not in the table, twice")
            << QStringList{"短縮=1", "遠足=2", " 遠足 =２"} << "短縮=1 遠足=2 | --map の日課「遠足」は表にありません。 | ";
        QTest::newRow("two ways") << QStringList{"短縮=1", "短縮=2"}
                                  << "短縮=1 |  | --map で日課「短縮」に異なる指定が二つあります。";
        QTest::newRow("number 100")
            << QStringList{"短縮=100"}
            << " |  | --map「短縮=100」: 「=」の後には なし、停止、特殊番号（1～99）のいずれかを指定してください。";
        QTest::newRow("no equals") << QStringList{"短縮"}
                                   << " |  | --map には 名前=なし、名前=停止、名前=特殊番号（1～99）"
                                      "のいずれかの形で指定してください（「短縮」）。";
    }

    void mapWords()
    {
        QFETCH(QStringList, words);
        QFETCH(QString, read);
        const MapWords map = readMapWords(words, smallYear());
        QCOMPARE(choicesText(map.choices) + QStringLiteral(" | ") + map.warnings.join(u' ') + QStringLiteral(" | ")
                     + map.refusal.value_or(QString()),
                 read);
    }
};

QTEST_GUILESS_MAIN(TestPlanChanges)
#include "test_planchanges.moc"
