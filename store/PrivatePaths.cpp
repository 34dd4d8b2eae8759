#include "store/PrivatePaths.h"

#include <QDir>

namespace PrivatePaths {

QString notOursAloneText(const QString& path)
{
    return QStringLiteral("%1 が自分だけのものではない（所有者が別のユーザーか、他のユーザーも読み書きできる）ため、"
                          "起動できません。")
        .arg(QDir::toNativeSeparators(path));
}

}  // namespace PrivatePaths
