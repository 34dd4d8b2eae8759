#include "settings/Form_Environment.h"
#include "store/ScheduleDocument.h"

#include "core/NumericText.h"
#include "history/UndoActions.h"
#include "history/UndoHistory.h"
#include "settings/CircuitRules.h"
#include "settings/UpDownButtons.h"
#include "snd/player/PlayChime.h"
#include "store/StoreChanges.h"
#include "ui/Guard.h"
#include "ui/InputCheck.h"
#include "ui/MessageBox.h"
#include "ui/Widgets.h"
#include "ui/WindowUtil.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QString indexed(const char* name, int row)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(row);
}

}  // namespace

Form_Environment::Form_Environment(UndoHistory& history, QWidget* parent)
    : QWidget(parent)
    , m_history(history)
{
    setObjectName(QStringLiteral("Form_Environment"));
    setWindowTitle(CircuitRules::title());
    buildWindow();
    connectRows();
    AddUndoShortcuts(this, m_history);
    closeOnEscape(this);
    // An undone or redone 初期設定 shows here at once, so that closing the
    // window does not save the old values back.
    connect(&m_history.document(), &ScheduleDocument::changed, this, [this](StoreChanges::Changes changes) {
        if (changes & StoreChanges::Settings)
            runGuarded(this, [this] {
                const InputCheck::HoldChecks reloading;
                Form_Load();
            });
    });
    runGuarded(this, [this] { Form_Load(); });
}

Form_Environment::~Form_Environment()
{
    // The boxes lose the focus while the window is taken apart; that is not
    // the user leaving them.
    disconnect(qApp, nullptr, this, nullptr);
    const InputCheck::HoldChecks closing;
    hide();
}

void Form_Environment::buildWindow()
{
    Label_Titile = makeLabel(this, QStringLiteral("Label_Titile"), QStringLiteral("初　期　設　定"));
    styleHeading(Label_Titile, 1.6);
    Label_Titile->setAlignment(Qt::AlignCenter);

    Label_KairoNo = makeLabel(this, QStringLiteral("Label_KairoNo"), QStringLiteral("回路番号"));
    Label_Program = makeLabel(this, QStringLiteral("Label_Program"), QStringLiteral("プログラムの種類"));
    Label_Pulse = makeLabel(this, QStringLiteral("Label_Pulse"), QStringLiteral("出力時間／チャイム起動時間"));
    Label_Chime = makeLabel(this, QStringLiteral("Label_Chime"), QStringLiteral("チャイム手動演奏曲目"));

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(6);
    enum Column {
        ColNo,
        ColType,
        ColGap1,
        ColMinus,
        ColValue,
        ColUpDown,
        ColByo,
        ColGap2,
        ColChime,
        ColUpDownChime,
        ColPlay
    };
    grid->addWidget(Label_KairoNo, 0, ColNo, Qt::AlignCenter);
    grid->addWidget(Label_Program, 0, ColType, Qt::AlignCenter);
    grid->addWidget(Label_Pulse, 0, ColMinus, 1, ColByo - ColMinus + 1, Qt::AlignCenter);
    grid->addWidget(Label_Chime, 0, ColChime, 1, ColPlay - ColChime + 1, Qt::AlignCenter);
    grid->setColumnMinimumWidth(ColGap1, 18);
    grid->setColumnMinimumWidth(ColGap2, 24);

    const QStringList types = ProgramTypeNames();
    for (int row = 0; row < Rows; ++row) {
        const int line = row + 1;
        Label_No[row] = makeLabel(this, indexed("Label_No", row), QString::number(row + 1));
        Combo_Function[row] = new QComboBox(this);
        Combo_Function[row]->setObjectName(indexed("Combo_Function", row));
        Combo_Function[row]->addItems(types);
        Combo_Function[row]->setMinimumWidth(130);
        Text_Function[row] = makeNumberBox(this, indexed("Text_Function", row), 48);
        UpDown[row] = new UpDownButtons(Text_Function[row], 0, 59, this);
        UpDown[row]->setObjectName(indexed("UpDown", row));
        Label_Minus[row] = makeLabel(this, indexed("Label_Minus", row), QStringLiteral("－"));
        // The value box keeps its place whether or not the minus is shown.
        QSizePolicy keepPlace = Label_Minus[row]->sizePolicy();
        keepPlace.setRetainSizeWhenHidden(true);
        Label_Minus[row]->setSizePolicy(keepPlace);
        Label_Minus[row]->setVisible(false);
        Label_Byo[row] = makeLabel(this, indexed("Label_Byo", row), QStringLiteral("秒"));
        Text_Chime[row] = makeNumberBox(this, indexed("Text_Chime", row), 40);
        Text_Chime[row]->setText(QStringLiteral("1"));
        Text_Chime[row]->setToolTip(CircuitRules::chimeTip());
        UpDownChime[row] = new UpDownButtons(Text_Chime[row], 1, 7, this);
        UpDownChime[row]->setObjectName(indexed("UpDownChime", row));
        Button_Chime[row] = new QPushButton(QStringLiteral("試聴"), this);
        Button_Chime[row]->setObjectName(indexed("Button_Chime", row));
        Button_Chime[row]->setToolTip(QStringLiteral("チャイムを試聴します。"));

        grid->addWidget(Label_No[row], line, ColNo, Qt::AlignCenter);
        grid->addWidget(Combo_Function[row], line, ColType);
        grid->addWidget(Label_Minus[row], line, ColMinus, Qt::AlignRight);
        grid->addWidget(Text_Function[row], line, ColValue);
        grid->addWidget(UpDown[row], line, ColUpDown);
        grid->addWidget(Label_Byo[row], line, ColByo);
        grid->addWidget(Text_Chime[row], line, ColChime);
        grid->addWidget(UpDownChime[row], line, ColUpDownChime);
        grid->addWidget(Button_Chime[row], line, ColPlay);
    }

    Button_Close = new QPushButton(QStringLiteral("閉じる (&X)"), this);
    Button_Close->setObjectName(QStringLiteral("Button_Close"));
    Button_Close->setToolTip(QStringLiteral("設定を保存してメイン画面に戻ります。"));
    Button_Close->setMinimumSize(120, 36);

    // Keyboard order follows the rows: type, value, tune, preview.
    QWidget* previous = nullptr;
    for (int row = 0; row < Rows; ++row)
        for (QWidget* widget : {static_cast<QWidget*>(Combo_Function[row]), static_cast<QWidget*>(Text_Function[row]),
                                static_cast<QWidget*>(Text_Chime[row]), static_cast<QWidget*>(Button_Chime[row])}) {
            if (previous)
                setTabOrder(previous, widget);
            previous = widget;
        }
    setTabOrder(previous, Button_Close);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(Button_Close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 16, 24, 16);
    layout->setSpacing(14);
    layout->addWidget(Label_Titile);
    layout->addLayout(grid);
    layout->addLayout(bottom);
}

