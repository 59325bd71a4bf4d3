#include "editorpane.h"

#include "document/brivelservice.h"
#include "editor/highlightingtexteditor.h"
#include "editor/importpresentationbutton.h"
#include "editor/model/editorcontroller.h"
#include "editor/slashcommandpalette.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QDropEvent>
#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr int circleSize = 44;
constexpr int buttonMargin = 20;
constexpr int toastBottomPadding = 24;

// A 44-point circular button; while disabled it is drawn at 40 %.
class CircleButton : public QAbstractButton
{
public:
    CircleButton(bool light, QWidget *parent)
        : QAbstractButton(parent)
        , m_light(light)
    {
        setFixedSize(circleSize, circleSize);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(isEnabled() ? 1.0 : 0.4);
        const QRectF r = QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25);
        if (m_light) {
            p.setPen(QPen(QColor(0, 0, 0, int(0.08 * 255)), 0.5));
            p.setBrush(Qt::white);
            p.drawEllipse(r);
            Icons::paint(&p, QStringLiteral("play.fill"), rect(), Qt::black, 16, QFont::DemiBold);
        } else {
            p.setPen(QPen(QColor(255, 255, 255, int(0.15 * 255)), 0.5));
            p.setBrush(QColor(255, 255, 255, int(0.12 * 255)));
            p.drawEllipse(r);
            p.setPen(QColor(255, 255, 255, int(0.90 * 255)));
            p.setFont(Fonts::systemFont(20, QFont::Bold));
            p.drawText(rect(), Qt::AlignCenter, QStringLiteral("/"));
        }
    }

private:
    bool m_light;
};

// The "Copiado" capsule: the text padded 16 by 10 on the thick material, with a soft shadow
// below. The label is larger than the capsule by the shadow's reach. It paints itself, text
// included, at its presence: the opacity of its way in and out.
class ToastLabel : public QLabel
{
public:
    static constexpr QMargins shadowReach{8, 6, 8, 10}; // a blur of 8, 2 points down
    static constexpr QMargins padding{16, 10, 16, 10};

    ToastLabel(const QString &text, QWidget *parent)
        : QLabel(text, parent)
    {
        setAlignment(Qt::AlignCenter);
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return QSize(metrics.horizontalAdvance(text()), metrics.height())
            .grownBy(shadowReach + padding);
    }

    QRectF capsuleRect() const { return QRectF(rect()).marginsRemoved(QMarginsF(shadowReach)); }

    void setPresence(double presence)
    {
        m_presence = presence;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setOpacity(std::clamp(m_presence, 0.0, 1.0));
        const QRectF capsule = capsuleRect();
        paintSoftShadow(&p, capsule, capsule.height() / 2, QColor(0, 0, 0, int(0.15 * 255)), 8, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(44, 44, 46, int(0.96 * 255)));
        p.drawPath(capsulePath(capsule));
        p.setFont(font());
        p.setPen(whiteAt(0.85));
        p.drawText(capsule, Qt::AlignCenter, text());
    }

private:
    double m_presence = 1;
};

// Over the text: the pane's own background fading in over the top 3 % and the bottom 7 %, so
// the text melts into the window at both edges. During a page change it also shows the old
// page fading out above the new one.
class EdgeFade : public QWidget
{
public:
    explicit EdgeFade(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        connect(&m_outgoingOpacity, &AnimatedValue::valueChanged, this,
                qOverload<>(&QWidget::update));
        connect(&m_outgoingOpacity, &AnimatedValue::finished, this, [this] {
            m_outgoing = QPixmap();
            update();
        });
    }

