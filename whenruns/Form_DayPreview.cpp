#include "whenruns/Form_DayPreview.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include "history/UndoActions.h"
#include "store/ProgramTypes.h"
#include "store/StoreChanges.h"
#include "ui/DateTyping.h"
#include "ui/Guard.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/Days.h"
#include "whenruns/DayResolution.h"
#include "whenruns/ProgramText.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(110, 32);
const QDate kFirstDate(2000, 1, 1);
const QDate kLastDate(2099, 12, 31);

enum Column { ColTime, ColEndDay, ColEndTime, ColTune, ColInterval, ColNote, ColumnCount };

const QColor kConflict(0xb0, 0x20, 0x20);
const QColor kNote(0x60, 0x60, 0x60);

// A row that spans the whole width: a circuit's heading or a remark.
QTreeWidgetItem* spannedItem(QTreeWidgetItem* parent, const QString& text, const QColor& color = QColor())
{
    auto* item = new QTreeWidgetItem(parent, QStringList{text});
    if (color.isValid())
        item->setForeground(ColTime, color);
    item->setFirstColumnSpanned(true);
    return item;
}

void addProgram(QTreeWidgetItem* circuit, int type, const WhenRuns::DayProgram& program)
{
    const WhenRuns::ProgramTexts texts = WhenRuns::programTexts(type, program.row);
    auto* item = new QTreeWidgetItem(circuit);
    item->setText(ColTime, texts.time);
    item->setText(ColEndDay, texts.endDay);
    item->setText(ColEndTime, texts.endTime);
    item->setText(ColTune, texts.tune);
    item->setText(ColInterval, texts.interval);
    if (program.fromPreviousDay) {
        item->setText(ColNote, WhenRuns::fromPreviousDayText());
        item->setForeground(ColNote, kNote);
    }
}

}  // namespace

Form_DayPreview::Form_DayPreview(UndoHistory& history, QWidget* parent, const SpecialNames::Names* names)
    : QWidget(parent)
    , m_names(names)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_DayPreview"));
    setWindowTitle(QStringLiteral("日付確認"));
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { showDay(); });
}

void Form_DayPreview::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("日付ごとの実行プログラムの確認"));
    styleHeading(Label_Titile, 1.4);

    Label_Date = makeLabel(this, "Label_Date", QStringLiteral("日　付"));
    Date_Select = new QDateEdit(this);
    Date_Select->setObjectName(QStringLiteral("Date_Select"));
    Date_Select->setToolTip(QStringLiteral("確認する日付を選択します。"));
    Date_Select->setCalendarPopup(true);
    Date_Select->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    Date_Select->setDateRange(kFirstDate, kLastDate);
    Date_Select->setDate(std::clamp(QDate::currentDate(), kFirstDate, kLastDate));
    Date_Select->setMinimumWidth(130);
    AllowWholeDateTyping(Date_Select);
    Label_Weekday = makeLabel(this, "Label_Weekday", QString());
    Label_Weekday->setMinimumWidth(60);
    Button_PrevDay = makeButton(this, "Button_PrevDay", QStringLiteral("前日 (&P)"),
                                QStringLiteral("前の日を表示します。"), QSize(90, 28));
    Button_NextDay = makeButton(this, "Button_NextDay", QStringLiteral("翌日 (&N)"),
                                QStringLiteral("次の日を表示します。"), QSize(90, 28));

    Tree_Day = new QTreeWidget(this);
    Tree_Day->setObjectName(QStringLiteral("Tree_Day"));
    Tree_Day->setToolTip(QStringLiteral("回路ごとに、その日に実行されるプログラムを時刻順に表示します。"));
    Tree_Day->setColumnCount(ColumnCount);
    Tree_Day->setHeaderLabels({QStringLiteral(" 時 刻"), QStringLiteral(" 終了曜日"), QStringLiteral(" 終了時刻"),
                               QStringLiteral(" 曲番号"), QStringLiteral("繰返し間隔(分)"), QStringLiteral("備考")});
    Tree_Day->setRootIsDecorated(false);
    Tree_Day->setSelectionMode(QAbstractItemView::NoSelection);
    Tree_Day->setMinimumSize(640, 400);
    for (int column : {ColTime, ColEndDay, ColEndTime, ColTune, ColInterval})
        Tree_Day->header()->resizeSection(column, column == ColInterval ? 110 : 90);

    Button_Close = makeButton(this, "Button_Close", QStringLiteral("閉じる (&X)"),
                              QStringLiteral("メイン画面に戻ります。"), kButtonSize);

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(Label_Date);
    dateRow->addWidget(Date_Select);
    dateRow->addWidget(Label_Weekday);
    dateRow->addSpacing(12);
    dateRow->addWidget(Button_PrevDay);
    dateRow->addWidget(Button_NextDay);
    dateRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addLayout(dateRow);
    layout->addWidget(Tree_Day, 1);
    layout->addWidget(Button_Close, 0, Qt::AlignRight);
}

