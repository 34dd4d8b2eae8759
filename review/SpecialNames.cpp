#include "review/SpecialNames.h"

namespace Review {

QMap<int, QString> SpecialNames()
{
    return {};
}

}  // namespace Review