    void fadeOut(const QPixmap &outgoing, QPoint at, double seconds)
    {
        m_outgoing = outgoing;
        m_outgoingAt = at;
        m_outgoingOpacity.setValue(1);
        m_outgoingOpacity.animateTo(0, AnimationTiming::easeInOut(seconds));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (!m_outgoing.isNull()) {
            // The old page covers the new one as much as it is still visible.
            p.setOpacity(m_outgoingOpacity.value());
            p.fillRect(QRect(m_outgoingAt, m_outgoing.deviceIndependentSize().toSize()),
                       palette().color(QPalette::Window));
            p.drawPixmap(m_outgoingAt, m_outgoing);
            p.setOpacity(1);
        }
        QColor opaque = palette().color(QPalette::Window);
        QColor clear = opaque;
        clear.setAlpha(0);
        QLinearGradient mask(0, 0, 0, height());
        mask.setColorAt(0, opaque);
        mask.setColorAt(0.03, clear);
        mask.setColorAt(0.93, clear);
        mask.setColorAt(1, opaque);
        p.fillRect(rect(), mask);
    }

private:
    QPixmap m_outgoing;
    QPoint m_outgoingAt;
    AnimatedValue m_outgoingOpacity{0};
};

// While a file hovers over the pane: a dashed accent frame on an accent tint, inset 8 points,
// around the drop-zone content (the document symbol and two lines saying what to drop).
class DropHighlight : public QWidget
{
public:
    explicit DropHighlight(QWidget *parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        LocalizedText::follow(this, "texts", [this] {
            m_title = localizedString("Arrastrá un archivo .pptx");
            m_hint = localizedString("Desde otros programas de presentaciones,\n"
                                     "exportá como PPTX primero.");
            update();
        });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(8, 8, -8, -8);
        p.setPen(Qt::NoPen);
        p.setBrush(accentTeal(0.08));
        p.drawPath(roundedRectPath(frame, 12));
        QPen dashes(accentTeal(), 2);
        // Dash lengths are in pen widths: 8-point dashes with 8-point gaps.
        dashes.setDashPattern({4, 4});
        strokeInsideRoundedRect(&p, frame, 12, dashes);

        const QFont titleFont = Fonts::systemFont(13, QFont::Medium);
        const QFont hintFont = Fonts::systemFont(11, QFont::Normal);
        const QFontMetrics titleMetrics(titleFont);
        const QFontMetrics hintMetrics(hintFont);
        const QRect hintBox
            = hintMetrics.boundingRect(QRect(0, 0, width(), height()), Qt::AlignHCenter, m_hint);
        constexpr int symbolSize = 34;
        constexpr int spacing = 8;
        const int total = symbolSize + spacing + titleMetrics.height() + spacing + hintBox.height();
        int y = (height() - total) / 2;
        Icons::paint(&p, QStringLiteral("doc.text"), QRectF(0, y, width(), symbolSize),
                     accentTeal(), 28, QFont::Light);
        y += symbolSize + spacing;
        p.setFont(titleFont);
        p.setPen(whiteAt(0.9));
        p.drawText(QRect(0, y, width(), titleMetrics.height()), Qt::AlignHCenter, m_title);
        y += titleMetrics.height() + spacing;
        p.setFont(hintFont);
        p.setPen(whiteAt(0.55));
        p.drawText(QRect(0, y, width(), hintBox.height()), Qt::AlignHCenter, m_hint);
    }

private:
    QString m_title;
    QString m_hint;
};

bool hasLocalFile(const QMimeData *data)
{
    const QList<QUrl> urls = data ? data->urls() : QList<QUrl>();
    return std::any_of(urls.cbegin(), urls.cend(),
                       [](const QUrl &url) { return url.isLocalFile(); });
}

} // namespace

