#include "week/Days.h"

#include <QStringList>

namespace {
const QStringList kNames{QStringLiteral("日"), QStringLiteral("月"),   QStringLiteral("火"),
                         QStringLiteral("水"), QStringLiteral("木"),   QStringLiteral("金"),
                         QStringLiteral("土"), QStringLiteral("平日"), QStringLiteral("毎日")};
}

namespace Days {

QString name(int code)
{
    return code >= 0 && code < kNames.size() ? kNames.at(code) : QString();
}

QString fullName(int code)
{
    return code >= 0 && code <= 6 ? kNames.at(code) + QStringLiteral("曜日") : QString();
}

int codeOf(const QString& text)
{
    return kNames.indexOf(text);
}

QList<int> range(int code)
{
    if (code == Weekdays)
        return {1, 2, 3, 4, 5};
    if (code == EveryDay)
        return {0, 1, 2, 3, 4, 5, 6};
    return {code};
}

}  // namespace Days
