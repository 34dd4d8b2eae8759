#include "week/Form_Bells.h"
#include "store/ScheduleDocument.h"

#include "core/NumericText.h"
#include "history/UndoHistory.h"
#include "snd/player/PlayChime.h"
#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "store/StoreRoutines.h"
#include "ui/Guard.h"
#include "ui/InputCheck.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/Days.h"
#include "week/EntryParts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>

namespace {

const QString kTitle = QStringLiteral("時程から作成");
// Every refusal of this window, as in the entry dialogs.
const QString kInputError = QStringLiteral("入力エラー");
const QString kBadTime = QStringLiteral("入力した値が不正です。\r\n0:00～23:59の時刻を設定してください。");
const QString kOutOfOrder = QStringLiteral("時限の時刻が重なっているか、時刻順になっていません。");

// Periods are numbered from 1 as the grid shows them.
QString pastMidnight(qsizetype index)
{
    return QStringLiteral("%1時限目の終了が開始より前です。").arg(index + 1);
}
const QString kNoPastMidnight = QStringLiteral("0:00をまたぐ時限は設定できません。");

// The grid's rows as typed.
using PeriodTexts = QList<std::pair<QString, QString>>;

// What the windows held, as typed: offered by the next one. Each day choice
// and special number keeps its own grid, so that a short timetable made for
// one target is never offered ready to add on another. The typed timetable
// box starts empty: what it filled is in the grid, corrections included.
struct Timetable {
    QMap<std::pair<int, int>, PeriodTexts> byTarget;  // by day, special
    QString preBell;
    std::array<int, 3> tunes{1, 1, 1};
    QStringList fill;  // the quick fill boxes in order
};

std::pair<int, int> keyOf(const Bells::Target& target)
{
    return {target.day, target.special};
}

QStringList defaultFill()
{
    const Bells::QuickFill fill;
    return {Bells::timeText(fill.firstStart), QString::number(fill.length),     QString::number(fill.breakLength),
            QString::number(fill.count),      QString::number(fill.lunchAfter), QString::number(fill.lunchLength)};
}

Timetable& lastTimetable()
{
    static Timetable last{{}, {}, {1, 1, 1}, defaultFill()};
    return last;
}

// Full-width digits and colon are taken as typed on a Japanese keyboard.
std::optional<int> timeIn(const QString& text)
{
    return Bells::parseTime(NumericText::toHalfWidth(text).replace(QChar(u'：'), QLatin1Char(':')));
}

void showBadTime(QWidget* parent)
{
    const InputCheck::HoldChecks checking;
    MessageBox::show(parent, kBadTime, kInputError, MessageBox::Icon::Exclamation);
}

bool checkTime(QLineEdit* box)
{
    if (timeIn(box->text()))
        return true;
    showBadTime(box->window());
    InputCheck::refocus(box);
    return false;
}

// The window's number boxes take whole numbers only.
bool checkWhole(const InputCheck::Range& range)
{
    return InputCheck::checkWholeRange(range.box, range.lo, range.hi, kInputError);
}

QString targetName(const Bells::Target& target)
{
    return target.special > 0 ? QStringLiteral("特殊番号 %1").arg(target.special) : Days::name(target.day);
}

QString kindName(Bells::Kind kind)
{
    switch (kind) {
    case Bells::Kind::Start:
        return QStringLiteral("開始");
    case Bells::Kind::End:
        return QStringLiteral("終了");
    case Bells::Kind::PreBell:
        return QStringLiteral("予鈴");
    }
    return QString();
}

}  // namespace

Form_Bells::Form_Bells(UndoHistory& history, int circuit, Bells::Target target, QWidget* parent)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_target(target)
    , m_chime(history.document().circuit(circuit).Program == TypeChime)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Bells"));
    setWindowTitle(kTitle);
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] {
        restoreTimetable();
        updatePreview();
    });
}

