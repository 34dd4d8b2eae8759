#include "review/Form_Review.h"

#include "review/SchoolYear.h"
#include "review/YearReview.h"
#include "store/ScheduleDocument.h"
#include "store/StoreRoutines.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "whenruns/ProgramText.h"
#include "whenruns/Schedule.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <utility>

namespace {

const QString kTitle = QStringLiteral("年間チェック");
const QSize kButtonSize(120, 30);
constexpr int kCircuitRole = Qt::UserRole;
constexpr int kDayRole = Qt::UserRole + 1;

}  // namespace

Form_Review::Form_Review(ScheduleDocument& document, Use use, int schoolYear, QWidget* parent, QMap<int, QString> names)
    : QDialog(parent)
    , m_document(document)
    , m_names(std::move(names))
{
    setObjectName(QStringLiteral("Form_Review"));
    setWindowTitle(kTitle);
    setModal(true);
    buildWindow(use);
    connect(Button_Check, &QPushButton::clicked, this, guarded(this, [this] { Button_Check_Click(); }));
    connect(List_Findings, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) { itemClicked(item); });
    connect(List_Findings, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { itemClicked(item); });
    if (use == Use::BeforeWrite) {
        connect(Button_WriteAnyway, &QPushButton::clicked, this, [this] { accept(); });
        connect(Button_Back, &QPushButton::clicked, this, [this] { reject(); });
    } else {
        connect(Button_Close, &QPushButton::clicked, this, [this] { reject(); });
    }
    runGuarded(this, [this, schoolYear] {
        showReview(schoolYear != 0
                       ? schoolYear
                       : Review::SchoolYearOfEntries(WhenRuns::ReadSchedule(m_document), 0, QDate::currentDate()));
    });
}

void Form_Review::buildWindow(Use use)
{
    Label_Titile = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(Label_Titile, 1.3);
    Text_SchoolYear = makeNumberBox(this, "Text_SchoolYear", 70);
    Text_SchoolYear->setMaxLength(4);
    Text_SchoolYear->setToolTip(QStringLiteral("確認する年度を西暦で入力します（4月から翌年3月まで）。"));
    Button_Check = makeButton(this, "Button_Check", QStringLiteral("確認 (&K)"),
                              QStringLiteral("入力した年度をもう一度確認します。"), QSize(90, 28));
    Label_Summary = makeLabel(this, "Label_Summary", QString());
    List_Findings = new QTreeWidget(this);
    List_Findings->setObjectName(QStringLiteral("List_Findings"));
    List_Findings->setColumnCount(2);
    List_Findings->setHeaderLabels({QStringLiteral("回路"), QStringLiteral("内容")});
    List_Findings->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    List_Findings->setWordWrap(true);
    List_Findings->setToolTip(QStringLiteral("クリックすると年間プログラムのカレンダーにその日を表示します。"));
    List_Findings->setMinimumSize(640, 260);
    Label_Room = makeLabel(this, "Label_Room", QString());

    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(makeLabel(this, "Label_SchoolYear", QStringLiteral("年　度")));
    yearRow->addWidget(Text_SchoolYear);
    yearRow->addWidget(Button_Check);
    yearRow->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(8);
    layout->addWidget(Label_Titile);
    layout->addLayout(yearRow);
    layout->addWidget(Label_Summary);
    layout->addWidget(List_Findings, 1);
    layout->addWidget(Label_Room);
    if (use == Use::BeforeWrite) {
        Check_DontShow = new QCheckBox(QStringLiteral("今後表示しない"), this);
        Check_DontShow->setObjectName(QStringLiteral("Check_DontShow"));
        Check_DontShow->setToolTip(
            QStringLiteral("プログラム作成を終了するまで、書込の前に年間チェックを表示しません。"));
        Button_WriteAnyway =
            makeButton(this, "Button_WriteAnyway", QStringLiteral("このまま書込"),
                       QStringLiteral("指摘はそのままでプログラムファイルを書き込みます。"), kButtonSize);
        Button_Back = makeButton(this, "Button_Back", QStringLiteral("戻って直す"),
                                 QStringLiteral("書き込まずにメイン画面へ戻ります。"), kButtonSize);
        Button_Back->setDefault(true);
        layout->addWidget(Check_DontShow);
        layout->addLayout(makeButtonRow({Button_WriteAnyway, Button_Back}));
    } else {
        Button_Close = makeButton(this, "Button_Close", QStringLiteral("閉じる (&X)"),
                                  QStringLiteral("年間プログラム設定へ戻ります。"), kButtonSize);
        layout->addLayout(makeButtonRow({Button_Close}));
    }
    resize(760, 480);
}

std::optional<int> schoolYearTyped(QWidget* owner, QLineEdit* box, const QString& title)
{
    bool number = false;
    const int schoolYear = box->text().trimmed().toInt(&number);
    if (number && Review::isSchoolYear(schoolYear))
        return schoolYear;
    MessageBox::show(owner,
                     QStringLiteral("年度は %1～%2 の西暦で入力してください。")
                         .arg(Review::kFirstSchoolYear)
                         .arg(Review::kLastSchoolYear),
                     title, MessageBox::Icon::Exclamation);
    box->setFocus();
    return std::nullopt;
}

bool Form_Review::dontShowAgain() const
{
    return Check_DontShow && Check_DontShow->isChecked();
}

void Form_Review::Button_Check_Click()
{
    const std::optional<int> typed = schoolYearTyped(this, Text_SchoolYear, kTitle);
    if (!typed)
        return;
    const int schoolYear = *typed;
    showReview(schoolYear);
}

void Form_Review::showReview(int schoolYear)
{
    const Review::YearReview review = Review::ReviewYear(WhenRuns::ReadSchedule(m_document), schoolYear, 0, m_names);
    Text_SchoolYear->setText(QString::number(schoolYear));
    Label_Summary->setText(review.findings.isEmpty()
                               ? Review::schoolYearTitle(schoolYear) + QStringLiteral("：指摘はありません。")
                               : Review::schoolYearTitle(schoolYear)
                                   + QStringLiteral("：指摘 %1 件").arg(review.findings.size()));
    List_Findings->clear();
    for (const Review::Finding& finding : review.findings) {
        auto* item = new QTreeWidgetItem(
            List_Findings, {QStringLiteral("回路%1").arg(finding.circuit), Review::findingText(finding, schoolYear)});
        item->setData(0, kCircuitRole, finding.circuit);
        item->setData(0, kDayRole, finding.days.value(0));
        item->setToolTip(1, item->text(1));
        if (finding.days.size() > 1)
            for (const QDate& day : finding.days) {
                auto* dayItem = new QTreeWidgetItem(item, {QString(), WhenRuns::dateText(day)});
                dayItem->setData(0, kCircuitRole, finding.circuit);
                dayItem->setData(0, kDayRole, day);
            }
    }
    Label_Room->setText(
        QStringLiteral("残り（指摘ではありません）: 週間・特殊プログラム %1 / %2、年間プログラム（日付指定） %3 / %4")
            .arg(review.room.weekAndSpecial)
            .arg(WeekCapacity)
            .arg(review.room.dated)
            .arg(YearCapacity));
}

void Form_Review::itemClicked(QTreeWidgetItem* item)
{
    const QDate day = item->data(0, kDayRole).toDate();
    if (day.isValid())
        emit dayChosen(item->data(0, kCircuitRole).toInt(), day);
}
