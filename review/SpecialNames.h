#pragma once
#include <QMap>
#include <QString>

namespace Review {

// The 日課 names of the special numbers ("短縮", "行事" …) that the editor's
// calendar and review show; none are kept yet.
QMap<int, QString> SpecialNames();

}  // namespace Review
