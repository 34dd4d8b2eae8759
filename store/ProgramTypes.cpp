#include "store/ProgramTypes.h"

QStringList ProgramTypeNames()
{
    return {QString(), QStringLiteral("報時"), QStringLiteral("チャイム"), QStringLiteral("タイマ"),
            QStringLiteral("繰返し")};
}

QString ProgramTypeName(int type)
{
    return ProgramTypeNames().value(type);
}
