// Prints the text on the X clipboard, where a dialog's Ctrl+C puts its texts.
#include <QClipboard>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    std::fputs(QGuiApplication::clipboard()->text().toUtf8().constData(), stdout);
}