void Form_Bells::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(Label_Titile, 1.3);
    Label_Target =
        makeLabel(this, "Label_Target",
                  QStringLiteral("回路No.%1　%2　%3")
                      .arg(m_circuit)
                      .arg(ProgramTypeName(m_history.document().circuit(m_circuit).Program), targetName(m_target)));

    QLayout* typed = buildTypedRow();
    auto* timetable = new QHBoxLayout;
    timetable->addLayout(buildPeriodArea(), 1);
    timetable->addLayout(buildFillArea());

    Text_PreBell = EntryParts::numberBox(this, "Text_PreBell",
                                         QStringLiteral("授業開始の何分前に予鈴を鳴らすかを1～59分で入力します。"
                                                        "空欄または0で予鈴なしです。"));
    auto* preBell = new QHBoxLayout;
    preBell->addWidget(makeLabel(this, "Label_PreBell", QStringLiteral("予鈴")));
    preBell->addWidget(Text_PreBell);
    preBell->addWidget(makeLabel(this, "Label_PreBellUnit", QStringLiteral("分前（空欄または0で予鈴なし）")));
    preBell->addStretch(1);
    QLayout* tunes = buildTuneRow();  // made before the list: the tab order follows the layout

    List_Preview = new QListWidget(this);
    List_Preview->setObjectName(QStringLiteral("List_Preview"));
    List_Preview->setToolTip(QStringLiteral("OKで追加される時刻です。既存の時刻は追加しません。"));
    List_Preview->setMinimumSize(360, 110);
    List_Preview->setSelectionMode(QAbstractItemView::NoSelection);
    Label_PreviewCount = makeLabel(this, "Label_PreviewCount", QString());
    Label_PreviewCount->setWordWrap(true);
    // Room for the count and the capacity note below it, so that the note
    // coming and going does not resize the window.
    Label_PreviewCount->setFixedHeight(2 * Label_PreviewCount->fontMetrics().lineSpacing() + 2);

    Button_OK = EntryParts::okButton(this);
    Button_Cancel = EntryParts::cancelButton(this);
    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addWidget(Label_Target);
    layout->addLayout(typed);
    layout->addLayout(timetable);
    layout->addLayout(preBell);
    layout->addLayout(tunes);
    layout->addWidget(makeLabel(this, "Label_Preview", QStringLiteral("追加する時刻")));
    layout->addWidget(List_Preview, 1);
    layout->addWidget(Label_PreviewCount);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

QLayout* Form_Bells::buildTypedRow()
{
    Text_Timetable = new QLineEdit(this);
    Text_Timetable->setObjectName(QStringLiteral("Text_Timetable"));
    // Read whole, however long: a cut text would be read as another timetable.
    Text_Timetable->setMaxLength(std::numeric_limits<int>::max());
    Text_Timetable->setPlaceholderText(QStringLiteral("例: 8:50-9:40, 9:50-10:40, 10:50-11:40"));
    Text_Timetable->setToolTip(
        QStringLiteral("各時限の開始-終了を「,」「、」、空白か改行で区切ってまとめて入力すると、時限の表に入ります。"
                       "表計算ソフトの開始・終了の列をそのまま貼り付けることもできます。"));
    auto* row = new QHBoxLayout;
    row->addWidget(makeLabel(this, "Label_Timetable", QStringLiteral("時程（まとめて入力）")));
    row->addWidget(Text_Timetable, 1);
    return row;
}

