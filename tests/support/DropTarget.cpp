// A stand-in for another program that takes dropped files: a window at (700, 100), 240 × 160,
// that accepts drops of files as copies and prints each dropped file's path on a line of its
// own. Prints "ready" once shown.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {
class Target : public QWidget {
public:
    Target()
    {
        setWindowTitle("drop target");
        setGeometry(700, 100, 240, 160);
        setAcceptDrops(true);
    }

protected:
    void dragEnterEvent(QDragEnterEvent* event) override
    {
        if (event->mimeData()->hasUrls()) event->acceptProposedAction();
    }

    void dropEvent(QDropEvent* event) override
    {
        for (const QUrl& url : event->mimeData()->urls()) std::printf("%s\n", qPrintable(url.toLocalFile()));
        std::fflush(stdout);
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }

    void showEvent(QShowEvent*) override
    {
        std::printf("ready\n");
        std::fflush(stdout);
    }
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Target target;
    target.show();
    return QApplication::exec();
}
