// A stand-in for another program on the desktop, for the wheel's end-to-end tests: a small
// window at (20, 20), 200 × 120, that starts a real drag of the files named on its command
// line when the mouse is pressed and moved in it (or of plain text with --text). Like a file
// manager, it deletes its files when a drop answers "move", and it copies them to the
// clipboard on Ctrl+C. Prints "ready" once shown and the outcome of each drag ("copy",
// "move", "none").
#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {
class Source : public QWidget {
public:
    Source(QList<QUrl> urls, bool text) : urls_(std::move(urls)), text_(text)
    {
        setWindowTitle("drag source");
        setGeometry(20, 20, 200, 120);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { start_ = event->position().toPoint(); }

    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!(event->buttons() & Qt::LeftButton) || (event->position().toPoint() - start_).manhattanLength() < 8) return;
        auto* drag = new QDrag(this);
        drag->setMimeData(data());
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
        for (const QUrl& url : action == Qt::MoveAction ? urls_ : QList<QUrl>{}) QFile::remove(url.toLocalFile());
        say(action == Qt::MoveAction ? "move" : action == Qt::CopyAction ? "copy" : "none");
    }

    void keyPressEvent(QKeyEvent* event) override
    {
        if (event->matches(QKeySequence::Copy)) QApplication::clipboard()->setMimeData(data());
    }

    void showEvent(QShowEvent*) override { say("ready"); }

private:
    static void say(const char* line) { std::printf("%s\n", line), std::fflush(stdout); }
    QMimeData* data() const
    {
        auto* mime = new QMimeData;
        if (text_) mime->setText("just some text");
        else mime->setUrls(urls_);
        return mime;
    }

    QList<QUrl> urls_;
    bool text_;
    QPoint start_;
};
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    bool text = false;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (argument == "--text") text = true;
        else urls << QUrl::fromLocalFile(argument);
    }
    Source source(urls, text);
    source.show();
    return QApplication::exec();
}
