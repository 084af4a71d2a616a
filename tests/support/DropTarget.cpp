// A stand-in for another program that takes dropped files: a window at
// (700, 100), 200 × 200, that accepts drops of files as a copy, prints each dropped path on a
// line of its own, then "dropped", and quits. Prints "ready" once shown.
#include <QApplication>
#include <QDragEnterEvent>
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
        setGeometry(700, 100, 200, 200);
        setAcceptDrops(true);
    }

protected:
    void showEvent(QShowEvent*) override { say("ready"); }
    void dragEnterEvent(QDragEnterEvent* event) override { copy(event); }
    void dragMoveEvent(QDragMoveEvent* event) override { copy(event); }
    void dropEvent(QDropEvent* event) override
    {
        copy(event);
        for (const QUrl& url : event->mimeData()->urls()) say(url.toLocalFile().toUtf8());
        say("dropped");
        QApplication::quit();
    }

private:
    static void copy(QDropEvent* event)
    {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    }
    static void say(const QByteArray& line) { std::printf("%s\n", line.constData()), std::fflush(stdout); }
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    Target target;
    target.show();
    return QApplication::exec();
}
