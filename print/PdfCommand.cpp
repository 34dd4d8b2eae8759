#include "print/PdfCommand.h"

#include "core/CommandWords.h"
#include "print/PdfDocument.h"
#include "print/PrintTables.h"
#include "print/Reports.h"
#include "progfile/OutputLock.h"
#include "progfile/ProgramFileReader.h"
#include "progfile/ProgramFileWriter.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"

#include <QFile>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <optional>

namespace {

enum ExitStatus {
    ExitWritten = 0,
    ExitFileError = 3,
    ExitNothingToPrint = 4,
    ExitUsage = 64,
};

const QString kEveryYear = QStringLiteral("毎年");

struct PdfRequest {
    QString in;
    QString out;
    int circuit = 0;
    int kind = 0;
    QString yearChoice;  // "毎年" or "27年", for the year listing
    bool force = false;
};

// A refused command or file: the exit status and the one-line reason.
struct Refusal {
    int status;
    QString reason;
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

// Each option once, with its value as the next word; any other word that
// starts with "-" (Qt's "-platform" too) is refused.
std::optional<Refusal> parse(const QStringList& args, PdfRequest& request)
{
    const auto usage = [](const QString& reason) { return Refusal{ExitUsage, reason}; };
    CommandWords words;
    const QStringList options{"--circuit", "--listing", "--year"};
    if (std::optional<QString> refused = SplitCommandWords(args, options, words, {QStringLiteral("--force")}))
        return usage(*refused);
    if (words.positional.size() != 2)
        return usage(QStringLiteral("FILE と OUT.pdf を指定してください。"));
    request.in = words.positional[0];
    request.out = words.positional[1];
    request.force = !words.flags.isEmpty();
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
        return usage(QStringLiteral("--listing には week, special, year のいずれかを指定してください。"));
    request.kind = *kind;
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

std::optional<Refusal> readFile(ScheduleDocument& document, const QString& path, Platform::FileStamp& stamp)
{
    if (const auto refused = ProgramFileReader::ReadForCommand(document, path, &stamp))
        return Refusal{refused->first, refused->second};
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

// The listing as PDF bytes, then written as 書込 writes a program file: the
// same output rules (what is not a regular file is refused) and read-back.
void writePdf(const PdfRequest& request, const Platform::FileStamp& stamp, const OutputLock& lock,
              const Reports::Report& report)
{
    const QByteArray pdf = Reports::PdfDocument(report, Reports::PageLayout(report));
    if (pdf.isEmpty())
        throw std::runtime_error(QStringLiteral("%1: PDF を作成できません。").arg(request.out).toStdString());
    ProgramFileWriter::writeCommandOutput(request.out, pdf, {request.force, request.in, stamp, true, &lock, {}});
}

// The output names the input file itself (by any spelling, a hard link
// included): writing it would replace the program file with the listing.
bool outputIsInput(const PdfRequest& request)
{
    return Platform::sameFile(request.in, request.out);
}

std::optional<Refusal> run(const PdfRequest& request)
{
    if (outputIsInput(request))
        return Refusal{ExitUsage,
                       QStringLiteral("%1: 入力ファイルと同じファイルには書き込めません。").arg(request.out)};
    const OutputLock lock(request.out);
    ScheduleDocument document(QStringLiteral(":memory:"));
    Platform::FileStamp stamp;
    if (std::optional<Refusal> refused = readFile(document, request.in, stamp))
        return refused;
    if (std::optional<Refusal> refused = checkListing(document, request))
        return refused;
    PrintJob job = PrintJob::forCircuit(document, request.kind, request.circuit);
    if (request.kind == PrintJob::Year)
        job.setYear(request.yearChoice);
    job.fillTables();
    if (request.kind != PrintJob::Week && job.tablesEmpty())
        return Refusal{ExitNothingToPrint, QStringLiteral("印刷するデータがありません。")};
    writePdf(request, stamp, lock, Reports::BuildReport(job));
    return std::nullopt;
}

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
    QTextStream err(stderr);
    PdfRequest request;
    std::optional<Refusal> refused = parse(args, request);
    if (!refused) {
        try {
            refused = run(request);
        } catch (const std::exception& failure) {
            refused = Refusal{ExitFileError, QString::fromUtf8(failure.what()).simplified()};
        }
    }
    if (refused) {
        err << refused->reason << '\n';
        return refused->status;
    }
    return ExitWritten;
}
