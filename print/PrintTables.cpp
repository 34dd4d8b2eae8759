#include "print/PrintTables.h"

#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/ScheduleModel.h"
#include "store/YearEntriesModel.h"
#include "week/Days.h"

#include <QVariantList>
#include <algorithm>
#include <array>
#include <functional>
#include <tuple>
#include <vector>

namespace {

const QString kEveryYear = QStringLiteral("毎年");
constexpr int kCellsPerDay = 3;
constexpr int kMonthsPerPage = 6;

// The hour right-aligned in two characters: " 8", "17".
QString hh(int hour)
{
    return QString::number(hour).rightJustified(2, QLatin1Char(' '));
}

QString two(int value)
{
    return QString::number(value).rightJustified(2, QLatin1Char('0'));
}

QString clock(int hour, int minute)
{
    return hh(hour) + QLatin1Char(':') + two(minute);
}

// The programs `wanted` picks, in time order (ties as stored).
std::vector<WeekRow> programsInTimeOrder(const QList<WeekRow>& programs,
                                         const std::function<bool(const WeekRow&)>& wanted)
{
    std::vector<WeekRow> rows;
    for (const WeekRow& r : programs)
        if (wanted(r))
            rows.push_back(r);
    std::stable_sort(rows.begin(), rows.end(), [](const WeekRow& a, const WeekRow& b) {
        return std::tie(a.SpecialNO, a.TimeONH, a.TimeONM, a.TimeONS, a.TimeOFFH, a.TimeOFFM)
            < std::tie(b.SpecialNO, b.TimeONH, b.TimeONM, b.TimeONS, b.TimeOFFH, b.TimeOFFM);
    });
    return rows;
}

int programTypeOf(ScheduleDocument& document, int circuit)
{
    return document.circuit(circuit).Program;
}

bool isTimed(int type)
{
    return type == TypeTimeSignal || type == TypeChime;
}

bool isPeriod(int type)
{
    return type == TypeTimer || type == TypeRepeat;
}

QString startText(const WeekRow& r, int type)
{
    QString text = clock(r.TimeONH, r.TimeONM);
    if (type == TypeChime)
        text += QLatin1Char('.') + two(r.TimeONS);
    return text;
}

// The three cells of one program on the week grid.
QStringList weekCells(const WeekRow& r, int type)
{
    if (isTimed(type))
        return {startText(r, type), r.ChimeNO == 0 ? QString() : QStringLiteral("曲") + QString::number(r.ChimeNO),
                QString()};
    if (isPeriod(type)) {
        const QString endDay = r.YobiOFF == r.YobiON ? QStringLiteral("  ") : Days::name(r.YobiOFF);
        return {clock(r.TimeONH, r.TimeONM) + QStringLiteral("～"), clock(r.TimeOFFH, r.TimeOFFM) + endDay,
                r.Repeat == 0 ? QString() : QString::number(r.Repeat) + QStringLiteral("分間隔")};
    }
    return {QString(), QString(), QString()};
}

QString specialText(const WeekRow& r, int type)
{
    switch (type) {
    case TypeTimeSignal:
        return clock(r.TimeONH, r.TimeONM);
    case TypeChime:
        return startText(r, type) + QStringLiteral(" 曲") + QString::number(r.ChimeNO);
    case TypeTimer:
        return clock(r.TimeONH, r.TimeONM) + QStringLiteral("～") + clock(r.TimeOFFH, r.TimeOFFM);
    case TypeRepeat:
        return clock(r.TimeONH, r.TimeONM) + QStringLiteral("～") + clock(r.TimeOFFH, r.TimeOFFM) + QLatin1Char(' ')
            + QString::number(r.Repeat) + QStringLiteral("分間隔");
    default:
        return QString();
    }
}

// One INSERT for a whole line of cells; columns in the order given. An
// empty cell is stored as '' (the cells are NOT NULL).
void insertLine(ScheduleDocument& document, const QString& table, const QStringList& columns,
                const QVariantList& values)
{
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("COALESCE(?, '')");
    document.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(table, columns.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                  values);
}

QStringList weekPrintColumns()
{
    QStringList columns{QStringLiteral("SortID")};
    for (const char* day : {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"})
        for (int cell = 1; cell <= kCellsPerDay; ++cell)
            columns << QLatin1String(day) + QString::number(cell);
    return columns;
}

QString yearCell(int day, int special)
{
    return hh(day) + QStringLiteral("日 ")
        + (special == 0 ? QStringLiteral("停止") : QStringLiteral("P") + two(special));
}

// The cell texts of each month (index 0 unused), in day order.
std::array<QStringList, 13> monthCells(ScheduleDocument& document, const PrintJob& job)
{
    const ScheduleModel::YearKind kind =
        job.everyYear() ? ScheduleModel::YearKind::EveryYear : ScheduleModel::YearKind::Dated;
    QList<YearRow> rows = ScheduleModel::yearEntriesOf(document, kind, job.circuit);
    std::stable_sort(rows.begin(), rows.end(), [](const YearRow& a, const YearRow& b) {
        return std::tie(a.Month, a.Day) < std::tie(b.Month, b.Day);
    });
    std::array<QStringList, 13> months;
    for (const YearRow& row : rows)
        if ((kind == ScheduleModel::YearKind::EveryYear || row.Year == job.year) && row.Month >= 1 && row.Month <= 12)
            months[size_t(row.Month)] << yearCell(row.Day, row.SpecialNO);
    return months;
}

}  // namespace

void FillWeekPrintTable(ScheduleDocument& document, int circuit)
{
    const int type = programTypeOf(document, circuit);
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_WeekP"));
    const QList<WeekRow> programs = ScheduleModel::weekProgramsOf(document, circuit);
    std::vector<std::vector<WeekRow>> days;
    size_t lines = 0;
    for (int day = 0; day <= 6; ++day) {
        days.push_back(programsInTimeOrder(programs, [day](const WeekRow& r) { return r.YobiON == day; }));
        lines = std::max(lines, days.back().size());
    }
    const QStringList columns = weekPrintColumns();
    for (size_t line = 0; line < lines; ++line) {
        QVariantList values{int(line + 1)};
        for (const std::vector<WeekRow>& rows : days) {
            const QStringList cells = line < rows.size() ? weekCells(rows[line], type) : QStringList{"", "", ""};
            for (const QString& cell : cells)
                values << cell;
        }
        insertLine(document, QStringLiteral("T_WeekP"), columns, values);
    }
    transaction.commit();
}

void FillSpecialPrintTable(ScheduleDocument& document, int circuit)
{
    const int type = programTypeOf(document, circuit);
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_WeekP"));
    const std::vector<WeekRow> rows = programsInTimeOrder(
        ScheduleModel::weekRows(document, ScheduleModel::Order::Stored),
        [circuit](const WeekRow& r) { return r.CircuitNO == circuit && r.YobiON == 0 && r.SpecialNO != 0; });
    int line = 0;
    for (const WeekRow& r : rows)
        insertLine(document, QStringLiteral("T_WeekP"), {"SortID", "Sun1", "Sun2"},
                   {++line, QString::number(r.SpecialNO), specialText(r, type)});
    transaction.commit();
}

void FillYearPrintTable(ScheduleDocument& document, const PrintJob& job)
{
    Transaction transaction(document);
    document.exec(QStringLiteral("DELETE FROM T_YearP"));
    const QStringList columns{"PrintIndex", "PrintNO", "Mon1", "Mon2", "Mon3", "Mon4", "Mon5", "Mon6"};
    const std::array<QStringList, 13> cellsOf = monthCells(document, job);
    for (int page = 1; page <= 2; ++page) {
        QList<QStringList> months;
        qsizetype lines = 0;
        for (int column = 1; column <= kMonthsPerPage; ++column) {
            months << cellsOf[size_t(kMonthsPerPage * (page - 1) + column)];
            lines = std::max(lines, months.back().size());
        }
        for (qsizetype line = 0; line < lines; ++line) {
            QVariantList values{page, int(line + 1)};
            for (const QStringList& cells : months)
                values << cells.value(line);
            insertLine(document, QStringLiteral("T_YearP"), columns, values);
        }
    }
    transaction.commit();
}

namespace PrintTexts {

QString programTitle(int type)
{
    const QString name = ProgramTypeName(type);
    return name.isEmpty() ? QString() : name + QStringLiteral("プログラム");
}

QString pulseText(const QString& title, int pulse)
{
    const QString n = QString::number(pulse);
    if (title == programTitle(TypeTimeSignal) || title == programTitle(TypeRepeat))
        return QStringLiteral("出力時間 ") + n + QStringLiteral("秒幅");
    if (title == programTitle(TypeChime))
        return QStringLiteral("チャイム起動時間 ") + n + QStringLiteral("秒前");
    if (title == programTitle(TypeTimer))
        return QStringLiteral("終了時刻 ") + n + QStringLiteral("秒");
    return QString();
}

QString circuitText(int circuit)
{
    return QStringLiteral("回 路 ") + QString::number(circuit);
}

QStringList yearChoices(ScheduleDocument& document, int circuit)
{
    QStringList choices;
    if (ScheduleModel::hasEveryYearEntries(document, circuit))
        choices << kEveryYear;
    for (int year : ScheduleModel::datedYearsOf(document, circuit))
        choices << two(year) + QStringLiteral("年");
    return choices;
}

}  // namespace PrintTexts

PrintJob PrintJob::forCircuit(ScheduleDocument& document, int kind, int circuit)
{
    const CircuitSetting& setting = document.circuit(circuit);
    PrintJob job;
    job.document = &document;
    job.kind = kind;
    job.circuit = circuit;
    job.programTitle = PrintTexts::programTitle(setting.Program);
    job.pulse = setting.PulseTime;
    return job;
}

void PrintJob::setYear(const QString& choice)
{
    if (choice == kEveryYear) {
        year = 0;
        yearTitle = kEveryYear;
        return;
    }
    year = choice.left(2).toInt();
    yearTitle = QStringLiteral("20") + choice;
}

bool PrintJob::everyYear() const
{
    return yearTitle == kEveryYear;
}

void PrintJob::fillTables() const
{
    ScheduleDocument& document = *this->document;
    switch (kind) {
    case Week:
        FillWeekPrintTable(document, circuit);
        break;
    case Special:
        FillSpecialPrintTable(document, circuit);
        break;
    case Year:
        FillYearPrintTable(document, *this);
        break;
    default:
        break;
    }
}

bool PrintJob::tablesEmpty() const
{
    ScheduleDocument& document = *this->document;
    const char* sql = kind == Year ? "SELECT COUNT(*) FROM T_YearP" : "SELECT COUNT(*) FROM T_WeekP";
    return document.scalar(QLatin1String(sql), {}, 0).toInt() == 0;
}
