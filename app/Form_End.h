#pragma once
#include <QDialog>

class QLabel;
class QTimer;

// The small "終了中・・・" window shown while the editor ends.
class Form_End : public QDialog
{
    Q_OBJECT
public:
    explicit Form_End(QWidget* parent = nullptr);

    // How long the window stays (500 ms; tests shorten it).
    static void setDisplayMilliseconds(int ms);

private:
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;
};
