#include "plan/Form_PlanImport.h"

#include "history/UndoHistory.h"
#include "plan/CellDates.h"
#include "plan/TextTable.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "ui/BusyCursor.h"
#include "ui/FileDialog.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialogs.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "year/Form_Year.h"
#include "year/YearEntries.h"

#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const QString kTitle = QStringLiteral("行事予定から設定");
const QSize kButtonSize(150, 36);

using SpecialNames::DutyChoice;

// A choice as the name list's combo box keeps it: -1 設定なし, 0 停止, else
// the special number.
int choiceData(const DutyChoice& choice)
{
    return choice.kind == DutyChoice::Clear ? -1 : choice.kind == DutyChoice::Stop ? 0 : choice.special;
}

DutyChoice choiceOf(int data)
{
    return data < 0 ? DutyChoice::clear() : data == 0 ? DutyChoice::stop() : DutyChoice::runSpecial(data);
}

QString choiceText(const DutyChoice& choice, const SpecialNames::Names& names)
{
    switch (choice.kind) {
    case DutyChoice::Clear:
        return QStringLiteral("設定なし");
    case DutyChoice::Stop:
        return QStringLiteral("停止");
    case DutyChoice::Special:
        break;
    }
    return QStringLiteral("特殊番号 ") + names.numberText(choice.special);
}

// "B列 日課"
QString columnText(int column, const QString& header)
{
    QString letters = Plan::cellName(0, column);
    letters.chop(1);
    return header.isEmpty() ? letters + QStringLiteral("列") : letters + QStringLiteral("列 ") + header;
}

QString dayText(QDate day)
{
    static const char* const weekdays[] = {"月", "火", "水", "木", "金", "土", "日"};
    return QStringLiteral("%1/%2/%3(%4)")
        .arg(day.year())
        .arg(day.month(), 2, 10, QLatin1Char('0'))
        .arg(day.day(), 2, 10, QLatin1Char('0'))
        .arg(QString::fromUtf8(weekdays[day.dayOfWeek() - 1]));
}

}  // namespace

Form_PlanImport::Form_PlanImport(UndoHistory& history, int circuit, QDate shown, SpecialNames::NamesFile& names,
                                 QWidget* parent)
    : QDialog(parent)
    , m_history(history)
    , m_circuit(circuit)
    , m_names(names)
{
    setObjectName(QStringLiteral("Form_PlanImport"));
    setWindowTitle(kTitle + QStringLiteral("（回路%1）").arg(circuit));
    setModal(true);
    buildWindow();
    // The 年度 of the day the calendar shows.
    const QDate day = shown.isValid() ? shown : QDate::currentDate();
    Text_SchoolYear->setValue(day.month() >= 4 ? day.year() : day.year() - 1);
    connectHandlers();
    showChanges();
    placeWindow(this);
}

void Form_PlanImport::attachTo(UndoHistory& history, Form_Year* year, SpecialNames::NamesFile& names)
{
    connect(year, &Form_Year::planImportRequested, year, [&history, year, &names](int circuit, QDate shown) {
        runGuarded(year, [&] {
            auto* window = new Form_PlanImport(history, circuit, shown, names, year);
            connect(window, &Form_PlanImport::planWritten, year,
                    [year, circuit](QDate first) { year->showDay(circuit, first); });
            ModalDialogs::open(window);
        });
    });
}

