#include "print/Form_PrintSelect.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include "print/PrintOutput.h"
#include "print/PrintTables.h"
#include "print/Reports.h"
#include "ui/BusyCursor.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(100, 30);
const QString kPrintTitle = QStringLiteral("プログラム印刷");
const QString kYearTitle = QStringLiteral("年間プログラム印刷");

struct KindTexts {
    QString caption;
    QString buttonTip;
    QString question;
    QString questionTitle;
};

KindTexts textsOf(int kind)
{
    switch (kind) {
    case PrintJob::Special:
        return {QStringLiteral("特殊プログラム印刷"), QStringLiteral("特殊プログラムを印刷します。"),
                QStringLiteral("特殊プログラムを印刷します。"), kPrintTitle};
    case PrintJob::Year:
        return {kYearTitle, QStringLiteral("選択した年のプログラムを印刷します。"),
                QStringLiteral("年間プログラムを印刷します。"), kYearTitle};
    default:
        return {QStringLiteral("週間プログラム印刷"), QStringLiteral("週間プログラムを印刷します。"),
                QStringLiteral("週間プログラムを印刷します。"), kPrintTitle};
    }
}

}  // namespace

Form_PrintSelect::Form_PrintSelect(UndoHistory& history, const PrintJob& job, QWidget* parent)
    : QDialog(parent)
    , m_job(job)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_PrintSelect"));
    setWindowTitle(kPrintTitle);
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_PrintSelect::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", kPrintTitle);
    styleHeading(Label_Titile, 1.3);
    Label_Year = makeLabel(this, "Label_Year", QStringLiteral("印刷年:"));
    Combo_Year = new QComboBox(this);
    Combo_Year->setObjectName(QStringLiteral("Combo_Year"));
    Combo_Year->setToolTip(QStringLiteral("印刷する年を選択します。"));
    Combo_Year->setMinimumWidth(90);
    Check_Preview = new QCheckBox(QStringLiteral("プレビュー"), this);
    Check_Preview->setObjectName(QStringLiteral("Check_Preview"));
    Check_Preview->setToolTip(QStringLiteral("プレビューを表示してから印刷する場合はチェックを入れます。"));
    Button_Print = makeButton(this, "Button_Print", QStringLiteral("印刷 (&P)"), QString(), kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"), QStringLiteral("画面を閉じます。"),
                               kButtonSize);

    auto* yearRow = new QHBoxLayout;
    yearRow->addWidget(Label_Year);
    yearRow->addWidget(Combo_Year);
    yearRow->addStretch(1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button_Print);
    buttons->addWidget(Button_Cancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->setSpacing(10);
    layout->addWidget(Label_Titile);
    layout->addLayout(yearRow);
    layout->addWidget(Check_Preview);
    layout->addLayout(buttons);
}

void Form_PrintSelect::connectHandlers()
{
    connect(Button_Print, &QPushButton::clicked, this, guarded(this, [this] { Button_Print_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_PrintSelect::Form_Load()
{
    const KindTexts texts = textsOf(m_job.kind);
    setWindowTitle(texts.caption);
    Label_Titile->setText(texts.caption);
    Button_Print->setToolTip(texts.buttonTip);
    const bool year = m_job.kind == PrintJob::Year;
    Label_Year->setVisible(year);
    Combo_Year->setVisible(year);
    if (year) {
        Combo_Year->addItems(PrintTexts::yearChoices(m_history.document(), m_job.circuit));
        Combo_Year->setCurrentIndex(-1);
    }
    adjustSize();
}

void Form_PrintSelect::Button_Print_Click()
{
    const bool year = m_job.kind == PrintJob::Year;
    if (year && Combo_Year->currentIndex() < 0) {
        MessageBox::show(this, QStringLiteral("印刷年が選択されていません。"), kYearTitle,
                         MessageBox::Icon::Exclamation);
        Button_Cancel->setFocus();
        return;
    }
    if (!confirmed()) {
        Button_Cancel->setFocus();
        return;
    }
    if (year)
        m_job.setYear(Combo_Year->currentText());
    output();
}

bool Form_PrintSelect::confirmed()
{
    const KindTexts texts = textsOf(m_job.kind);
    return MessageBox::show(this, texts.question + QStringLiteral("\r\nよろしいですか？"), texts.questionTitle,
                            MessageBox::Icon::Question, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes;
}

// The tables are filled, then the listing goes to the preview or straight
// to the printer. Without a printer the window stays, so that the user can
// still choose the preview.
void Form_PrintSelect::output()
{
    Reports::Report report;
    {
        BusyCursor busy;
        m_job.fillTables();
        report = Reports::BuildReport(m_job);
    }
    if (Check_Preview->isChecked()) {
        PrintOutput::showPreview(this, report);
    } else if (!PrintOutput::printDirect(report)) {
        MessageBox::show(this, QStringLiteral("プリンタが見つかりません。"), windowTitle(),
                         MessageBox::Icon::Exclamation);
        return;
    }
    accept();
}
