#include "app/Form_End.h"

#include "ui/WindowUtil.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace {
int g_displayMs = 500;
}

Form_End::Form_End(QWidget* parent)
    : QDialog(parent)
    , Label1(new QLabel(QStringLiteral("終了中・・・"), this))
    , Timer1(new QTimer(this))
{
    setObjectName(QStringLiteral("Form_End"));
    setWindowTitle(QStringLiteral("WZ/QXプログラム作成ソフトウェア"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(true);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont font = Label1->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    Label1->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(48, 24, 48, 24);
    layout->addWidget(Label1);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    Timer1->setInterval(g_displayMs);
    connect(Timer1, &QTimer::timeout, this, &QDialog::accept);
    Timer1->start();
    setMinimumWidth(titleBarWidth(windowTitle()));
    placeWindow(this);
}

void Form_End::setDisplayMilliseconds(int ms)
{
    g_displayMs = ms;
}
