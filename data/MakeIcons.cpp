// Draws the application icon into a hicolor tree: make-icons <folder>
#include "windows/StatusIcon.h"

#include <QDir>
#include <QImage>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make-icons <folder>\n", stderr);
        return 2;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256, 512}) {
        const QString folder = QString("%1/%2x%2/apps").arg(argv[1]).arg(size);
        if (!QDir().mkpath(folder) || !StatusIcon::applicationImage(size).save(folder + "/app.varnolt.Varnolt.png")) {
            std::fprintf(stderr, "make-icons: can't write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