void Form_PlanImport::buildWindow()
{
    auto* heading = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(heading, 1.3);
    auto* circuit = makeLabel(this, "Label_Circuit", QStringLiteral("回路 %1").arg(m_circuit));
    styleHeading(circuit, 1.1);
    Button_Paste =
        makeButton(this, "Button_Paste", QStringLiteral("貼り付け (&V)"),
                   QStringLiteral("Excel などでコピーした行事予定のセルを貼り付けます（Ctrl+V）。"), kButtonSize);
    Button_Open = makeButton(this, "Button_Open", QStringLiteral("ファイルを開く (&F)"),
                             QStringLiteral("行事予定のファイル（CSV、TSV、.xlsx）を開きます。"), kButtonSize);
    Label_Source =
        makeLabel(this, "Label_Source", QStringLiteral("行事予定を貼り付けるか、ファイルを開いてください。"));
    Label_Source->setWordWrap(true);
    auto* yearLabel = makeLabel(this, "Label_SchoolYear", QStringLiteral("年度"));
    Text_SchoolYear = new QSpinBox(this);
    Text_SchoolYear->setObjectName(QStringLiteral("Text_SchoolYear"));
    Text_SchoolYear->setRange(2000, 2098);
    Text_SchoolYear->setToolTip(QStringLiteral("年のない日付（4/19 など）を読む年度です。"));
    selectWholeOnFocus(Text_SchoolYear);
    auto* columnLabel = makeLabel(this, "Label_Column", QStringLiteral("日課の列"));
    Combo_Column = new QComboBox(this);
    Combo_Column->setObjectName(QStringLiteral("Combo_Column"));
    Combo_Column->setToolTip(QStringLiteral("「日課」という見出しの列がないときに、日課の列を選びます。"));
    Combo_Column->setPlaceholderText(QStringLiteral("（選択してください）"));
    Combo_Column->setMinimumWidth(160);
    Combo_Column->setEnabled(false);
    Label_Error = makeLabel(this, "Label_Error", QString());
    Label_Error->setWordWrap(true);
    Label_Error->setStyleSheet(QStringLiteral("color: #c00000;"));
    Grid_Names = new QTableWidget(0, 3, this);
    Grid_Names->setObjectName(QStringLiteral("Grid_Names"));
    Grid_Names->setHorizontalHeaderLabels({QStringLiteral("日課"), QStringLiteral("日数"), QStringLiteral("設定")});
    Grid_Names->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Grid_Names->verticalHeader()->setVisible(false);
    Grid_Names->setSelectionMode(QAbstractItemView::NoSelection);
    Grid_Names->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A school's table has some five or six 日課: all of them in view.
    constexpr int namesInView = 6;
    Grid_Names->setMinimumSize(420,
                               Grid_Names->horizontalHeader()->sizeHint().height()
                                   + namesInView * Grid_Names->verticalHeader()->defaultSectionSize()
                                   + 2 * Grid_Names->frameWidth());
    Label_Changes = makeLabel(this, "Label_Changes", QString());
    Label_Changes->setWordWrap(true);
    List_Conflicts = new QListWidget(this);
    List_Conflicts->setObjectName(QStringLiteral("List_Conflicts"));
    List_Conflicts->setToolTip(QStringLiteral("別の内容が設定済みの日です。"));
    List_Conflicts->setSelectionMode(QAbstractItemView::NoSelection);
    List_Conflicts->setMaximumHeight(110);
    const char* const existing[] = {"設定済みの日も上書きする", "設定済みの日はそのままにする"};
    m_existing = new QButtonGroup(this);
    for (int index = 0; index < 2; ++index) {
        Option_Existing[index] = new QRadioButton(QString::fromUtf8(existing[index]), this);
        Option_Existing[index]->setObjectName(QStringLiteral("Option_Existing_%1").arg(index));
        m_existing->addButton(Option_Existing[index], index);
    }
    Label_Room = makeLabel(this, "Label_Room", QString());
    Button_OK = makeButton(this, "Button_OK", QStringLiteral("OK (&O)"), QStringLiteral("表示した内容で設定します。"),
                           kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"),
                               QStringLiteral("何も設定せずに閉じます。"), kButtonSize);

    auto* title = new QHBoxLayout;
    title->addWidget(heading);
    title->addStretch(1);
    title->addWidget(circuit);
    auto* source = new QHBoxLayout;
    source->addWidget(Button_Paste);
    source->addWidget(Button_Open);
    source->addWidget(Label_Source, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(yearLabel);
    options->addWidget(Text_SchoolYear);
    options->addSpacing(16);
    options->addWidget(columnLabel);
    options->addWidget(Combo_Column);
    options->addStretch(1);
    auto* existingRow = new QHBoxLayout;
    existingRow->addWidget(Option_Existing[0]);
    existingRow->addWidget(Option_Existing[1]);
    existingRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addLayout(title);
    layout->addLayout(source);
    layout->addLayout(options);
    layout->addWidget(Label_Error);
    layout->addWidget(Grid_Names, 1);
    layout->addWidget(Label_Changes);
    layout->addWidget(List_Conflicts);
    layout->addLayout(existingRow);
    layout->addWidget(Label_Room);
    layout->addLayout(makeButtonRow({Button_OK, Button_Cancel}));
}

void Form_PlanImport::connectHandlers()
{
    connect(Button_Paste, &QPushButton::clicked, this, guarded(this, [this] { Button_Paste_Click(); }));
    connect(Button_Open, &QPushButton::clicked, this, guarded(this, [this] { Button_Open_Click(); }));
    auto* paste = new QShortcut(QKeySequence::Paste, this);
    connect(paste, &QShortcut::activated, this, guarded(this, [this] { Button_Paste_Click(); }));
    connect(Text_SchoolYear, &QSpinBox::valueChanged, this, guarded(this, [this] { readTable(); }));
    connect(Combo_Column, &QComboBox::currentIndexChanged, this, guarded(this, [this] {
                if (!m_filling)
                    readTable();
            }));
    connect(m_existing, &QButtonGroup::idClicked, this, guarded(this, [this] { showChanges(); }));
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, [this] { reject(); });
    closeOnEscape(this);
}

