#include "special/Form_SpecialSelect.h"
#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include "special/SpecialPrograms.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(100, 30);

}  // namespace

void FillSpecialCombo(ScheduleDocument& document, QComboBox* combo, int circuit, const SpecialNames::Names* names)
{
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (int number : SpecialPrograms::SpecialNumbersInUse(document, circuit))
        combo->addItem(names ? names->numberText(number) : QString::number(number), number);
    combo->setCurrentIndex(-1);
}

Form_SpecialSelect::Form_SpecialSelect(UndoHistory& history, int circuit, QWidget* parent,
                                       SpecialNames::NamesFile* names)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_names(names)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_SpecialSelect"));
    setWindowTitle(QStringLiteral("特殊プログラム作成"));
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_SpecialSelect::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("特殊プログラム作成"));
    styleHeading(Label_Titile, 1.3);
    Option_New = new QRadioButton(QStringLiteral("新規作成"), this);
    Option_New->setObjectName(QStringLiteral("Option_New"));
    Option_Edit = new QRadioButton(QStringLiteral("作成済みの特殊プログラムを編集"), this);
    Option_Edit->setObjectName(QStringLiteral("Option_Edit"));
    Label_Special = makeLabel(this, "Label_Special", QStringLiteral("特殊番号"));
    Combo_Special = new QComboBox(this);
    Combo_Special->setObjectName(QStringLiteral("Combo_Special"));
    Combo_Special->setToolTip(QStringLiteral("特殊番号を選択します。"));
    Combo_Special->setMinimumWidth(80);
    Button_OK = makeButton(this, "Button_OK", QStringLiteral("OK (&O)"), QStringLiteral("特殊プログラムを作成します。"),
                           kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"), QStringLiteral("画面を閉じます。"),
                               kButtonSize);

    auto* specialRow = new QHBoxLayout;
    specialRow->addSpacing(24);
    specialRow->addWidget(Label_Special);
    specialRow->addWidget(Combo_Special);
    specialRow->addStretch(1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addWidget(Option_New);
    layout->addWidget(Option_Edit);
    layout->addLayout(specialRow);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void Form_SpecialSelect::connectHandlers()
{
    connect(Option_New, &QRadioButton::toggled, Combo_Special,
            [this](bool checked) { Combo_Special->setEnabled(!checked); });
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

void Form_SpecialSelect::Form_Load()
{
    Option_New->setChecked(true);
    Combo_Special->setEnabled(false);
    FillSpecialCombo(m_history.document(), Combo_Special, m_circuit, m_names ? &m_names->names : nullptr);
}

bool SpecialNumberLeft(ScheduleDocument& document, QWidget* parent, int circuit)
{
    if (SpecialPrograms::FirstFreeSpecialNumber(document, circuit) <= SpecialPrograms::HighestSpecialNumber)
        return true;
    MessageBox::show(parent,
                     QStringLiteral("設定可能最大数を超えています。特殊番号は99までです。\r\n"
                                    "不要なプログラムを削除してから設定してください。"),
                     QStringLiteral("特殊プログラム"), MessageBox::Icon::Critical);
    return false;
}

void Form_SpecialSelect::Button_OK_Click()
{
    if (Option_New->isChecked()) {
        if (!SpecialNumberLeft(m_history.document(), this, m_circuit))
            return;
        choose(0);
        return;
    }
    if (Combo_Special->currentIndex() < 0) {
        MessageBox::show(this, QStringLiteral("特殊番号を指定してください。"), QStringLiteral("特殊プログラム作成"),
                         MessageBox::Icon::Critical);
        Combo_Special->setFocus();
        return;
    }
    choose(Combo_Special->currentData().toInt());
}

void Form_SpecialSelect::choose(int special)
{
    // Its choice made, this dialog steps aside: no modal dialog stays under
    // the special window its opener opens, whose 元に戻す then works.
    hide();
    emit specialChosen(special);
    accept();
}
