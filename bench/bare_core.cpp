// The yardstick of `wzqxprog check`: a program linked to QtCore alone that
// reads the file it is given and prints its size.
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QFile file(QCoreApplication::arguments().value(1));
    if (!file.open(QIODevice::ReadOnly))
        return 3;
    QTextStream(stdout) << file.readAll().size() << " bytes\n";
    return 0;
}
