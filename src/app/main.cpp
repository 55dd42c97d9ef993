#include <QApplication>
#include <QLabel>

// Placeholder until the main window lands.
int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Radiosala"));
    window.setWindowTitle(QStringLiteral("Radiosala"));
    window.resize(400, 200);
    window.show();
    return app.exec();
}