void Form_Environment::connectRows()
{
    for (int row = 0; row < Rows; ++row) {
        connect(Combo_Function[row], &QComboBox::currentIndexChanged, this,
                guarded(this, [this, row] { Combo_Function_Click(row); }));
        InputCheck::onFocusLoss(Combo_Function[row],
                                [this, row](QWidget* next) { Combo_Function_LostFocus(row, next); });
        InputCheck::onFocusLoss(Text_Function[row], [this, row](QWidget*) {
            if (!TypeChangeBlocked)
                CheckFunctionValue(row);
        });
        InputCheck::onFocusLoss(Text_Chime[row], [this, row](QWidget*) { CheckChimeValue(row); });
        connect(Button_Chime[row], &QPushButton::clicked, this,
                guarded(this, [this, row] { Button_Chime_Click(row); }));
    }
    connect(Button_Close, &QPushButton::clicked, this, guarded(this, [this] { Button_Close_Click(); }));
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { runGuarded(this, [this, now] { focusChanged(now); }); });
}

void Form_Environment::Form_Load()
{
    const std::array<CircuitSetting, 8> settings = CircuitRules::readSettingTable(m_history.document());
    for (int row = 0; row < Rows; ++row) {
        const CircuitSetting& setting = settings[row];
        const int type = setting.Program;
        Combo_Function[row]->setCurrentIndex(type >= 0 && type < Combo_Function[row]->count() ? type : -1);
        Text_Function[row]->setText(QString::number(setting.PulseTime));
        Text_Chime[row]->setText(QString::number(setting.Chime));
    }
    for (int row = 0; row < Rows; ++row)
        Combo_Function_Click(row);
}

int Form_Environment::selectedType(int row) const
{
    return Combo_Function[row]->currentIndex();
}

