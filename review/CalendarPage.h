#pragma once
#include "review/YearModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QPageLayout>
#include <QString>

class QPagedPaintDevice;

// 年間カレンダー: a circuit's 年度 on one landscape page, twelve month grids
// from April, each day marked with what runs on it, drawn with QPainter on
// any paged device.
namespace Review {

enum class Paper { A4, A3 };

struct CalendarSheet {
    int circuit = 0;
    int schoolYear = 0;
    QMap<int, QString> names;  // 日課 names by special number
    QString fileName;          // the program file, named in the foot
    Paper paper = Paper::A4;
    QDateTime printedAt = QDateTime::currentDateTime();
};

// The page's size, landscape, and margins.
QPageLayout CalendarPageLayout(Paper paper);

// The heading: "2028年度（令和10年度） 年間カレンダー", then "回 路 1" and
// "報時プログラム".
QStringList CalendarHeading(const YearModel& model);

// Draws the page (the device's page layout set by the caller); false when
// the device cannot be painted on.
bool DrawCalendar(QPagedPaintDevice& device, const YearModel& model, const CalendarSheet& sheet);

// The page as PDF bytes whose text reads back as drawn. Empty, with the
// reason in `refusal`, for a 年度 outside 2000..2098 or a circuit without
// programs; empty as well when it could not be drawn.
QByteArray CalendarPdf(const WhenRuns::Schedule& schedule, const CalendarSheet& sheet, QString* refusal = nullptr);

}  // namespace Review