EditorPane::EditorPane(EditorController &controller, BrivelService &service, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_service(service)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 20);
    m_editor = new HighlightingTextEditor(this);
    m_editor->setFont(Fonts::systemFont(16, QFont::Normal));
    m_editor->setFrameShape(QFrame::NoFrame);
    QPalette textColours = m_editor->palette();
    textColours.setColor(QPalette::Base, Qt::transparent);
    textColours.setColor(QPalette::Text, QColor(255, 255, 255, 217));
    m_editor->setPalette(textColours);
    layout->addWidget(m_editor);
    m_edgeFade = new EdgeFade(this);

    m_slashButton = new CircleButton(false, this);
    LocalizedText::bind(m_slashButton, "toolTip", "Comandos");
    m_playButton = new CircleButton(true, this);
    // Until the pages sidebar hosts it, the import button sits beside the round buttons.
    m_importButton = new ImportPresentationButton(controller, this);
    m_dropHighlight = new DropHighlight(this);
    m_dropHighlight->setVisible(controller.isDroppingPresentation());
    setAcceptDrops(true);
    m_editor->viewport()->installEventFilter(this);

    m_toastPresence = new AnimatedValue(controller.showCopiedToast() ? 1 : 0, this);
    m_copiedToast = new ToastLabel(QString(), this);
    m_copiedToast->setFont(Fonts::systemFont(13, QFont::Medium));
    LocalizedText::follow(m_copiedToast, "text", [this] {
        m_copiedToast->setText(localizedString("Copiado"));
        placeCopiedToast();
    });
    m_copiedToast->setVisible(controller.showCopiedToast());

    connect(m_editor, &HighlightingTextEditor::textEdited, this, &EditorPane::applyEdit);
    connect(m_editor, &HighlightingTextEditor::editorCaretPositionChanged, &controller,
            &EditorController::setEditorCaretPosition);
    connect(&controller, &EditorController::triggerSlashMenuChanged, this, [this] {
        if (!m_controller.triggerSlashMenu())
            return;
        m_editor->presentSlashMenu();
        m_controller.setTriggerSlashMenu(false);
    });
    connect(m_slashButton, &QAbstractButton::clicked, &controller,
            &EditorController::openSlashCommands);
    connect(m_playButton, &QAbstractButton::clicked, &controller,
            &EditorController::startTeleprompter);
    connect(&controller, &EditorController::isRunningChanged, this, &EditorPane::refreshButtons);
    connect(&controller, &EditorController::showCopiedToastChanged, this,
            &EditorPane::presentCopiedToast);
    connect(m_toastPresence, &AnimatedValue::valueChanged, this, &EditorPane::placeCopiedToast);
    connect(m_toastPresence, &AnimatedValue::finished, this, [this] {
        if (!m_controller.showCopiedToast())
            m_copiedToast->hide();
    });
    connect(&service, &BrivelService::currentPageIndexChanged, this, [this] {
        // Another page is another text: on an animated change the old one fades out as the new
        // one takes its place. A command chosen later never lands on it.
        m_editor->slashPalette()->close();
        if (const double seconds = m_controller.pageChangeFadeSeconds(); seconds > 0 && isVisible())
            static_cast<EdgeFade *>(m_edgeFade)
                ->fadeOut(m_editor->grab(), m_editor->pos(), seconds);
        reloadPage();
    });
    connect(&service, &BrivelService::pagesChanged, this, [this] {
        // Our own stores already match the editor; anything else (a load, an import, a
        // deletion) is shown.
        if (!m_storing) {
            m_editor->slashPalette()->close();
            reloadPage();
        }
        refreshButtons();
    });
    connect(&controller, &EditorController::isTextFocusedChanged, this,
            &EditorPane::applyTextFocus);
    connect(&controller, &EditorController::isDroppingPresentationChanged, this, [this] {
        m_dropHighlight->setVisible(m_controller.isDroppingPresentation());
        m_dropHighlight->raise();
    });
    m_editor->installEventFilter(this);
    reloadPage();
    refreshButtons();
    applyTextFocus();
}

void EditorPane::applyTextFocus()
{
    if (m_controller.isTextFocused())
        m_editor->setFocus(Qt::OtherFocusReason);
    else if (m_editor->hasFocus())
        m_editor->clearFocus();
}

bool EditorPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor->viewport() && handleFileDrag(event))
        return true;
    if (watched == m_editor && event->type() == QEvent::FocusIn)
        m_controller.setIsTextFocused(true);
    else if (watched == m_editor && event->type() == QEvent::FocusOut)
        m_controller.setIsTextFocused(false);
    return QWidget::eventFilter(watched, event);
}

