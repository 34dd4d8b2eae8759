#pragma once
#include "whenruns/Schedule.h"

#include <QList>
#include <QString>
#include <QStringList>

// What changed between two schedules, circuit by circuit: type and pulse
// time, week and special programs added and removed, year entries added,
// removed or changed. Rows are compared as the store holds them, so the
// order of lines in a file does not matter.
namespace WhenRuns {

struct CircuitChanges {
    int circuit = 0;
    QStringList settings;  // "種類: チャイム → タイマ"
    QStringList removed;   // "週間 月  8:30.00  曲番号 3", "年間 2027年1月1日 停止"
    QStringList added;
    QStringList changed;  // "年間 毎年1月1日 停止 → 特殊番号 2"
    bool isEmpty() const { return settings.isEmpty() && removed.isEmpty() && added.isEmpty() && changed.isEmpty(); }
};

// Circuits without changes are left out.
QList<CircuitChanges> DiffSchedules(const Schedule& before, const Schedule& after);

// The changes as lines for a terminal, under "--- OLD" and "+++ NEW".
QString diffText(const QList<CircuitChanges>& changes, const QString& oldName, const QString& newName);

}  // namespace WhenRuns