void Form_PlanImport::pasteText(const QString& text)
{
    Label_Source->setText(QStringLiteral("貼り付けた表"));
    takeGrid(Plan::gridFromPaste(text));
}

void Form_PlanImport::Button_Paste_Click()
{
    try {
        pasteText(QGuiApplication::clipboard()->text());
    } catch (const Plan::TableError& error) {
        refuse(error.message());
    }
}

void Form_PlanImport::Button_Open_Click()
{
    const QString path = ShowFileDialog(this, QStringLiteral("行事予定を開く"), FileDialogOpenTable);
    if (path.isEmpty())
        return;
    try {
        const Plan::Grid grid = Plan::gridFromFile(path);
        Label_Source->setText(path);
        takeGrid(grid);
    } catch (const Plan::TableError& error) {
        refuse(error.message());
    }
}

void Form_PlanImport::refuse(const QString& message)
{
    m_plan.reset();
    Label_Error->setText(message);
    fillNames();
    showChanges();
}

// A new table: the column choice starts over, offered only where no header
// reads 日課.
void Form_PlanImport::takeGrid(const Plan::Grid& grid)
{
    m_grid = grid;
    m_filling = true;
    Combo_Column->clear();
    Combo_Column->setEnabled(false);
    m_filling = false;
    try {
        const Plan::Layout layout = Plan::findLayout(m_grid);
        // A title above the header that names the 年度 ("2027年度 行事予定") is taken over the calendar's.
        for (int row = 0; row < layout.headerRow; ++row)
            for (const QString& cell : m_grid.at(row))
                if (const int named = Plan::schoolYearIn(cell);
                    named >= Text_SchoolYear->minimum() && named <= Text_SchoolYear->maximum()) {
                    const QSignalBlocker blocker(Text_SchoolYear);
                    Text_SchoolYear->setValue(named);
                }
        if (layout.dutyColumn < 0) {
            m_filling = true;
            for (int column = 0; column < layout.columnCount; ++column)
                if (column != layout.dateColumn)
                    Combo_Column->addItem(columnText(column, layout.headers.value(column)), column + 1);
            Combo_Column->setCurrentIndex(-1);
            Combo_Column->setEnabled(true);
            m_filling = false;
        }
    } catch (const Plan::TableError& error) {
        refuse(error.message());
        return;
    }
    readTable();
}

void Form_PlanImport::readTable()
{
    if (m_grid.isEmpty())
        return;
    Plan::PlanOptions options;
    options.schoolYear = Text_SchoolYear->value();
    if (Combo_Column->isEnabled() && Combo_Column->currentIndex() >= 0)
        options.column.number = Combo_Column->currentData().toInt();
    try {
        m_plan = Plan::readPlan(m_grid, options);
    } catch (const Plan::TableError& error) {
        refuse(error.message());
        return;
    }
    Label_Error->clear();
    fillNames();
    showChanges();
}

