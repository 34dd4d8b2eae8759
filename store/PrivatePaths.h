#pragma once
#include <QString>

namespace PrivatePaths {

// The start-up refusal of something at `path` that is not ours alone
// (Platform::isOursAlone).
QString notOursAloneText(const QString& path);

}  // namespace PrivatePaths
