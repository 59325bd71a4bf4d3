#include "coachmarkoverlay.h"

#include "editor/model/editorcontroller.h"
#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"
#include "uikit/prominentbutton.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

struct Step
{
    const char *title;
    const char *message;
    const char *button;
};

constexpr Step steps[] = {
    {"Tu guión", "Escribí o pegá tu guión acá. Cada página es una sección independiente.",
     "Siguiente"},
    {"Ajustes", "Personalizá la apariencia, el idioma y los controles.", "Siguiente"},
    {"Iniciar teleprompter", "Presioná Play para iniciar. ¡Probalo ahora!", "Iniciar"},
};

// Room around the card's body for its shadow.
constexpr int shadowMargin = 20;
// The card's assumed half height; a taller card uses its own.
constexpr double assumedHalfHeight = 75;
constexpr double cardGap = 10;
constexpr double edgeInset = 16;
constexpr double holeOutset = 6;
constexpr double holeRadius = 8;
constexpr double cardRadius = 12;
constexpr double scrimOpacity = 0.45;
constexpr int revealDelayMs = 50;
constexpr double revealSeconds = 0.3;

// The card's body and shadow; its texts and button are child widgets.
class CoachCard : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF body
            = QRectF(rect()).adjusted(shadowMargin, shadowMargin, -shadowMargin, -shadowMargin);
        paintSoftShadow(&painter, body, cardRadius, QColor(0, 0, 0, 64), 16, 4);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(44, 44, 46, 245));
        painter.drawPath(roundedRectPath(body, cardRadius));
    }
};

// Fades the card in while it grows from 0.9 to its full size about its centre. Removed once
// the card has appeared, so the card then paints as any widget does.
class RevealEffect : public QGraphicsEffect
{
public:
    using QGraphicsEffect::QGraphicsEffect;

    void setProgress(double progress)
    {
        m_progress = progress;
        update();
    }

protected:
    void draw(QPainter *painter) override
    {
        QPoint offset;
        const QPixmap pixmap = sourcePixmap(Qt::LogicalCoordinates, &offset);
        const QPointF centre = sourceBoundingRect(Qt::LogicalCoordinates).center();
        const double scale = 0.9 + 0.1 * m_progress;
        painter->save();
        painter->setOpacity(painter->opacity() * m_progress);
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->translate(centre);
        painter->scale(scale, scale);
        painter->translate(-centre);
        painter->drawPixmap(offset, pixmap);
        painter->restore();
    }

private:
    double m_progress = 0;
};

QLabel *cardLabel(QWidget *card, const QFont &font, const QColor &color)
{
    auto *label = new QLabel(card);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

} // namespace

CoachMarkOverlay::CoachMarkOverlay(EditorController &controller, const QList<QWidget *> &targets,
                                   QWidget *page)
    : QWidget(page)
    , m_controller(controller)
    , m_card(new CoachCard(this))
    , m_appeared(new AnimatedValue(0, this))
    , m_reveal(new QTimer(this))
{
    for (QWidget *target : targets)
        m_targets.append(target);

    m_title = cardLabel(m_card, Fonts::systemFont(14, QFont::DemiBold), whiteAt(0.85));
    m_message = cardLabel(m_card, Fonts::systemFont(12, QFont::Normal), whiteAt(0.55));
    m_message->setWordWrap(true);
    m_button = new ProminentButton(m_card);
    m_button->setObjectName(QStringLiteral("coachMarkButton"));
    auto *column = new QVBoxLayout(m_card);
    const int inset = shadowMargin + int(padding);
    column->setContentsMargins(inset, inset, inset, inset);
    column->setSpacing(8);
    column->addWidget(m_title);
    column->addWidget(m_message);
    auto *row = new QHBoxLayout;
    row->setContentsMargins(0, 4, 0, 0);
    row->addStretch();
    row->addWidget(m_button);
    column->addLayout(row);

    m_reveal->setSingleShot(true);
    m_reveal->setInterval(revealDelayMs);
    connect(m_reveal, &QTimer::timeout, this,
            [this] { m_appeared->animateTo(1, AnimationTiming::easeOut(revealSeconds)); });
    connect(m_appeared, &AnimatedValue::valueChanged, this, &CoachMarkOverlay::setCardProgress);
    connect(m_button, &QPushButton::clicked, this, &CoachMarkOverlay::advance);
    connect(&controller, &EditorController::coachMarkStepChanged, this,
            &CoachMarkOverlay::showStep);
    LocalizedText::follow(this, "coachMarkTexts", [this] { applyTexts(); });

    hide();
    showStep();
}

QPainterPath CoachMarkOverlay::scrimPath(const QRectF &bounds, const QRectF &cutout)
{
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(bounds);
    path.addPath(roundedRectPath(cutout, holeRadius));
    return path;
}

QPointF CoachMarkOverlay::cardCenter(const QSizeF &container, const QRectF &anchor,
                                     const QSizeF &card)
{
    const double halfHeight = std::max(assumedHalfHeight, card.height() / 2);
    const double halfWidth = card.width() / 2;
    double y = anchor.center().y() > container.height() / 2
                   ? anchor.top() - cardGap - halfHeight
                   : anchor.bottom() + cardGap + halfHeight;
    y = std::min(y, container.height() - halfHeight - edgeInset);
    y = std::max(y, halfHeight + edgeInset);
    double x = std::min(anchor.center().x(), container.width() - halfWidth - edgeInset);
    x = std::max(x, halfWidth + edgeInset);
    return {x, y};
}