// Each 日課 with its days and its choice: the one made here, else the one
// remembered from the last table.
void Form_PlanImport::fillNames()
{
    Grid_Names->setRowCount(0);
    if (!m_plan)
        return;
    Grid_Names->setRowCount(int(m_plan->names.size()));
    int choiceWidth = Grid_Names->horizontalHeader()->sectionSizeHint(2);
    for (int row = 0; row < m_plan->names.size(); ++row) {
        const Plan::NameCount& count = m_plan->names.at(row);
        Grid_Names->setItem(row, 0, new QTableWidgetItem(count.name));
        auto* days = new QTableWidgetItem(QStringLiteral("%1日").arg(count.days));
        days->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        Grid_Names->setItem(row, 1, days);
        auto* choice = new QComboBox(Grid_Names);
        choice->setObjectName(QStringLiteral("Combo_Choice_%1").arg(row));
        choice->setPlaceholderText(QStringLiteral("（選択してください）"));
        choice->addItem(QStringLiteral("設定なし"), -1);
        choice->addItem(QStringLiteral("停止"), 0);
        for (int special = SpecialNames::kFirstSpecial; special <= SpecialNames::kLastSpecial; ++special)
            choice->addItem(m_names.names.numberText(special), special);
        const QString name = SpecialNames::foldName(count.name);
        if (!m_choices.contains(name))
            if (const auto remembered = m_names.names.choice(name))
                m_choices.insert(name, *remembered);
        choice->setCurrentIndex(m_choices.contains(name) ? choice->findData(choiceData(m_choices.value(name))) : -1);
        connect(choice, &QComboBox::currentIndexChanged, this, guarded(this, [this, choice, name] {
                    m_choices.insert(name, choiceOf(choice->currentData().toInt()));
                    showChanges();
                }));
        Grid_Names->setCellWidget(row, 2, choice);
        choiceWidth = std::max(choiceWidth, choice->sizeHint().width());
    }
    // The header sizes its column before the choices are in it.
    Grid_Names->setColumnWidth(2, choiceWidth);
}

std::optional<Plan::Changes> Form_PlanImport::changes() const
{
    if (!m_plan)
        return std::nullopt;
    QList<QDate> days;
    for (const Plan::PlanDay& day : m_plan->days)
        days << day.date;
    Plan::CurrentEntries current;
    const QMap<QDate, QList<int>> held = YearEntries::DatedEntriesOn(m_history.document(), m_circuit, days);
    for (auto entry = held.cbegin(); entry != held.cend(); ++entry)
        for (int special : *entry)
            current.entries << Plan::DatedEntry{entry.key(), special};
    current.rowsInAll = YearCapacity - RemainingYearCapacity(m_history.document());
    const auto existing = m_existing->checkedId() == 1 ? Plan::OnExisting::Keep : Plan::OnExisting::Overwrite;
    return Plan::planChanges(*m_plan, m_choices, current, existing, m_names.names.names());
}

void Form_PlanImport::showChanges()
{
    const std::optional<Plan::Changes> found = changes();
    List_Conflicts->clear();
    if (!found) {
        Label_Changes->clear();
        Label_Room->clear();
        for (QWidget* shown : std::initializer_list<QWidget*>{List_Conflicts, Option_Existing[0], Option_Existing[1]})
            shown->setVisible(false);
        return;
    }
    QStringList lines;
    for (const Plan::NameChanges& name : found->names) {
        if (!name.choice) {
            lines << QStringLiteral("「%1」%2日: 未選択").arg(name.name).arg(name.days);
            continue;
        }
        lines << QStringLiteral("「%1」%2日 → %3: 新規 %4日、上書き %5日、そのまま %6日、解除 %7日")
                     .arg(name.name)
                     .arg(name.days)
                     .arg(choiceText(*name.choice, m_names.names))
                     .arg(name.added)
                     .arg(name.replaced)
                     .arg(name.kept)
                     .arg(name.cleared);
    }
    if (m_plan->unnamedDays > 0)
        lines << QStringLiteral("日課の空欄の日 %1日はそのままです。").arg(m_plan->unnamedDays);
    Label_Changes->setText(lines.join(QLatin1Char('\n')));
    for (const Plan::Conflict& conflict : found->conflicts)
        List_Conflicts->addItem(
            QStringLiteral("%1　%2　設定済み: %3")
                .arg(dayText(conflict.date), conflict.name, YearEntries::EntriesText(conflict.held)));
    const bool conflicts = !found->conflicts.isEmpty();
    for (QWidget* shown : std::initializer_list<QWidget*>{List_Conflicts, Option_Existing[0], Option_Existing[1]})
        shown->setVisible(conflicts);
    Label_Room->setText(QStringLiteral("年間プログラムの残り: %1（設定前 %2）")
                            .arg(found->room())
                            .arg(YearCapacity - found->rowsBefore));
}

