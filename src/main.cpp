#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Harpoly - ビューアーとユーティリティー - 1.00版"));
    window.resize(650, 500);
    window.show();
    return app.exec();
}
