#pragma once
#include "whenruns/DayResolution.h"

#include <QJsonObject>
#include <QString>

// A day preview written out for `wzqxprog day`: as text for a terminal,
// or as one JSON object (format in the README).
namespace WhenRuns {

QString dayText(const DayPreview& preview);
QJsonObject dayJson(const DayPreview& preview);

}  // namespace WhenRuns
