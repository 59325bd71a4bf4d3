#include "selectionreader.h"

#include "linux/selectionreader_x11.h"
#include "linux/x11connection.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QObject>

namespace {

class ClipboardSelectionReader final : public QObject, public SelectionReader
{
public:
    void read(qsizetype maximumCodeUnits, std::function<void(const QString &)> done) override
    {
        QMetaObject::invokeMethod(
            this,
            [maximumCodeUnits, done = std::move(done)] {
                const QClipboard *clipboard = QGuiApplication::clipboard();
                QString text;
                for (const QClipboard::Mode mode : {QClipboard::Selection, QClipboard::Clipboard}) {
                    text = clipboard->text(mode);
                    if (!text.isEmpty())
                        break;
                }
                done(text.left(maximumCodeUnits + 1));
            },
            Qt::QueuedConnection);
    }
};

} // namespace

SelectionReader::~SelectionReader() = default;

std::unique_ptr<SelectionReader> SelectionReader::create()
{
    if (xcb_connection_t *connection = X11Connection::connection())
        return std::make_unique<X11SelectionReader>(connection);
    return std::make_unique<ClipboardSelectionReader>();
}