void Form_PlanImport::Button_OK_Click()
{
    const std::optional<Plan::Changes> found = changes();
    if (!found) {
        MessageBox::show(this, QStringLiteral("行事予定を貼り付けるか、ファイルを開いてください。"), kTitle,
                         MessageBox::Icon::Exclamation);
        Button_Paste->setFocus();
        return;
    }
    if (!found->unchosen.isEmpty()) {
        MessageBox::show(this,
                         QStringLiteral("日課「%1」の設定（設定なし・停止・特殊番号）を選択してください。")
                             .arg(found->unchosen.first()),
                         kTitle, MessageBox::Icon::Exclamation);
        Grid_Names->setFocus();
        return;
    }
    if (!found->conflicts.isEmpty() && m_existing->checkedId() < 0) {
        MessageBox::show(this,
                         QStringLiteral("設定済みで内容の異なる日が%1日あります。上書きするか、"
                                        "そのままにするかを選択してください。")
                             .arg(found->conflicts.size()),
                         kTitle, MessageBox::Icon::Exclamation);
        Option_Existing[0]->setFocus();
        return;
    }
    if (found->overCapacity()) {
        MessageBox::show(this,
                         YearEntries::CapacityRefusalText(m_history.document(), found->rowsAfter - found->rowsBefore),
                         kTitle, MessageBox::Icon::Critical);
        return;
    }
    writeChanges(*found);
    for (const Plan::NameToSet& name : found->namesToSet)
        m_names.names.setName(name.special, name.name);
    for (auto choice = m_choices.cbegin(); choice != m_choices.cend(); ++choice)
        m_names.names.setChoice(choice.key(), *choice);
    // The days are set; names that cannot be kept only cost next year's
    // choosing again.
    if (const auto problem = m_names.names.write(m_names.path))
        MessageBox::show(this, QStringLiteral("日課の設定を記録できませんでした。\r\n") + *problem, kTitle,
                         MessageBox::Icon::Exclamation);
    emit planWritten(found->firstDay);
    accept();
}

// All or nothing: the cleared days first, so that their rows make room.
void Form_PlanImport::writeChanges(const Plan::Changes& changes)
{
    QList<QDate> cleared;
    QMap<int, QList<QDate>> set;  // by the special number stored (0: 停止)
    for (const Plan::DayWrite& write : changes.writes) {
        if (const auto stored = write.choice.stored())
            set[*stored] << write.date;
        else
            cleared << write.date;
    }
    BusyCursor busy;
    ScheduleDocument& document = m_history.document();
    UndoStep step(m_history, QStringLiteral("行事予定から設定（回路%1）").arg(m_circuit));
    Transaction transaction(document);
    if (!cleared.isEmpty())
        YearEntries::ClearDatedDays(document, m_circuit, cleared);
    for (auto days = set.cbegin(); days != set.cend(); ++days)
        if (!YearEntries::WriteDatedDays(document, m_circuit, *days, days.key(), YearEntries::OnExisting::Overwrite))
            throw StoreError(YearEntries::CapacityRefusalText(document, changes.rowsAfter - changes.rowsBefore));
    transaction.commit();
}

void Form_PlanImport::done(int result)
{
    MarkFormUnloaded(this);
    QDialog::done(result);
}