void Form_Environment::UpdateRowState(int row)
{
    const int type = selectedType(row);
    const bool used = type > TypeNone;
    if (!used)
        Text_Function[row]->setText(QStringLiteral("0"));
    Text_Function[row]->setEnabled(used);
    // An unused circuit's value is fixed at 0, so its arrows go with the box.
    UpDown[row]->setEnabled(used);
    Label_Minus[row]->setVisible(type == TypeChime);
}

void Form_Environment::Combo_Function_Click(int row)
{
    UpdateRowState(row);
    const int type = selectedType(row);
    Combo_Function[row]->setToolTip(CircuitRules::typeTip(type));
    Text_Function[row]->setToolTip(CircuitRules::valueTip(type));
}

bool Form_Environment::refuseTypeChange(int row)
{
    if (!CircuitRules::typeChangeRefused(m_history.document(), row + 1, selectedType(row)))
        return false;
    MessageBox::show(this, CircuitRules::typeLockedMessage(), CircuitRules::title(), MessageBox::Icon::Exclamation);
    TypeChangeBlocked = true;
    Combo_Function[row]->setFocus(Qt::OtherFocusReason);
    return true;
}

bool Form_Environment::Combo_Function_LostFocus(int row, QWidget* next)
{
    if (refuseTypeChange(row))
        return false;
    if (selectedType(row) == m_history.document().circuit(row + 1).Program)
        TypeChangeBlocked = false;
    // Going from the type straight to its value is how a row is filled in;
    // the value is checked when it is left.
    if (next == Text_Function[row])
        return true;
    return CheckFunctionValue(row);
}

bool Form_Environment::CheckFunctionValue(int row)
{
    const QString problem = CircuitRules::valueProblem(selectedType(row), Text_Function[row]->text());
    if (problem.isEmpty())
        return true;
    MessageBox::show(this, problem, CircuitRules::title(), MessageBox::Icon::Exclamation);
    InputCheck::refocus(Text_Function[row]);
    return false;
}

bool Form_Environment::CheckChimeValue(int row)
{
    const QString problem = CircuitRules::chimeProblem(Text_Chime[row]->text());
    if (problem.isEmpty())
        return true;
    MessageBox::show(this, problem, CircuitRules::title(), MessageBox::Icon::Exclamation);
    InputCheck::refocus(Text_Chime[row]);
    return false;
}

void Form_Environment::focusChanged(QWidget* now)
{
    for (int row = 0; row < Rows; ++row) {
        if (now == Combo_Function[row])
            TypeChangeBlocked = false;
        UpDown[row]->setFocusedLook(now == Combo_Function[row] || now == Text_Function[row]);
    }
}

void Form_Environment::Button_Chime_Click(int row)
{
    PlayChime(NumericText::toInteger(Text_Chime[row]->text()).value_or(0), this);
}

void Form_Environment::Button_Close_Click()
{
    close();
}

bool Form_Environment::closeChecksPass()
{
    for (int row = 0; row < Rows; ++row)
        if (refuseTypeChange(row))
            return false;
    // The focus-loss checks do not run when the window is closed straight
    // from a box, so a value left wrong is caught here.
    for (int row = 0; row < Rows; ++row)
        if (!CheckFunctionValue(row) || !CheckChimeValue(row))
            return false;
    return true;
}

void Form_Environment::SaveSettings()
{
    std::array<CircuitSetting, 8> settings;
    for (int row = 0; row < Rows; ++row) {
        const int type = std::max(selectedType(row), 0);
        settings[row].Program = qint16(type);
        settings[row].PulseTime = qint16(NumericText::toInteger(Text_Function[row]->text()).value_or(0));
        settings[row].Chime = qint16(NumericText::toInteger(Text_Chime[row]->text()).value_or(1));
    }
    UndoStep step(m_history, QStringLiteral("初期設定"));
    CircuitRules::writeSettings(m_history.document(), settings);
}

void Form_Environment::closeEvent(QCloseEvent* event)
{
    bool refused = false;
    // A store failure is reported by the guard and the window closes all
    // the same: trying again would only fail again.
    runGuarded(this, [&] {
        {
            const InputCheck::HoldChecks checking;
            refused = !closeChecksPass();
        }
        if (!refused)
            SaveSettings();
    });
    if (refused) {
        event->ignore();
        return;
    }
    emit closed();
    MarkFormUnloaded(this);
    event->accept();
}
