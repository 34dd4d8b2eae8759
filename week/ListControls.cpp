#include "week/ListControls.h"

#include "store/CircuitSetting.h"
#include "store/ProgramTypes.h"
#include "ui/Widgets.h"
#include "week/ProgramGrid.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QSize kButtonSize(110, 32);

}  // namespace

QLabel* makeValueLabel(QWidget* parent, const char* name)
{
    QLabel* label = makeLabel(parent, name, QString());
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumWidth(90);
    return label;
}

void ListControls::createListControls(QWidget* window, const QString& countTip, QSize gridMinimum,
                                      const QString& closeTip, CopyPlace copy)
{
    Label2 = makeLabel(window, "Label2", QStringLiteral("プログラムの種類"));
    Label_Mode = makeValueLabel(window, "Label_Mode");
    Label3 = makeLabel(window, "Label3", QStringLiteral("出力時間／チャイム起動時間"));
    Label_Pulse = makeValueLabel(window, "Label_Pulse");
    Label4 = makeLabel(window, "Label4", QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ残量数"));
    Label_ProgramCount = makeValueLabel(window, "Label_ProgramCount");
    Label_ProgramCount->setToolTip(countTip);
    Label_ProgramCount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    DataGrid1 = new ProgramGrid(window);
    DataGrid1->setToolTip(QStringLiteral("設定時刻を選択するには左端のレコードセレクタをクリックします。"));
    DataGrid1->setMinimumSize(gridMinimum);

    Button_New = makeButton(window, "Button_New", QStringLiteral("新規 (&N)"),
                            QStringLiteral("設定時刻を新規で追加します。"), kButtonSize);
    Button_Edit = makeButton(window, "Button_Edit", QStringLiteral("編集 (&E)"),
                             QStringLiteral("選択した設定時刻を編集します。"), kButtonSize);
    Button_Delete = makeButton(window, "Button_Delete", QStringLiteral("削除 (&D)"),
                               QStringLiteral("選択した設定時刻を削除します。"), kButtonSize);
    const auto makeCopy = [&] {
        Button_Copy = makeButton(window, "Button_Copy", QStringLiteral("コピー (&C)"),
                                 QStringLiteral("現在選択している曜日に別の曜日の設定をコピーします。"), kButtonSize);
    };
    if (copy == CopyPlace::BeforeAllDelete)
        makeCopy();
    Button_AllDelete = makeButton(window, "Button_AllDelete", QStringLiteral("全削除 (&A)"),
                                  QStringLiteral("選択した回路の設定をすべて削除します。"), kButtonSize);
    if (copy == CopyPlace::AfterAllDelete)
        makeCopy();
    Button_Bells =
        makeButton(window, "Button_Bells", QStringLiteral("時程から作成"),
                   QStringLiteral("時限の開始・終了時刻から報時・チャイムの時刻をまとめて作成します。"), kButtonSize);
    Button_Close = makeButton(window, "Button_Close", QStringLiteral("閉じる (&X)"), closeTip, kButtonSize);

    m_buttonOrder = copy == CopyPlace::BeforeAllDelete
        ? std::array{Button_New, Button_Edit, Button_Delete, Button_Copy, Button_AllDelete}
        : std::array{Button_New, Button_Edit, Button_Delete, Button_AllDelete, Button_Copy};
}

QVBoxLayout* ListControls::buttonColumn() const
{
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : m_buttonOrder)
        buttons->addWidget(button);
    buttons->addSpacing(8);
    buttons->addWidget(Button_Bells);
    buttons->addStretch(1);
    buttons->addWidget(Label4);
    buttons->addWidget(Label_ProgramCount);
    buttons->addSpacing(12);
    buttons->addWidget(Button_Close);
    return buttons;
}
