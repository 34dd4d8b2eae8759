#include "whenruns/WeekViewSwitch.h"
#include "store/ScheduleDocument.h"

#include "store/CircuitSetting.h"
#include "ui/Guard.h"
#include "whenruns/Schedule.h"
#include "whenruns/WeekTimeline.h"

#include <QHBoxLayout>
#include <QRadioButton>
#include <QStackedWidget>

WeekViewSwitch::WeekViewSwitch(ScheduleDocument& document, QWidget* listArea, QWidget* parent)
    : WeekViewChoice(parent)
    , m_document(document)
    , m_area(new QStackedWidget(parent))
    , m_timeline(new WeekTimeline(m_area))
{
    setObjectName(QStringLiteral("Frame_View"));
    const QStringList captions{QStringLiteral("一覧"), QStringLiteral("タイムライン")};
    const QStringList tips{QStringLiteral("選択した曜日のプログラムを一覧で表示します。"),
                           QStringLiteral("回路の一週間のプログラムを時間の帯で表示します。")};
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (int index = 0; index < 2; ++index) {
        Option_View[index] = new QRadioButton(captions[index], this);
        Option_View[index]->setObjectName(QStringLiteral("Option_View_%1").arg(index));
        Option_View[index]->setToolTip(tips[index]);
        layout->addWidget(Option_View[index]);
        connect(Option_View[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                runGuarded(this, [this, index] { Option_View_Click(index); });
        });
    }
    Option_View[0]->setChecked(true);
    m_area->addWidget(listArea);
    m_area->addWidget(m_timeline);
    m_area->setMinimumSize(listArea->minimumSize());
}

WeekViewMaker WeekViewSwitch::makerFor(ScheduleDocument& document)
{
    return [&document](QWidget* listArea, QWidget* window) { return new WeekViewSwitch(document, listArea, window); };
}

QWidget* WeekViewSwitch::area() const
{
    return m_area;
}

bool WeekViewSwitch::timelineShown() const
{
    return m_area->currentWidget() == m_timeline;
}

void WeekViewSwitch::showCircuit(int circuit)
{
    m_circuit = circuit;
    if (timelineShown())
        refreshTimeline();
}

void WeekViewSwitch::Option_View_Click(int index)
{
    m_area->setCurrentIndex(index);
    if (index == 1)
        refreshTimeline();
    emit timelineToggled(index == 1);
}

void WeekViewSwitch::refreshTimeline()
{
    const int type = m_circuit == 0 ? 0 : m_document.circuit(m_circuit).Program;
    m_timeline->setPrograms(type, m_circuit == 0 ? QList<WeekRow>() : WhenRuns::ReadWeekRows(m_document, m_circuit));
}