QLayout* Form_Bells::buildPeriodArea()
{
    Grid_Periods = new QTableWidget(0, 2, this);
    Grid_Periods->setObjectName(QStringLiteral("Grid_Periods"));
    Grid_Periods->setToolTip(QStringLiteral("時限ごとの開始・終了時刻を H:MM で入力します。"));
    Grid_Periods->setHorizontalHeaderLabels({QStringLiteral("開始"), QStringLiteral("終了")});
    Grid_Periods->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    Grid_Periods->setMinimumSize(220, 200);
    Button_AddRow = makeButton(this, "Button_AddRow", QStringLiteral("行追加"),
                               QStringLiteral("時限を最後に追加します。"), QSize(80, 28));
    Button_RemoveRow =
        makeButton(this, "Button_RemoveRow", QStringLiteral("行削除"),
                   QStringLiteral("選択した時限（選択がなければ最後の時限）を削除します。"), QSize(80, 28));
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(Button_AddRow);
    rowButtons->addWidget(Button_RemoveRow);
    rowButtons->addStretch(1);
    // The typed timetable's row above stands for the grid's caption.
    auto* area = new QVBoxLayout;
    area->addWidget(Grid_Periods, 1);
    area->addLayout(rowButtons);
    return area;
}

QLayout* Form_Bells::buildFillArea()
{
    auto* frame = new QGroupBox(QStringLiteral("かんたん入力"), this);
    frame->setObjectName(QStringLiteral("Frame_Fill"));
    Text_FirstStart =
        EntryParts::numberBox(frame, "Text_FirstStart", QStringLiteral("1時限目の開始時刻を H:MM で入力します。"));
    Text_FirstStart->setFixedWidth(56);
    Text_PeriodLength =
        EntryParts::numberBox(frame, "Text_PeriodLength", QStringLiteral("1時限の長さを1～180分の範囲で入力します。"));
    Text_BreakLength =
        EntryParts::numberBox(frame, "Text_BreakLength", QStringLiteral("休み時間を0～120分の範囲で入力します。"));
    Text_PeriodCount =
        EntryParts::numberBox(frame, "Text_PeriodCount", QStringLiteral("時限数を1～20の範囲で入力します。"));
    Text_LunchAfter = EntryParts::numberBox(
        frame, "Text_LunchAfter", QStringLiteral("昼休みを入れる時限を0～19の範囲で入力します。0で昼休みなしです。"));
    Text_LunchLength =
        EntryParts::numberBox(frame, "Text_LunchLength", QStringLiteral("昼休みの長さを0～180分の範囲で入力します。"));
    Button_Fill = makeButton(frame, "Button_Fill", QStringLiteral("入力"),
                             QStringLiteral("この内容で時限の表を作り直します。"), QSize(80, 28));

    const auto label = [frame](const char* name, const char* caption) {
        return makeLabel(frame, name, QString::fromUtf8(caption));
    };
    auto* grid = new QGridLayout(frame);
    grid->addWidget(label("Label_FirstStart", "1時限目の開始"), 0, 0);
    grid->addWidget(Text_FirstStart, 0, 1);
    grid->addWidget(label("Label_PeriodLength", "授業"), 1, 0);
    grid->addWidget(Text_PeriodLength, 1, 1);
    grid->addWidget(label("Label_PeriodLengthUnit", "分"), 1, 2);
    grid->addWidget(label("Label_BreakLength", "休み時間"), 2, 0);
    grid->addWidget(Text_BreakLength, 2, 1);
    grid->addWidget(label("Label_BreakLengthUnit", "分"), 2, 2);
    grid->addWidget(label("Label_PeriodCount", "時限数"), 3, 0);
    grid->addWidget(Text_PeriodCount, 3, 1);
    grid->addWidget(label("Label_LunchAfter", "昼休み"), 4, 0);
    grid->addWidget(Text_LunchAfter, 4, 1);
    grid->addWidget(label("Label_LunchAfterUnit", "時限目の後"), 4, 2);
    grid->addWidget(Text_LunchLength, 5, 1);
    grid->addWidget(label("Label_LunchLengthUnit", "分"), 5, 2);
    grid->addWidget(Button_Fill, 6, 1, 1, 2, Qt::AlignLeft);
    grid->setRowStretch(7, 1);
    auto* area = new QVBoxLayout;
    area->addWidget(frame);
    return area;
}