void Form_DayPreview::connectHandlers()
{
    connect(Date_Select, &QDateEdit::dateChanged, this, guarded(this, [this] { Date_Select_Change(); }));
    connect(Button_PrevDay, &QPushButton::clicked, this, guarded(this, [this] { Button_PrevDay_Click(); }));
    connect(Button_NextDay, &QPushButton::clicked, this, guarded(this, [this] { Button_NextDay_Click(); }));
    connect(Button_Close, &QPushButton::clicked, this, [this] { close(); });
    closeOnEscape(this);
    AddUndoShortcuts(this, m_history);
    connect(&m_history.document(), &ScheduleDocument::changed, this, guarded(this, [this] { showDay(); }));
}

void Form_DayPreview::Date_Select_Change()
{
    showDay();
}

void Form_DayPreview::Button_PrevDay_Click()
{
    Date_Select->setDate(Date_Select->date().addDays(-1));
}

void Form_DayPreview::Button_NextDay_Click()
{
    Date_Select->setDate(Date_Select->date().addDays(1));
}

// One heading per configured circuit, then its remark and programs; the
// columns no circuit needs are hidden.
void Form_DayPreview::showDay()
{
    const QDate date = Date_Select->date();
    Label_Weekday->setText(Days::fullName(WhenRuns::weekdayOf(date)));
    Button_PrevDay->setEnabled(date > kFirstDate);
    Button_NextDay->setEnabled(date < kLastDate);
    const WhenRuns::DayPreview preview = WhenRuns::ResolveDay(WhenRuns::ReadSchedule(m_history.document()), date);

    Tree_Day->clear();
    QList<bool> used(ColumnCount, false);
    used[ColTime] = used[ColNote] = true;
    for (const WhenRuns::CircuitDay& day : preview.circuits) {
        const bool conflict = day.source.kind == WhenRuns::SourceKind::Conflict;
        QString heading = QStringLiteral("回路 %1　%2　　%3")
                              .arg(day.circuit)
                              .arg(ProgramTypeName(day.type), WhenRuns::sourceText(day.source, date));
        if (const QString name = m_names && day.source.kind == WhenRuns::SourceKind::Special
                ? m_names->name(day.source.special)
                : QString();
            !name.isEmpty())
            heading += QLatin1Char(' ') + name;
        QTreeWidgetItem* circuit = spannedItem(Tree_Day->invisibleRootItem(), heading, conflict ? kConflict : QColor());
        QFont bold = circuit->font(ColTime);
        bold.setBold(true);
        circuit->setFont(ColTime, bold);
        if (const QString remark = WhenRuns::dayRemark(day); !remark.isEmpty())
            spannedItem(circuit, QStringLiteral("　") + remark, conflict ? kConflict : kNote);
        for (const WhenRuns::DayProgram& program : day.programs)
            addProgram(circuit, day.type, program);
        used[ColEndDay] = used[ColEndDay] || WhenRuns::hasPeriod(day.type);
        used[ColEndTime] = used[ColEndTime] || WhenRuns::hasPeriod(day.type);
        used[ColTune] = used[ColTune] || day.type == TypeChime;
        used[ColInterval] = used[ColInterval] || day.type == TypeRepeat;
    }
    for (int column = 0; column < ColumnCount; ++column)
        Tree_Day->setColumnHidden(column, !used[column]);
    Tree_Day->expandAll();
}

void Form_DayPreview::closeEvent(QCloseEvent* event)
{
    MarkFormUnloaded(this);
    emit closed();
    event->accept();
}
