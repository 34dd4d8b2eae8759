#include "app/cli/CalendarListing.h"

#include "app/cli/ReviewCommand.h"
#include "review/CalendarPage.h"
#include "whenruns/Schedule.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <stdexcept>

namespace {

// A 日課 name fits a day's cell.
constexpr int kLongestName = 16;

// "1=短縮,2=行事": each special number 1..99 once, with a name of 1 to 16
// characters. The refusal when a part is not of that form.
std::optional<QMap<int, QString>> parseNames(const QString& value, QString& refusal)
{
    static const QRegularExpression part(QStringLiteral("^([0-9]{1,2})=(.*)$"));
    QMap<int, QString> names;
    for (const QString& item : value.split(QLatin1Char(','))) {
        const QRegularExpressionMatch match = part.match(item);
        const int special = match.hasMatch() ? match.captured(1).toInt() : 0;
        const QString name = match.captured(2);
        if (special < 1 || special > 99)
            refusal = QStringLiteral("--names の特殊番号は 1～99 で「番号=名前」と指定してください: %1").arg(item);
        else if (names.contains(special))
            refusal = QStringLiteral("--names に特殊番号 %1 が二度あります。").arg(special);
        else if (name.trimmed().isEmpty())
            refusal = QStringLiteral("--names の特殊番号 %1 の名前が空です。").arg(special);
        else if (name.toUcs4().size() > kLongestName)
            refusal = QStringLiteral("--names の名前は %1 文字までです: %2").arg(kLongestName).arg(name);
        else if (std::any_of(name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
            refusal = QStringLiteral("--names の名前に制御文字は使えません: 特殊番号 %1").arg(special);
        if (!refusal.isEmpty())
            return std::nullopt;
        names.insert(special, name);
    }
    return names;
}

class CalendarListing : public FileEdit
{
    std::optional<Refusal> prepare(const CommandWords& words) override
    {
        const QMap<QString, QString>& values = words.values;
        const std::optional<int> circuit = CircuitArgument(values.value(QStringLiteral("--circuit")));
        if (!circuit)
            return usageRefusal(QStringLiteral("--circuit には 1～8 を指定してください。"));
        m_sheet.circuit = *circuit;
        if (values.contains(QStringLiteral("--year")))
            return usageRefusal(QStringLiteral("--year は --listing year とだけ使えます。"));
        if (!values.contains(QStringLiteral("--school-year")))
            return usageRefusal(QStringLiteral("--listing calendar には --school-year YYYY が必要です。"));
        QString refusal;
        const std::optional<int> schoolYear =
            SchoolYearArgument(values.value(QStringLiteral("--school-year")), refusal);
        if (!schoolYear)
            return usageRefusal(refusal);
        m_sheet.schoolYear = *schoolYear;
        if (values.contains(QStringLiteral("--names"))) {
            const std::optional<QMap<int, QString>> names =
                parseNames(values.value(QStringLiteral("--names")), refusal);
            if (!names)
                return usageRefusal(refusal);
            m_sheet.names = *names;
        }
        const QString paper = values.value(QStringLiteral("--paper"), QStringLiteral("A4")).toUpper();
        if (paper != QLatin1String("A4") && paper != QLatin1String("A3"))
            return usageRefusal(QStringLiteral("--paper には A4 か A3 を指定してください。"));
        m_sheet.paper = paper == QLatin1String("A3") ? Review::Paper::A3 : Review::Paper::A4;
        m_sheet.fileName = QFileInfo(in).fileName();
        return std::nullopt;
    }

    // Drawn before OUT is touched, so that a circuit without programs
    // leaves it as it was.
    std::optional<Refusal> change(ScheduleDocument& document, QTextStream&) override
    {
        QString refusal;
        m_pdf = Review::CalendarPdf(WhenRuns::ReadSchedule(document), m_sheet, &refusal);
        if (!refusal.isEmpty())
            return Refusal{ExitNothingToPrint, refusal};
        if (m_pdf.isEmpty())
            throw std::runtime_error(QStringLiteral("%1: PDF を作成できません。").arg(out).toStdString());
        return std::nullopt;
    }

    QByteArray content(ScheduleDocument&) override { return m_pdf; }

    Review::CalendarSheet m_sheet;
    QByteArray m_pdf;
};

}  // namespace

const QStringList& CalendarOptions()
{
    static const QStringList options{QStringLiteral("--school-year"), QStringLiteral("--names"),
                                     QStringLiteral("--paper")};
    return options;
}

std::unique_ptr<FileEdit> CalendarEdit()
{
    return std::make_unique<CalendarListing>();
}