QLayout* Form_Bells::buildTuneRow()
{
    Frame_Tunes = new QWidget(this);
    Frame_Tunes->setObjectName(QStringLiteral("Frame_Tunes"));
    auto* row = new QHBoxLayout(Frame_Tunes);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(makeLabel(Frame_Tunes, "Label_Tunes", QStringLiteral("曲番号")));
    const std::array<const char*, 3> captions{"開始", "終了", "予鈴"};
    const std::array<const char*, 3> names{"Combo_StartTune", "Combo_EndTune", "Combo_PreBellTune"};
    for (int i = 0; i < 3; ++i) {
        row->addSpacing(8);
        row->addWidget(makeLabel(Frame_Tunes, QStringLiteral("Label_Tune_%1").arg(i), QString::fromUtf8(captions[i])));
        Combo_Tunes[i] = new QComboBox(Frame_Tunes);
        Combo_Tunes[i]->setObjectName(QLatin1String(names[i]));
        Combo_Tunes[i]->setToolTip(QStringLiteral("%1のチャイムの曲番号を選択します。").arg(captions[i]));
        for (int tune = 1; tune <= 7; ++tune)
            Combo_Tunes[i]->addItem(QString::number(tune));
        row->addWidget(Combo_Tunes[i]);
        QPushButton* play = makeButton(Frame_Tunes, QStringLiteral("Button_Play_%1").arg(i), QStringLiteral("♪"),
                                       QStringLiteral("チャイムを試聴します。"), QSize(36, 28));
        play->setFixedSize(36, 28);
        connect(play, &QPushButton::clicked, this,
                guarded(this, [this, i] { PlayChime(Combo_Tunes[i]->currentIndex() + 1, this); }));
        row->addWidget(play);
    }
    row->addStretch(1);
    // A time-signal circuit has no tunes.
    Frame_Tunes->setVisible(m_chime);
    auto* area = new QVBoxLayout;
    area->addWidget(Frame_Tunes);
    return area;
}

void Form_Bells::connectHandlers()
{
    InputCheck::onFocusLoss(Text_FirstStart, [this](QWidget*) { checkTime(Text_FirstStart); });
    for (const InputCheck::Range& range : numberRanges())
        InputCheck::onFocusLoss(range.box, [range](QWidget*) { checkWhole(range); });
    InputCheck::onFocusLoss(Text_PreBell, [this](QWidget*) { checkPreBell(); });
    connect(Text_Timetable, &QLineEdit::textChanged, this, guarded(this, [this] { timetableTyped(); }));
    connect(Grid_Periods, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { runGuarded(this, [this, item] { cellChanged(item); }); });
    connect(Button_AddRow, &QPushButton::clicked, this, guarded(this, [this] {
                addRow(QString(), QString());
                editCell(Grid_Periods->rowCount() - 1, 0);
                Grid_Periods->scrollToBottom();
            }));
    connect(Button_RemoveRow, &QPushButton::clicked, this, guarded(this, [this] { Button_RemoveRow_Click(); }));
    connect(Button_Fill, &QPushButton::clicked, this, guarded(this, [this] { Button_Fill_Click(); }));
    connect(Text_PreBell, &QLineEdit::textChanged, this, guarded(this, [this] { updatePreview(); }));
    for (QComboBox* tunes : Combo_Tunes)
        connect(tunes, &QComboBox::currentIndexChanged, this, guarded(this, [this] { updatePreview(); }));
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

std::array<QLineEdit*, 6> Form_Bells::fillBoxes() const
{
    return {Text_FirstStart, Text_PeriodLength, Text_BreakLength, Text_PeriodCount, Text_LunchAfter, Text_LunchLength};
}

void Form_Bells::restoreTimetable()
{
    const Timetable& last = lastTimetable();
    const std::array<QLineEdit*, 6> boxes = fillBoxes();
    for (size_t i = 0; i < boxes.size(); ++i)
        boxes[i]->setText(last.fill.value(int(i)));
    for (const auto& [start, end] : last.byTarget.value(keyOf(m_target)))
        addRow(start, end);
    Text_PreBell->setText(last.preBell);
    for (int i = 0; i < 3; ++i)
        Combo_Tunes[i]->setCurrentIndex(last.tunes[i] - 1);
}

void Form_Bells::saveTimetable() const
{
    Timetable& last = lastTimetable();
    PeriodTexts& periods = last.byTarget[keyOf(m_target)];
    periods.clear();
    for (int row = 0; row < Grid_Periods->rowCount(); ++row)
        periods << std::pair{Grid_Periods->item(row, 0)->text(), Grid_Periods->item(row, 1)->text()};
    last.preBell = Text_PreBell->text();
    for (int i = 0; i < 3; ++i)
        last.tunes[i] = Combo_Tunes[i]->currentIndex() + 1;
    last.fill.clear();
    for (const QLineEdit* box : fillBoxes())
        last.fill << box->text();
}

void Form_Bells::done(int result)
{
    saveTimetable();
    QDialog::done(result);
}

void Form_Bells::addRow(const QString& start, const QString& end)
{
    const QSignalBlocker blocker(Grid_Periods);
    const int row = Grid_Periods->rowCount();
    Grid_Periods->insertRow(row);
    for (const auto& [column, text] : {std::pair{0, start}, std::pair{1, end}}) {
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignCenter);
        Grid_Periods->setItem(row, column, item);
    }
}

