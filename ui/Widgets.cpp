#include "ui/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip, QSize minimum)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    button->setMinimumSize(minimum);
    return button;
}

void closeOnEscape(QWidget* window)
{
    auto* escape = new QAction(window);
    escape->setShortcut(QKeySequence(Qt::Key_Escape));
    escape->setShortcutContext(Qt::WindowShortcut);
    QObject::connect(escape, &QAction::triggered, window, [window] { window->close(); });
    window->addAction(escape);
}

QHBoxLayout* makeButtonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QWidget* button : buttons)
        row->addWidget(button);
    return row;
}

void fillCircuitChoice(QComboBox* box, const std::function<bool(int)>& offered)
{
    box->clear();
    for (int circuit = 1; circuit <= 8; ++circuit)
        if (offered(circuit))
            box->addItem(QString::number(circuit), circuit);
}

bool refillCircuitChoice(QComboBox* box, const std::function<bool(int)>& offered)
{
    const QSignalBlocker blocker(box);
    const QVariant chosen = box->currentData();
    fillCircuitChoice(box, offered);
    box->setCurrentIndex(box->findData(chosen));
    return box->currentIndex() >= 0;
}
