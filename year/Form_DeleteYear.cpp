#include "year/Form_DeleteYear.h"
#include "store/ScheduleDocument.h"

#include "history/UndoHistory.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "year/YearEntries.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(100, 30);
const QString kTitle = QStringLiteral("年間プログラムの削除");
constexpr int kEveryYear = -1;  // item data of "毎年"

}  // namespace

Form_DeleteYear::Form_DeleteYear(UndoHistory& history, int circuit, QWidget* parent)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_DeleteYear"));
    setWindowTitle(QStringLiteral("年間プログラム削除"));
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_DeleteYear::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", kTitle);
    styleHeading(Label_Titile, 1.3);
    Label_Circuit = makeLabel(this, "Label_Circuit", QStringLiteral("回　路"));
    Label_CircuitNO = makeLabel(this, "Label_CircuitNO", QString());
    Label_CircuitNO->setFrameShape(QFrame::StyledPanel);
    Label_CircuitNO->setFrameShadow(QFrame::Sunken);
    Label_CircuitNO->setMinimumWidth(60);
    Option_Delete[0] = new QRadioButton(QStringLiteral("全　削　除"), this);
    Option_Delete[0]->setToolTip(QStringLiteral("回路の年間プログラムをすべて削除します。"));
    Option_Delete[1] = new QRadioButton(QStringLiteral("年指定削除"), this);
    Option_Delete[1]->setToolTip(QStringLiteral("指定した年のプログラムを削除します。"));
    for (int index = 0; index < 2; ++index)
        Option_Delete[index]->setObjectName(QStringLiteral("Option_Delete_%1").arg(index));
    Combo_Year = new QComboBox(this);
    Combo_Year->setObjectName(QStringLiteral("Combo_Year"));
    Combo_Year->setToolTip(QStringLiteral("削除する年を選択します。"));
    Combo_Year->setMinimumWidth(90);
    Button_OK = makeButton(this, "Button_OK", QStringLiteral("OK (&O)"), QStringLiteral("選択した条件で削除します。"),
                           kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"),
                               QStringLiteral("削除をキャンセルします。"), kButtonSize);

    auto* circuitRow = new QHBoxLayout;
    circuitRow->addWidget(Label_Circuit);
    circuitRow->addWidget(Label_CircuitNO);
    circuitRow->addStretch(1);

    auto* options = new QGridLayout;
    options->addWidget(Option_Delete[0], 0, 0);
    options->addWidget(Option_Delete[1], 1, 0);
    options->addWidget(Combo_Year, 1, 1);
    options->setColumnStretch(2, 1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addLayout(circuitRow);
    layout->addLayout(options);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void Form_DeleteYear::connectHandlers()
{
    for (int index = 0; index < 2; ++index)
        connect(Option_Delete[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                runGuarded(this, [this, index] { Option_Delete_Click(index); });
        });
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_DeleteYear::Form_Load()
{
    Option_Delete[0]->setChecked(true);
    Label_CircuitNO->setText(QString::number(m_circuit));
    if (YearEntries::HasEveryYearEntries(m_history.document(), m_circuit))
        Combo_Year->addItem(QStringLiteral("毎年"), kEveryYear);
    for (int year : YearEntries::YearsWithEntries(m_history.document(), m_circuit))
        Combo_Year->addItem(QStringLiteral("%1年").arg(year, 2, 10, QLatin1Char('0')), year);
    Combo_Year->setCurrentIndex(-1);
}

void Form_DeleteYear::Option_Delete_Click(int index)
{
    Combo_Year->setEnabled(index == 1);
    if (index == 0)
        Combo_Year->setCurrentIndex(-1);
}

bool Form_DeleteYear::confirmed(const QString& subject)
{
    if (MessageBox::show(this, subject + QStringLiteral(" のデータをすべて消去してもよろしいですか？"), kTitle,
                         MessageBox::Icon::Question, QMessageBox::Yes | QMessageBox::No)
        == QMessageBox::Yes)
        return true;
    Button_Cancel->setFocus();
    return false;
}

void Form_DeleteYear::finish(const QString& subject)
{
    MessageBox::show(this, subject + QStringLiteral(" のデータを消去しました。"), kTitle,
                     MessageBox::Icon::Information);
    accept();
}

void Form_DeleteYear::Button_OK_Click()
{
    if (Combo_Year->count() == 0) {
        MessageBox::show(this, QStringLiteral("削除するデータがありません。"), kTitle, MessageBox::Icon::Information);
        accept();
        return;
    }
    const QString circuit = QStringLiteral("回路%1").arg(m_circuit);
    if (Option_Delete[0]->isChecked()) {
        if (!confirmed(circuit))
            return;
        {
            UndoStep step(m_history, QStringLiteral("年間プログラムの全削除（回路%1）").arg(m_circuit));
            YearEntries::DeleteAllEntries(m_history.document(), m_circuit);
        }
        finish(circuit);
        return;
    }
    if (Combo_Year->currentIndex() < 0) {
        MessageBox::show(this, QStringLiteral("削除する年を選択してください。"), kTitle, MessageBox::Icon::Exclamation);
        Combo_Year->setFocus();
        return;
    }
    const int year = Combo_Year->currentData().toInt();
    const QString subject =
        circuit + (year == kEveryYear ? QStringLiteral(" 毎年") : QStringLiteral(" 20") + Combo_Year->currentText());
    if (!confirmed(subject))
        return;
    {
        UndoStep step(
            m_history,
            QStringLiteral("年指定削除（%1・%2）")
                .arg(circuit,
                     year == kEveryYear ? QStringLiteral("毎年") : QStringLiteral("20") + Combo_Year->currentText()));
        if (year == kEveryYear)
            YearEntries::DeleteEveryYearEntries(m_history.document(), m_circuit);
        else
            YearEntries::DeleteYear(m_history.document(), m_circuit, year);
    }
    finish(subject);
}
