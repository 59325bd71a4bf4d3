// A window that starts a drag of the files named on its command line when pressed, as a file
// manager does: the X11 import test drives it with xdotool to drop onto Brivel.
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <cstdio>

namespace {

class DragSource : public QWidget
{
public:
    explicit DragSource(const QList<QUrl> &urls)
        : m_urls(urls)
    {
        setWindowTitle(QStringLiteral("brivel-drag-source"));
        resize(160, 100);
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        // On the heap: exec() returns before the target has fetched the data, and the drag
        // object must outlive that.
        auto *drag = new QDrag(this);
        auto *data = new QMimeData;
        data->setUrls(m_urls);
        drag->setMimeData(data);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> m_urls;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i)
        urls.append(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
    DragSource source(urls);
    source.move(20, 600);
    source.show();
    return app.exec();
}
