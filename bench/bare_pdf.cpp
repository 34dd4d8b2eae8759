// The yardstick of the year calendar's PDF: a program linked to Qt GUI
// alone that writes one A4 landscape page with a line of Japanese text.
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QPdfWriter writer(QGuiApplication::arguments().value(1));
    writer.setResolution(600);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(8, 8, 8, 8), QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer))
        return 3;
    painter.drawText(QPointF(200, 400), QStringLiteral("2028年度（令和10年度） 年間カレンダー"));
    painter.end();
    return 0;
}
