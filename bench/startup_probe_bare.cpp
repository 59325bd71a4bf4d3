// The yardstick: the least a Qt Widgets program does to show an empty main window. With
// "--menu" its window also has a menu bar of one title: the first text on screen, which costs
// the font system's start-up that an empty window never pays.

#include "startupprobe.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    StartupProbe::install();
    QMainWindow window;
    window.resize(900, 600);
    if (QCoreApplication::arguments().contains(QStringLiteral("--menu")))
        window.menuBar()->addMenu(QStringLiteral("File"));
    window.show();
    return QApplication::exec();
}
