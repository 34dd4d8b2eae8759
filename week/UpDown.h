#pragma once
#include <QWidget>

class QLineEdit;
class QToolButton;

// A spinner beside a number box: steps the box's number by one within
// lo..hi (no wrap) and reports each step.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    UpDown(QLineEdit* buddy, int lo, int hi, QWidget* parent = nullptr);

    void stepBy(int steps);

signals:
    void stepped();

private:
    QLineEdit* m_buddy = nullptr;
    int m_lo, m_hi;
    int m_value;
};
