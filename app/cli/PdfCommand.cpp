#include "app/cli/PdfCommand.h"

#include "app/cli/CalendarListing.h"
#include "app/cli/Command.h"
#include "core/platform/Platform.h"
#include "print/PdfDocument.h"
#include "print/PrintTables.h"
#include "print/Reports.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <optional>

namespace {

const QString kEveryYear = QStringLiteral("毎年");

struct PdfRequest {
    QString in;
    QString out;
    int circuit = 0;
    int kind = 0;
    QString yearChoice;  // "毎年" or "27年", for the year listing
};

std::optional<int> listingKind(const QString& name)
{
    if (name == QLatin1String("week"))
        return PrintJob::Week;
    if (name == QLatin1String("special"))
        return PrintJob::Special;
    if (name == QLatin1String("year"))
        return PrintJob::Year;
    return std::nullopt;
}

// "every" or a two-digit year ("00" is 2000).
std::optional<QString> yearChoice(const QString& value)
{
    if (value == QLatin1String("every"))
        return kEveryYear;
    if (QRegularExpression(QStringLiteral("^[0-9]{2}$")).match(value).hasMatch())
        return value + QStringLiteral("年");
    return std::nullopt;
}

std::optional<Refusal> parse(const CommandWords& words, PdfRequest& request)
{
    const auto usage = [](const QString& reason) { return Refusal{ExitUsage, reason}; };
    const QMap<QString, QString>& values = words.values;
    const std::optional<int> circuit = CircuitArgument(values.value(QStringLiteral("--circuit")));
    if (!circuit)
        return usage(QStringLiteral("--circuit には 1～8 を指定してください。"));
    request.circuit = *circuit;
    const QString listing = values.value(QStringLiteral("--listing"));
    const QString year = values.value(QStringLiteral("--year"));
    const bool yearGiven = values.contains(QStringLiteral("--year"));
    const std::optional<int> kind = listingKind(listing);
    if (!kind)
        return usage(QStringLiteral("--listing には week, special, year, calendar のいずれかを指定してください。"));
    request.kind = *kind;
    for (const QString& option : CalendarOptions())
        if (values.contains(option))
            return usage(QStringLiteral("%1 は --listing calendar とだけ使えます。").arg(option));
    if (request.kind != PrintJob::Year) {
        if (yearGiven)
            return usage(QStringLiteral("--year は --listing year とだけ使えます。"));
        return std::nullopt;
    }
    if (!yearGiven)
        return usage(QStringLiteral("--listing year には --year YY または --year every が必要です。"));
    const std::optional<QString> choice = yearChoice(year);
    if (!choice)
        return usage(QStringLiteral("--year には 00～99 の2桁の年か every を指定してください。"));
    request.yearChoice = *choice;
    return std::nullopt;
}

// The checks the print windows make before a listing can be chosen.
std::optional<Refusal> checkListing(ScheduleDocument& document, const PdfRequest& request)
{
    const int type = document.circuit(request.circuit).Program;
    if (type == TypeRepeat && request.kind != PrintJob::Week)
        return Refusal{ExitUsage, QStringLiteral("繰返しの回路は週間プログラムだけを印刷できます。")};
    if (!HasPrograms(document, request.circuit) || type == TypeNone)
        return Refusal{ExitNothingToPrint, QStringLiteral("印刷するデータがありません。")};
    return std::nullopt;
}

// The output names the input file itself (by any spelling, a hard link
// included): writing it would replace the program file with the listing.
bool outputIsInput(const PdfRequest& request)
{
    return Platform::sameFile(request.in, request.out);
}

// The listing as PDF bytes, written as 書込 writes a program file: the same
// output rules (what is not a regular file is refused) and read-back.
class PdfEdit : public FileEdit
{
    std::optional<Refusal> prepare(const CommandWords& words) override
    {
        m_request.in = in;
        m_request.out = out;
        if (words.values.value(QStringLiteral("--listing")) == QLatin1String("calendar")) {
            m_calendar = CalendarEdit();
            m_calendar->in = in;
            m_calendar->out = out;
            m_calendar->force = force;
        }
        if (std::optional<Refusal> refused = m_calendar ? m_calendar->prepare(words) : parse(words, m_request))
            return refused;
        if (outputIsInput(m_request))
            return Refusal{ExitUsage,
                           QStringLiteral("%1: 入力ファイルと同じファイルには書き込めません。").arg(m_request.out)};
        return std::nullopt;
    }

    std::optional<Refusal> change(ScheduleDocument& document, QTextStream& report) override
    {
        if (m_calendar)
            return m_calendar->change(document, report);
        if (std::optional<Refusal> refused = checkListing(document, m_request))
            return refused;
        PrintJob job = PrintJob::forCircuit(document, m_request.kind, m_request.circuit);
        if (m_request.kind == PrintJob::Year)
            job.setYear(m_request.yearChoice);
        job.fillTables();
        if (m_request.kind != PrintJob::Week && job.tablesEmpty())
            return Refusal{ExitNothingToPrint, QStringLiteral("印刷するデータがありません。")};
        m_report = Reports::BuildReport(job);
        return std::nullopt;
    }

    QByteArray content(ScheduleDocument& document) override
    {
        if (m_calendar)
            return m_calendar->content(document);
        const QByteArray pdf = Reports::PdfDocument(m_report, Reports::PageLayout(m_report));
        if (pdf.isEmpty())
            throw std::runtime_error(QStringLiteral("%1: PDF を作成できません。").arg(m_request.out).toStdString());
        return pdf;
    }

    PdfRequest m_request;
    Reports::Report m_report;
    std::unique_ptr<FileEdit> m_calendar;  // --listing calendar
};

// Qt's own notes (no runtime folder and the like) would bury the one-line
// reason; only its critical messages reach standard error.
void quietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << message << '\n';
}

}  // namespace

int runPdfCommand(int argc, char** argv)
{
    Platform::prepareStandardStreams();
    // Without a display QGuiApplication would abort: the platform must be
    // chosen before the app exists.
    qputenv("QT_QPA_PLATFORM", Platform::drawingCommandQtPlatform());
    qInstallMessageHandler(quietQtNotes);
    const QStringList args = Platform::commandArguments(argc, argv);
    int qtArgc = 1;  // Qt is given none of the words: "-platform xcb" would abort it
    QGuiApplication app(qtArgc, argv);
    QString printed;  // nothing: the PDF goes to OUT, "-" included
    QTextStream out(&printed);
    QTextStream err(stderr);
    return RunCommand(*CommandNamed(QStringLiteral("pdf")), args, out, err, std::make_unique<PdfEdit>());
}
