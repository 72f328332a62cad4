// orvenix: the desktop program.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label("Orvenix Desk");
    label.show();
    return QApplication::exec();
}