void Form_Bells::setPeriods(const QList<Bells::Period>& periods)
{
    Grid_Periods->setRowCount(0);
    for (const Bells::Period& period : periods)
        addRow(Bells::timeText(period.start), Bells::timeText(period.end));
    updatePreview();
}

Form_Bells::GridPeriods Form_Bells::readGrid() const
{
    GridPeriods grid;
    for (int row = 0; row < Grid_Periods->rowCount(); ++row) {
        const QString start = Grid_Periods->item(row, 0)->text().trimmed();
        const QString end = Grid_Periods->item(row, 1)->text().trimmed();
        if (start.isEmpty() && end.isEmpty())
            continue;
        const std::optional<int> startTime = timeIn(start);
        const std::optional<int> endTime = timeIn(end);
        if (!startTime || !endTime) {
            grid.badRow = row;
            grid.badColumn = startTime ? 1 : 0;
            return grid;
        }
        grid.periods << Bells::Period{*startTime, *endTime};
    }
    return grid;
}

int Form_Bells::preBellMinutes() const
{
    const QString text = Text_PreBell->text();
    return NumericText::wholeInRange(text, 1, 59) ? *NumericText::toInteger(text) : 0;
}

Bells::Request Form_Bells::request(const QList<Bells::Period>& periods) const
{
    Bells::Request request{m_circuit, m_target, periods, preBellMinutes(), std::nullopt};
    if (m_chime)
        request.tunes = Bells::Tunes{Combo_Tunes[0]->currentIndex() + 1, Combo_Tunes[1]->currentIndex() + 1,
                                     Combo_Tunes[2]->currentIndex() + 1};
    return request;
}

QString Form_Bells::previewLine(const Bells::PlannedBell& planned) const
{
    QString line =
        QStringLiteral("%1  %2").arg(Bells::timeText(planned.bell.minute), 5).arg(kindName(planned.bell.kind));
    if (m_chime)
        line += QStringLiteral("  曲%1").arg(planned.bell.tune);
    if (planned.newDays.isEmpty())
        return line + QStringLiteral("  既存");
    if (planned.heldDays == 0)
        return line + QStringLiteral("  新規");
    return line + QStringLiteral("  新規（%1日は既存）").arg(planned.heldDays);
}

