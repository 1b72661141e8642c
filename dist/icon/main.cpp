// Renders the program's icon, the about window's logo on a square, as PNG files for the
// desktop's icon theme: trackoro-icon <folder> <size>... writes
// <folder>/<size>x<size>/trackoro.png.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "shell/logo.h"

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 3) {
        fprintf(stderr, "usage: trackoro-icon <folder> <size>...\n");
        return 2;
    }
    for (const QString& sizeText : arguments.mid(2)) {
        bool ok = false;
        const int size = sizeText.toInt(&ok);
        if (!ok || size < 16 || size > 1024) {
            fprintf(stderr, "not an icon size: %s\n", qPrintable(sizeText));
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2").arg(arguments.at(1)).arg(size);
        const QString path = folder + QStringLiteral("/trackoro.png");
        if (!QDir().mkpath(folder) || !shell::drawIcon(size).save(path, "PNG")) {
            fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
