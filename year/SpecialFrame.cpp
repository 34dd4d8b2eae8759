#include "year/SpecialFrame.h"

#include "history/UndoHistory.h"
#include "store/ScheduleDocument.h"

#include "special/Form_Special.h"
#include "special/Form_SpecialSelect.h"
#include "ui/Guard.h"
#include "ui/ModalDialogs.h"
#include "ui/Widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>

void SpecialFrame::createSpecialFrame(QWidget* dialog, UndoHistory& history, const QString& backTip,
                                      std::function<void(int, bool)> closed)
{
    m_frameHistory = &history;
    m_backTip = backTip;
    m_specialClosed = std::move(closed);
    const QSize buttonSize(100, 30);
    Frame_Special = new QGroupBox(QStringLiteral("特殊番号"), dialog);
    Frame_Special->setObjectName(QStringLiteral("Frame_Special"));
    Combo_Special = new QComboBox(Frame_Special);
    Combo_Special->setObjectName(QStringLiteral("Combo_Special"));
    Combo_Special->setToolTip(QStringLiteral("特殊番号を選択します。"));
    Combo_Special->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Combo_Special->setMinimumWidth(90);
    Button_New = makeButton(Frame_Special, "Button_New", QStringLiteral("新規 (&N)"),
                            QStringLiteral("新規の特殊番号の設定を作成します。"), buttonSize);
    Button_Edit = makeButton(Frame_Special, "Button_Edit", QStringLiteral("編集 (&E)"),
                             QStringLiteral("選択した特殊番号のプログラムを編集します。"), buttonSize);

    auto* frame = new QHBoxLayout(Frame_Special);
    frame->addWidget(Combo_Special);
    frame->addWidget(Button_New);
    frame->addWidget(Button_Edit);
    frame->addStretch(1);
}

void SpecialFrame::enableSpecialFrame(bool special)
{
    Combo_Special->setEnabled(special);
    Button_New->setEnabled(special);
    Button_Edit->setEnabled(special && Combo_Special->count() > 0);
}

void SpecialFrame::newSpecial(QWidget* dialog, int circuit)
{
    if (!SpecialNumberLeft(m_frameHistory->document(), dialog, circuit))
        return;
    openSpecialWindow(dialog, circuit, 0);
}

void SpecialFrame::editSpecial(QWidget* dialog, int circuit)
{
    if (Combo_Special->currentIndex() < 0)
        return;
    openSpecialWindow(dialog, circuit, chosenSpecial());
}

void SpecialFrame::openSpecialWindow(QWidget* dialog, int circuit, int special)
{
    auto* window = new Form_Special(*m_frameHistory, circuit, special, m_backTip, dialog, names);
    QObject::connect(window, &Form_Special::closing, dialog, [dialog, closed = m_specialClosed](int special, bool has) {
        runGuarded(dialog, [&] { closed(special, has); });
    });
    ModalDialogs::open(window);
}

void SpecialFrame::fillSpecials(int circuit)
{
    FillSpecialCombo(m_frameHistory->document(), Combo_Special, circuit, names ? &names->names : nullptr);
}

int SpecialFrame::chosenSpecial() const
{
    return Combo_Special->currentIndex() < 0 ? 0 : Combo_Special->currentData().toInt();
}
