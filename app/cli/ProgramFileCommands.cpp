#include "app/cli/ProgramFileCommands.h"

namespace {

void printVerdict(QTextStream& report, QTextStream& err, const ProgramFileReader::ReadResult& result)
{
    report << ProgramFileReader::messageLine(result.status) << '\n';
    const QString detail = ProgramFileReader::detailText(result);
    if (!detail.isEmpty()) {
        err << detail << '\n';
        return;
    }
    report << QStringLiteral("週間・特殊: %1  年間(日付): %2  年間(毎年): %3\n")
                  .arg(result.counts.week)
                  .arg(result.counts.dated)
                  .arg(result.counts.everyYear);
}

// Written only when IN was accepted; the verdict said either way.
class Normalize : public FileEdit
{
    std::optional<Refusal> read(const ProgramFileReader::ReadResult& result, QTextStream& report,
                                QTextStream& err) override
    {
        printVerdict(report, err, result);
        if (result.status == ProgramFileReader::ReadStatus::Accepted)
            return std::nullopt;
        return Refusal{ProgramFileReader::exitStatusOf(result.status), QString()};
    }
};

}  // namespace

// The file is read into memory only: no store is opened.
int runCheck(const CommandWords& words, QTextStream& out, QTextStream& err)
{
    const ProgramFileReader::ReadResult verdict = ProgramFileReader::parseProgramFile(words.positional[0]).verdict;
    printVerdict(out, err, verdict);
    return ProgramFileReader::exitStatusOf(verdict.status);
}

std::unique_ptr<FileEdit> normalizeEdit()
{
    return std::make_unique<Normalize>();
}
