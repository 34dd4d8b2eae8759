#include "week/Form_Copy.h"
#include "store/ScheduleDocument.h"

#include "history/UndoHistory.h"
#include "store/StoreRoutines.h"
#include "ui/Guard.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"
#include "week/Days.h"
#include "week/WeekEditing.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(100, 30);

QString capacityMessage(const char* tail)
{
    return QStringLiteral("設定可能数") + QString::number(WeekCapacity) + QString::fromUtf8(tail);
}

}  // namespace

Form_Copy::Form_Copy(UndoHistory& history, int circuit, WeekEditing::CopyTarget target, QWidget* parent)
    : QDialog(parent)
    , m_circuit(circuit)
    , m_target(target)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Copy"));
    setWindowTitle(QStringLiteral("コピー"));
    setModal(true);
    buildWindow();
    connectHandlers();
    runGuarded(this, [this] { Form_Load(); });
}

void Form_Copy::buildWindow()
{
    Label_Titile = makeLabel(this, "Label_Titile", QStringLiteral("設定のコピー"));
    styleHeading(Label_Titile, 1.3);
    Option_Copy[0] = new QRadioButton(QStringLiteral("他の曜日の設定からコピーする"), this);
    Option_Copy[0]->setObjectName(QStringLiteral("Option_Copy_0"));
    Option_Copy[0]->setToolTip(QStringLiteral("コピー元は他の曜日"));
    Option_Copy[1] = new QRadioButton(QStringLiteral("他の特殊番号の設定からコピーする"), this);
    Option_Copy[1]->setObjectName(QStringLiteral("Option_Copy_1"));
    Option_Copy[1]->setToolTip(QStringLiteral("コピー元は他の特殊番号"));
    Label_Copy = makeLabel(this, "Label_Copy", QStringLiteral("曜　日"));
    Combo_SendYobi = new QComboBox(this);
    Combo_SendYobi->setObjectName(QStringLiteral("Combo_SendYobi"));
    Combo_SendYobi->setMinimumWidth(80);
    Label2 = makeLabel(this, "Label2", QStringLiteral("⇒"));
    Label_ReceiveYobi = makeLabel(this, "Label_ReceiveYobi", QString());
    Label_ReceiveYobi->setFrameShape(QFrame::StyledPanel);
    Label_ReceiveYobi->setFrameShadow(QFrame::Sunken);
    Label_ReceiveYobi->setMinimumWidth(100);
    Button_OK = makeButton(this, "Button_OK", QStringLiteral("OK (&O)"), QStringLiteral("コピーします。"), kButtonSize);
    Button_Cancel = makeButton(this, "Button_Cancel", QStringLiteral("ｷｬﾝｾﾙ (&C)"),
                               QStringLiteral("コピーをキャンセルします。"), kButtonSize);

    auto* copyRow = new QGridLayout;
    copyRow->addWidget(Label_Copy, 0, 0);
    copyRow->addWidget(Combo_SendYobi, 1, 0);
    copyRow->addWidget(Label2, 1, 1);
    copyRow->addWidget(Label_ReceiveYobi, 1, 2);
    copyRow->setColumnStretch(3, 1);

    QHBoxLayout* buttons = makeButtonRow({Button_OK, Button_Cancel});

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 12);
    layout->addWidget(Label_Titile);
    layout->addWidget(Option_Copy[0]);
    layout->addWidget(Option_Copy[1]);
    layout->addLayout(copyRow);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void Form_Copy::connectHandlers()
{
    for (int index = 0; index < 2; ++index)
        connect(Option_Copy[index], &QRadioButton::toggled, this, [this, index](bool checked) {
            if (checked)
                runGuarded(this, [this, index] { Option_Copy_Click(index); });
        });
    connect(Button_OK, &QPushButton::clicked, this, guarded(this, [this] { Button_OK_Click(); }));
    connect(Button_Cancel, &QPushButton::clicked, this, guarded(this, [this] { reject(); }));
}

bool Form_Copy::specialTarget() const
{
    return m_target.special != 0;
}

void Form_Copy::Form_Load()
{
    Option_Copy[0]->setChecked(true);
    Option_Copy[1]->setEnabled(specialTarget());
    Label_ReceiveYobi->setText(specialTarget() ? QStringLiteral("特殊番号 ") + QString::number(m_target.special)
                                               : Days::fullName(m_target.day));
}

void Form_Copy::Option_Copy_Click(int index)
{
    Combo_SendYobi->clear();
    const int circuit = m_circuit;
    if (index == 0) {
        Label_Copy->setText(QStringLiteral("曜　日"));
        Combo_SendYobi->setToolTip(QStringLiteral("曜日を選択します。"));
        // A special number may take the programs of any day, a day those
        // of the other days.
        const int exceptDay = specialTarget() ? -1 : m_target.day;
        for (int day : WeekEditing::CopySourceDays(m_history.document(), circuit, exceptDay))
            Combo_SendYobi->addItem(Days::name(day), day);
    } else {
        Label_Copy->setText(QStringLiteral("特殊番号"));
        Combo_SendYobi->setToolTip(QStringLiteral("特殊番号を選択します。"));
        for (int special : WeekEditing::CopySourceSpecials(m_history.document(), circuit, m_target.special))
            Combo_SendYobi->addItem(QString::number(special), special);
    }
    // The user chooses the source; OK without a choice copies nothing.
    Combo_SendYobi->setCurrentIndex(-1);
}

void Form_Copy::Button_OK_Click()
{
    const bool fromSpecial = Option_Copy[1]->isChecked();
    if (Combo_SendYobi->currentIndex() < 0) {
        MessageBox::show(this,
                         fromSpecial ? QStringLiteral("特殊番号が選択されていません")
                                     : QStringLiteral("曜日が選択されていません"),
                         QStringLiteral("コピー"), MessageBox::Icon::Critical);
        Combo_SendYobi->setFocus();
        return;
    }
    const WeekEditing::CopySource source{fromSpecial, Combo_SendYobi->currentData().toInt()};
    const WeekEditing::CopyTarget target{specialTarget() ? 0 : m_target.day, m_target.special};
    UndoStep step(m_history, WeekEditing::StepName(QStringLiteral("コピー"), m_circuit, target.special));
    const WeekEditing::CopyResult result = WeekEditing::CopyPrograms(m_history.document(), m_circuit, source, target);
    if (result.capacityReached)
        MessageBox::show(this,
                         capacityMessage(result.stoppedAtFirstRow
                                             ? "を超えているためコピーできませんでした。"
                                             : "を超えているためコピーできないデータがありました。"),
                         QStringLiteral("入力エラー"), MessageBox::Icon::Critical);
    accept();
}
