#pragma once
#include <QSize>
#include <QString>

class QLabel;
class QPushButton;
class QWidget;

// Controls are found by their objectName (tests, the remaining-count
// labels), so every window makes them named.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& caption);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption, const QString& tip,
                        QSize minimum);
