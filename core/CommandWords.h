#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// The words after a command word: options, each given once with its value
// as the next word, and the other words in their order.
struct CommandWords {
    QStringList positional;
    QMap<QString, QString> values;
    QStringList flags;                 // the options without a value that were given
    QMap<QString, QStringList> lists;  // the values of the options that may repeat, in their order
};

// Splits `args` (the command word first) into `words`. Any word starting
// with "-" that is not one of `options` (taking a value) or `flags` (Qt's
// "-platform" too) is refused, as is an option given twice or without a
// value: the reason is returned. "-" alone is a positional word (standard
// output). `repeatable` options take a value each time and gather in
// `lists`.
std::optional<QString> SplitCommandWords(const QStringList& args, const QStringList& options, CommandWords& words,
                                         const QStringList& flags = {}, const QStringList& repeatable = {});

// A circuit number as the commands take it: one digit 1 to 8, nothing else
// (" 2", "+2" and "02" are refused).
std::optional<int> CircuitArgument(const QString& value);