QWidget *CoachMarkOverlay::currentTarget() const
{
    const int step = m_controller.coachMarkStep();
    return step >= 1 && step <= m_targets.size() ? m_targets.at(step - 1).data() : nullptr;
}

void CoachMarkOverlay::showStep()
{
    // Every callout fades and grows in afresh.
    m_reveal->stop();
    m_appeared->setValue(0);
    setCardProgress(0);
    applyTexts();
    QWidget *page = parentWidget();
    for (QWidget *widget = currentTarget(); widget && widget != page->parentWidget();
         widget = widget->parentWidget()) {
        widget->installEventFilter(this);
    }
    updateAnchor();
    if (!m_anchor.isEmpty())
        m_reveal->start();
}

void CoachMarkOverlay::applyTexts()
{
    const int step = m_controller.coachMarkStep();
    if (step < 1 || step > int(std::size(steps)))
        return;
    const Step &texts = steps[step - 1];
    m_title->setText(localizedString(texts.title));
    m_message->setText(localizedString(texts.message));
    m_button->setText(localizedString(texts.button));
    placeCard();
}

void CoachMarkOverlay::updateAnchor()
{
    QWidget *page = parentWidget();
    setGeometry(page->rect());
    QRectF anchor;
    QWidget *target = currentTarget();
    if (target && page->isAncestorOf(target) && target->isVisibleTo(page)
        && !target->size().isEmpty()) {
        const QRect mapped(target->mapTo(page, QPoint(0, 0)), target->size());
        if (mapped.intersects(rect()))
            anchor = mapped;
    }
    m_anchor = anchor;
    if (anchor.isEmpty()) {
        if (!isHidden()) {
            returnFocus();
            hide();
        }
        return;
    }
    show();
    raise();
    placeCard();
    // The window's focus widget, which holds even while another window is active.
    QWidget *focused = window()->focusWidget();
    if (focused != m_button) {
        if (!m_focusBeforeTour && focused && !isAncestorOf(focused))
            m_focusBeforeTour = focused;
        m_button->setFocus(Qt::OtherFocusReason);
    }
    update();
}

void CoachMarkOverlay::placeCard()
{
    if (m_anchor.isEmpty())
        return;
    const int outerWidth = int(tooltipWidth) + 2 * shadowMargin;
    int outerHeight = m_card->heightForWidth(outerWidth);
    if (outerHeight < 0)
        outerHeight = m_card->sizeHint().height();
    const QSizeF body(tooltipWidth, outerHeight - 2 * shadowMargin);
    const QPointF centre = cardCenter(size(), m_anchor, body);
    m_card->setGeometry(qRound(centre.x() - outerWidth / 2.0),
                        qRound(centre.y() - outerHeight / 2.0), outerWidth, outerHeight);
}

void CoachMarkOverlay::advance()
{
    switch (m_controller.coachMarkStep()) {
    case 1:
        m_controller.setCoachMarkStep(2);
        break;
    case 2:
        m_controller.setCoachMarkStep(3);
        break;
    case 3:
        m_controller.finishCoachMarks();
        break;
    default:
        break;
    }
}

void CoachMarkOverlay::setCardProgress(double progress)
{
    auto *effect = dynamic_cast<RevealEffect *>(m_card->graphicsEffect());
    if (progress >= 1) {
        m_card->setGraphicsEffect(nullptr);
    } else {
        if (!effect) {
            effect = new RevealEffect(m_card);
            m_card->setGraphicsEffect(effect);
        }
        effect->setProgress(progress);
    }
    update();
}

void CoachMarkOverlay::returnFocus()
{
    const QPointer<QWidget> before = std::exchange(m_focusBeforeTour, nullptr);
    if (window()->focusWidget() == m_button && before && before->isEnabled()
        && before->isVisibleTo(before->window()))
        before->setFocus(Qt::OtherFocusReason);
}

bool CoachMarkOverlay::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        if (currentTarget())
            updateAnchor();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

// The card's button keeps the keyboard while a card shows: Tab goes nowhere under the scrim.
bool CoachMarkOverlay::focusNextPrevChild(bool next)
{
    if (!isHidden() && m_button->hasFocus())
        return true;
    return QWidget::focusNextPrevChild(next);
}

void CoachMarkOverlay::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void CoachMarkOverlay::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        advance();
}

void CoachMarkOverlay::paintEvent(QPaintEvent *)
{
    if (m_anchor.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double appeared = m_appeared->value();
    const QRectF hole = m_anchor.adjusted(-holeOutset, -holeOutset, holeOutset, holeOutset);
    QColor scrim(Qt::black);
    scrim.setAlphaF(float(scrimOpacity * appeared));
    painter.fillPath(scrimPath(rect(), hole), scrim);
    strokeInsideRoundedRect(&painter, hole, holeRadius, QPen(accentTeal(appeared), 2));
}
