#include "core/CommandWords.h"

std::optional<QString> SplitCommandWords(const QStringList& args, const QStringList& options, CommandWords& words,
                                         const QStringList& flags, const QStringList& repeatable)
{
    for (int i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!arg.startsWith(QLatin1Char('-')) || arg == QLatin1String("-")) {
            words.positional << arg;
            continue;
        }
        if (words.values.contains(arg) || words.flags.contains(arg))
            return arg + QStringLiteral(" は一度だけ指定してください。");
        if (flags.contains(arg)) {
            words.flags << arg;
            continue;
        }
        const bool repeats = repeatable.contains(arg);
        if (!repeats && !options.contains(arg))
            return QStringLiteral("不明なオプションです: ") + arg;
        if (i + 1 >= args.size())
            return arg + QStringLiteral(" に値がありません。");
        if (repeats)
            words.lists[arg] << args[++i];
        else
            words.values.insert(arg, args[++i]);
    }
    return std::nullopt;
}

std::optional<int> CircuitArgument(const QString& value)
{
    if (value.size() != 1 || value[0] < QLatin1Char('1') || value[0] > QLatin1Char('8'))
        return std::nullopt;
    return value.toInt();
}
