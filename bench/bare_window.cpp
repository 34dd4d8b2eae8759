// The yardstick of the editor's start: a bare Qt main window that, once
// shown and the event loop running, appends a line to the file it is given
// (as the editor's scripted run logs its first message box) and runs on.
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.resize(640, 480);
    window.show();
    QTimer::singleShot(0, &window, [] {
        QFile log(QCoreApplication::arguments().value(1));
        if (log.open(QIODevice::Append | QIODevice::Text))
            log.write("shown\n");
    });
    return app.exec();
}