bool EditorPane::handleFileDrag(QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (!hasLocalFile(drag->mimeData()))
            return false;
        drag->setDropAction(Qt::CopyAction);
        drag->accept();
        m_controller.setIsDroppingPresentation(true);
        return true;
    }
    case QEvent::DragLeave:
        if (!m_controller.isDroppingPresentation())
            return false;
        m_controller.setIsDroppingPresentation(false);
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        if (!hasLocalFile(drop->mimeData()))
            return false;
        m_controller.setIsDroppingPresentation(false);
        if (m_controller.handlePresentationDrop(drop->mimeData()->urls())) {
            drop->setDropAction(Qt::CopyAction);
            drop->accept();
        }
        return true;
    }
    default:
        return false;
    }
}

void EditorPane::dragEnterEvent(QDragEnterEvent *event)
{
    if (!handleFileDrag(event))
        QWidget::dragEnterEvent(event);
}

void EditorPane::dragMoveEvent(QDragMoveEvent *event)
{
    if (!handleFileDrag(event))
        QWidget::dragMoveEvent(event);
}

void EditorPane::dragLeaveEvent(QDragLeaveEvent *event)
{
    if (!handleFileDrag(event))
        QWidget::dragLeaveEvent(event);
}

void EditorPane::dropEvent(QDropEvent *event)
{
    if (!handleFileDrag(event))
        QWidget::dropEvent(event);
}

void EditorPane::applyEdit(int position, int removedLength, const QString &insertedText)
{
    m_text.replace(position, removedLength, insertedText);
    m_storing = true;
    m_controller.setCurrentPageText(m_text);
    m_storing = false;
}

void EditorPane::reloadPage()
{
    const QString text = m_controller.currentPageText();
    if (text == m_text)
        return;
    m_text = text;
    // The editor may report its own normalisation of line breaks through textEdited().
    m_editor->setText(m_text);
}

void EditorPane::refreshButtons()
{
    const bool running = m_controller.isRunning();
    if (running)
        m_editor->slashPalette()->close();
    m_slashButton->setEnabled(!running);
    m_playButton->setEnabled(!running && m_controller.canStartTeleprompter());
}

void EditorPane::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeOverlays();
}

void EditorPane::placeOverlays()
{
    m_edgeFade->setGeometry(rect());
    m_edgeFade->raise();
    const int y = height() - buttonMargin - circleSize;
    m_playButton->move(width() - buttonMargin - circleSize, y);
    m_slashButton->move(m_playButton->x() - 10 - circleSize, y);
    m_importButton->resize(m_importButton->sizeHint());
    m_importButton->move(m_slashButton->x() - 10 - m_importButton->width(),
                         y + (circleSize - m_importButton->height()) / 2);
    m_slashButton->raise();
    m_playButton->raise();
    m_importButton->raise();
    m_dropHighlight->setGeometry(rect());
    m_dropHighlight->raise();
    placeCopiedToast();
}

void EditorPane::presentCopiedToast()
{
    const bool shown = m_controller.showCopiedToast();
    if (shown)
        m_copiedToast->show();
    if (!window()->isVisible()) {
        m_toastPresence->setValue(shown ? 1 : 0);
        m_copiedToast->setVisible(shown);
        return;
    }
    m_toastPresence->animateTo(shown ? 1 : 0, AnimationTiming::easeInOut(0.3));
}

void EditorPane::placeCopiedToast()
{
    // Its capsule rests 24 points above the bottom edge and comes in from below that edge.
    auto *toast = static_cast<ToastLabel *>(m_copiedToast);
    toast->resize(toast->sizeHint());
    const double presence = m_toastPresence->value();
    const QRectF capsule = toast->capsuleRect();
    const double restingTop = height() - toastBottomPadding - capsule.height();
    const double travel = toastBottomPadding + capsule.height();
    toast->move((width() - toast->width()) / 2,
                int(std::lround(restingTop + travel * (1 - presence) - capsule.top())));
    toast->setPresence(presence);
    toast->raise();
}
