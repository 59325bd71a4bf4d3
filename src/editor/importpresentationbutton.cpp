#include "importpresentationbutton.h"

#include "editor/model/editorcontroller.h"
#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QPainter>
#include <QTimer>

namespace {

constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 6;
constexpr int spacing = 6;
constexpr int symbolSize = 14;
constexpr int spinnerSpokes = 8;

} // namespace

ImportPresentationButton::ImportPresentationButton(EditorController &controller, QWidget *parent)
    : QAbstractButton(parent)
    , m_controller(controller)
    , m_spinnerTimer(new QTimer(this))
{
    setFont(Fonts::systemFont(12, QFont::DemiBold));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    LocalizedText::follow(this, "text", [this] {
        setText(localizedString("Importar presentación"));
        updateGeometry();
    });
    m_spinnerTimer->setInterval(1000 / spinnerSpokes);
    connect(m_spinnerTimer, &QTimer::timeout, this, [this] {
        m_spinnerStep = (m_spinnerStep + 1) % spinnerSpokes;
        update();
    });
    connect(this, &QAbstractButton::clicked, &controller, &EditorController::importPresentation);
    connect(&controller, &EditorController::isImportingChanged, this,
            &ImportPresentationButton::followImporting);
    followImporting();
}

void ImportPresentationButton::followImporting()
{
    if (m_controller.isImporting())
        m_spinnerTimer->start();
    else
        m_spinnerTimer->stop();
    update();
}

QSize ImportPresentationButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(horizontalPadding * 2 + symbolSize + spacing + metrics.horizontalAdvance(text()),
                 verticalPadding * 2 + std::max(metrics.height(), symbolSize));
}

void ImportPresentationButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plate = rect();
    p.setPen(Qt::NoPen);
    p.setBrush(accentTeal(0.14));
    p.drawPath(roundedRectPath(plate, 6));
    strokeInsideRoundedRect(&p, plate, 6, QPen(accentTeal(0.35), 0.5));

    const QRectF symbol(horizontalPadding, (height() - symbolSize) / 2.0, symbolSize, symbolSize);
    if (m_controller.isImporting()) {
        // Spokes fading behind the leading one, which steps round.
        const QPointF centre = symbol.center();
        for (int spoke = 0; spoke < spinnerSpokes; ++spoke) {
            const int age = (m_spinnerStep - spoke + spinnerSpokes) % spinnerSpokes;
            p.save();
            p.translate(centre);
            p.rotate(spoke * 360.0 / spinnerSpokes);
            p.setPen(QPen(QColor(255, 255, 255, 255 - age * 26), 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(0, -symbolSize * 0.22), QPointF(0, -symbolSize * 0.46));
            p.restore();
        }
    } else {
        Icons::paint(&p, QStringLiteral("square.and.arrow.down"), symbol, accentTeal(), 12,
                     QFont::DemiBold);
    }
    p.setFont(font());
    p.setPen(Qt::white);
    const QRectF label(symbol.right() + spacing, 0,
                       width() - symbol.right() - spacing - horizontalPadding, height());
    p.drawText(label, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(font()).elidedText(text(), Qt::ElideRight, int(label.width())));
}