void Form_Bells::updatePreview()
{
    List_Preview->clear();
    if (const QString error = typedError(); !error.isEmpty()) {
        Label_PreviewCount->setText(QStringLiteral("時程（まとめて入力）: ") + error);
        return;
    }
    const GridPeriods grid = readGrid();
    if (grid.badRow >= 0) {
        Label_PreviewCount->setText(QStringLiteral("%1時限目の時刻を H:MM で入力してください。").arg(grid.badRow + 1));
        return;
    }
    if (grid.periods.isEmpty()) {
        Label_PreviewCount->setText(QStringLiteral("時限を入力してください。"));
        return;
    }
    if (const qsizetype past = Bells::firstPastMidnight(grid.periods); past >= 0) {
        Label_PreviewCount->setText(pastMidnight(past) + kNoPastMidnight);
        return;
    }
    if (!Bells::inOrder(grid.periods)) {
        Label_PreviewCount->setText(kOutOfOrder);
        return;
    }
    const Bells::Plan plan = Bells::PlanBells(m_history.document(), request(grid.periods));
    for (const Bells::PlannedBell& planned : plan.bells)
        List_Preview->addItem(previewLine(planned));
    QString count = QStringLiteral("追加: %1　既存のため追加せず: %2　ﾌﾟﾛｸﾞﾗﾑ残量数: %3")
                        .arg(plan.needed)
                        .arg(plan.skipped)
                        .arg(plan.remaining);
    if (!plan.fits())
        count += QStringLiteral("\n（設定可能数%1を超えるため追加できません）").arg(WeekCapacity);
    Label_PreviewCount->setText(count);
}

QString Form_Bells::typedError() const
{
    if (Text_Timetable->text().trimmed().isEmpty())
        return QString();
    return Bells::parseTimetableText(Text_Timetable->text()).error;
}

// A timetable read whole replaces the grid; corrections made in the grid
// since stay until the text changes again.
void Form_Bells::timetableTyped()
{
    const Bells::TypedTimetable typed = Bells::parseTimetableText(Text_Timetable->text());
    if (typed.error.isEmpty())
        setPeriods(typed.periods);
    else
        updatePreview();
}

bool Form_Bells::typedTimetableValid()
{
    const QString error = typedError();
    if (error.isEmpty())
        return true;
    MessageBox::show(this, error, kInputError, MessageBox::Icon::Exclamation);
    InputCheck::refocus(Text_Timetable);
    return false;
}

// A time is checked as its cell is left; a good one is shown as H:MM. A bad
// one is reported once the grid has closed the editor that changed it: a box
// shown meanwhile would take the focus from an editor being taken down.
void Form_Bells::cellChanged(QTableWidgetItem* item)
{
    const QString text = item->text();
    if (const std::optional<int> minute = timeIn(text)) {
        item->setText(Bells::timeText(*minute));
    } else if (!text.trimmed().isEmpty() && !m_reportPending) {
        m_reportPending = true;
        QTimer::singleShot(0, this, [this] { runGuarded(this, [this] { reportBadCell(); }); });
    }
    updatePreview();
}

void Form_Bells::reportBadCell()
{
    m_reportPending = false;
    const GridPeriods grid = readGrid();
    if (!isVisible() || grid.badRow < 0)
        return;
    showBadTime(this);
    editCell(grid.badRow, grid.badColumn);
}

void Form_Bells::editCell(int row, int column)
{
    QTableWidgetItem* item = Grid_Periods->item(row, column);
    Grid_Periods->setCurrentItem(item);
    Grid_Periods->editItem(item);
}

void Form_Bells::Button_RemoveRow_Click()
{
    const int selected = Grid_Periods->currentRow();
    const int row = selected >= 0 ? selected : Grid_Periods->rowCount() - 1;
    if (row < 0)
        return;
    Grid_Periods->removeRow(row);
    updatePreview();
}

std::array<InputCheck::Range, 5> Form_Bells::numberRanges() const
{
    return {{{Text_PeriodLength, 1, 180},
             {Text_BreakLength, 0, 120},
             {Text_PeriodCount, 1, 20},
             {Text_LunchAfter, 0, 19},
             {Text_LunchLength, 0, 180}}};
}

