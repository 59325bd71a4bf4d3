#include "visibilitytoastview.h"

#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include "platform/fonts.h"
#include "settings/localization.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double iconSide = 20;
constexpr double spacing = 8;
constexpr double horizontalPadding = 12;
constexpr double verticalPadding = 6;

QFont labelFont()
{
    QFont font = Fonts::systemFont(12, QFont::Bold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.2);
    return font;
}

QString labelText()
{
    return localizedString("Invisible");
}

} // namespace

VisibilityToastView::VisibilityToastView(QWidget *parent)
    : QWidget(parent)
{}

QSizeF VisibilityToastView::capsuleSize() const
{
    const QFontMetricsF metrics(labelFont());
    const double contentWidth = iconSide + spacing + metrics.horizontalAdvance(labelText());
    const double contentHeight = std::max(iconSide, metrics.height());
    return {contentWidth + 2 * horizontalPadding, contentHeight + 2 * verticalPadding};
}

QRectF VisibilityToastView::capsuleRect() const
{
    return QRectF(QPointF(shadowMargins.left(), shadowMargins.top()), capsuleSize());
}

QSize VisibilityToastView::sizeHint() const
{
    const QSizeF capsule = capsuleSize();
    return QSize(int(std::ceil(capsule.width())) + shadowMargins.left() + shadowMargins.right(),
                 int(std::ceil(capsule.height())) + shadowMargins.top() + shadowMargins.bottom());
}

void VisibilityToastView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const QRectF body = capsuleRect();

    // A soft shadow 4 pt below, radius 10.
    paintSoftShadow(&painter, body, std::min(body.width(), body.height()) / 2, accentTeal(0.25), 10,
                    4);

    painter.setBrush(QColor::fromRgbF(0.075f, 0.085f, 0.095f));
    painter.drawPath(capsulePath(body));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(accentTeal(0.35), 1));
    painter.drawPath(capsulePath(body.adjusted(0.5, 0.5, -0.5, -0.5)));

    QRectF icon(0, 0, iconSide, iconSide);
    icon.moveCenter(QPointF(body.left() + horizontalPadding + iconSide / 2, body.center().y()));
    painter.setPen(Qt::NoPen);
    painter.setBrush(accentTeal(0.2));
    painter.drawEllipse(icon);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(accentTeal(0.4), 0.5));
    painter.drawEllipse(icon.adjusted(0.25, 0.25, -0.25, -0.25));
    Icons::paint(&painter, u"eye.slash"_qs, icon, accentTeal(1), 9.5, QFont::DemiBold);

    const QRectF label(icon.right() + spacing, body.top(),
                       body.right() - horizontalPadding - icon.right() - spacing, body.height());
    painter.setFont(labelFont());
    painter.setPen(Qt::white);
    painter.drawText(label, Qt::AlignLeft | Qt::AlignVCenter, labelText());
}

VisibilityToastLayer::VisibilityToastLayer(double top, QWidget *parent)
    : QWidget(parent)
    , m_top(top)
    , m_presence(new AnimatedValue(0, this))
    , m_toast(new VisibilityToastView(this))
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    m_toast->hide();
    hide();
    connect(m_presence, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
    connect(m_presence, &AnimatedValue::finished, this, [this] {
        if (m_presence->value() <= 0)
            hide();
    });
    // The picture holds the looked-up word.
    LocalizedText::follow(this, "picture", [this] {
        m_picture = {};
        update();
    });
}

void VisibilityToastLayer::present(bool presented)
{
    if (presented == m_presented)
        return;
    m_presented = presented;
    if (presented) {
        m_picture = {};
        show();
        raise();
    }
    m_presence->animateTo(presented ? 1 : 0, AnimationTiming::springCurve(0.32, 0.8));
}

void VisibilityToastLayer::paintEvent(QPaintEvent *)
{
    constexpr double travel = 14;
    const qreal ratio = devicePixelRatioF();
    if (m_picture.isNull() || m_picture.devicePixelRatio() != ratio) {
        const QSize size = m_toast->sizeHint();
        m_toast->resize(size);
        m_picture = QImage((QSizeF(size) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
        m_picture.setDevicePixelRatio(ratio);
        m_picture.fill(Qt::transparent);
        m_toast->render(&m_picture, {}, {}, QWidget::DrawChildren);
    }
    const double presence = m_presence->value();
    const QRectF capsule = m_toast->capsuleRect();
    const QPointF origin(std::round(width() / 2.0 - capsule.center().x()),
                         m_top - capsule.top() - travel * (1 - presence));
    QPainter painter(this);
    painter.setOpacity(std::clamp(presence, 0.0, 1.0));
    painter.drawImage(origin, m_picture);
}
