#pragma once
#include <QWidget>
#include <functional>

// The week list's choice between its grid and another view of the circuit's
// week (the timeline). The other view is built above this folder, so the
// window's opener supplies the choice; it holds the list area and the other
// view in one area that the window lays out.
class WeekViewChoice : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    // The list area and the other view, for the window's layout.
    virtual QWidget* area() const = 0;
    // The list now shows this circuit (0 none): redraw the other view.
    virtual void showCircuit(int circuit) = 0;

signals:
    void timelineToggled(bool shown);
};

// Builds the choice around `listArea` inside `window`.
using WeekViewMaker = std::function<WeekViewChoice*(QWidget* listArea, QWidget* window)>;
