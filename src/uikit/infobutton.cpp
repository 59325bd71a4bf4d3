#include "infobutton.h"

#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/icons.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int side = 16;
constexpr int padding = 8;

// The popup window. A press outside it closes it and is not delivered again to what lies
// beneath, so a second click on its own button closes rather than reopens it; a press on
// another info button is handed to that button.
class InfoPopup : public QWidget
{
    Q_OBJECT

public:
    InfoPopup(const QString &text, InfoButton *owner)
        : QWidget(owner, Qt::Popup | Qt::FramelessWindowHint)
        , m_owner(owner)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setAttribute(Qt::WA_NoMouseReplay);
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(padding, padding, padding, padding);
        auto *label = new QLabel(text, this);
        label->setObjectName(QStringLiteral("infoText"));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFont(Fonts::systemFont(11, QFont::Normal));
        label->setMaximumWidth(InfoButton::maximumTextWidth);
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, whiteAt(0.85));
        label->setPalette(colours);
        // Short texts stay on one line; longer ones wrap at the maximum width.
        const int natural = label->fontMetrics().horizontalAdvance(text) + 2;
        label->setFixedWidth(std::min(natural, InfoButton::maximumTextWidth));
        layout->addWidget(label);
        adjustSize();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(44, 44, 46));
        p.setPen(whiteAt(0.12));
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (!rect().contains(event->position().toPoint())) {
            auto *other = qobject_cast<InfoButton *>(
                QApplication::widgetAt(event->globalPosition().toPoint()));
            if (other && other != m_owner)
                QTimer::singleShot(0, other, &InfoButton::openPopup);
        }
        QWidget::mousePressEvent(event);
    }

private:
    QPointer<InfoButton> m_owner;
};

} // namespace

InfoButton::InfoButton(std::function<QString()> text, QWidget *parent)
    : QAbstractButton(parent)
    , m_text(std::move(text))
{
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (isPopupOpen())
            closePopup();
        else
            openPopup();
    });
}

InfoButton::~InfoButton()
{
    delete m_popup;
}

bool InfoButton::isPopupOpen() const
{
    return m_popup && m_popup->isVisible();
}

QWidget *InfoButton::popup() const
{
    return isPopupOpen() ? m_popup.data() : nullptr;
}

void InfoButton::openPopup()
{
    if (isPopupOpen())
        return;
    // One explanation at a time.
    if (QWidget *open = QApplication::activePopupWidget(); open && open->inherits("InfoPopup"))
        open->close();
    auto *popup = new InfoPopup(m_text ? m_text() : QString(), this);
    // Under the button, centred on it, kept on the button's screen.
    QPoint at = mapToGlobal(QPoint(width() / 2 - popup->width() / 2, height() + 4));
    if (const QScreen *screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        at.setX(
            std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - popup->width())));
        at.setY(
            std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() - popup->height())));
    }
    popup->move(at);
    m_popup = popup;
    popup->show();
}

void InfoButton::closePopup()
{
    if (m_popup)
        m_popup->close();
}

void InfoButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    Icons::paint(&p, QStringLiteral("info.circle"), rect(), whiteAt(0.55), 13, QFont::Medium);
}

#include "infobutton.moc"