bool Form_Bells::fillBoxesValid()
{
    if (!checkTime(Text_FirstStart))
        return false;
    const std::array<InputCheck::Range, 5> ranges = numberRanges();
    return std::all_of(ranges.begin(), ranges.end(), checkWhole);
}

void Form_Bells::Button_Fill_Click()
{
    if (!fillBoxesValid())
        return;
    using EntryParts::numberIn;
    const Bells::QuickFill fill{*timeIn(Text_FirstStart->text()), numberIn(Text_PeriodLength),
                                numberIn(Text_BreakLength),       numberIn(Text_PeriodCount),
                                numberIn(Text_LunchAfter),        numberIn(Text_LunchLength)};
    const std::optional<QList<Bells::Period>> periods = Bells::FillPeriods(fill);
    if (!periods) {
        MessageBox::show(this, QStringLiteral("最後の時限が23:59を過ぎてしまいます。"), kInputError,
                         MessageBox::Icon::Exclamation);
        return;
    }
    setPeriods(*periods);
}

// Empty is no 予鈴, as 0 is.
bool Form_Bells::checkPreBell()
{
    return Text_PreBell->text().trimmed().isEmpty() || checkWhole({Text_PreBell, 0, 59});
}

bool Form_Bells::timetableValid(const GridPeriods& grid)
{
    if (grid.badRow >= 0) {
        // The cell just left may have its report on the way.
        if (!m_reportPending) {
            showBadTime(this);
            editCell(grid.badRow, grid.badColumn);
        }
        return false;
    }
    if (grid.periods.isEmpty()) {
        MessageBox::show(this, QStringLiteral("時限を入力してください。"), kInputError, MessageBox::Icon::Exclamation);
        return false;
    }
    if (const qsizetype past = Bells::firstPastMidnight(grid.periods); past >= 0) {
        MessageBox::show(this, pastMidnight(past) + QStringLiteral("\r\n") + kNoPastMidnight, kInputError,
                         MessageBox::Icon::Exclamation);
        editCell(int(past), 1);
        return false;
    }
    if (!Bells::inOrder(grid.periods)) {
        MessageBox::show(this,
                         kOutOfOrder
                             + QStringLiteral("\r\n各時限は開始より後に終わり、前の時限の終了以降に始まるように"
                                              "入力してください。"),
                         kInputError, MessageBox::Icon::Exclamation);
        return false;
    }
    return true;
}

void Form_Bells::Button_OK_Click()
{
    if (!typedTimetableValid() || !checkPreBell())
        return;
    const GridPeriods grid = readGrid();
    if (!timetableValid(grid))
        return;
    const Bells::Result result = writeBells(request(grid.periods));
    if (result.outcome == Bells::Outcome::OverCapacity) {
        MessageBox::show(this,
                         QStringLiteral("設定可能数%1を超えてしまうため追加できません。\r\n"
                                        "必要な数: %2　ﾌﾟﾛｸﾞﾗﾑ残量数: %3")
                             .arg(WeekCapacity)
                             .arg(result.needed)
                             .arg(result.remaining),
                         kInputError, MessageBox::Icon::Critical);
        return;
    }
    if (result.outcome == Bells::Outcome::Refused) {
        MessageBox::show(this, result.reason, kInputError, MessageBox::Icon::Exclamation);
        return;
    }
    accept();
}

Bells::Result Form_Bells::writeBells(const Bells::Request& request)
{
    const int special = request.target.special;
    const QString target = special > 0 ? QStringLiteral("特殊番号%1").arg(special) : Days::name(request.target.day);
    UndoStep step(m_history, QStringLiteral("時程から作成（回路%1・%2）").arg(request.circuit).arg(target));
    return Bells::AddBells(m_history.document(), request);
}
