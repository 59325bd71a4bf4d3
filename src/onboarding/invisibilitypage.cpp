#include "invisibilitypage.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "onboarding/tutorialnotchcontroller.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {

// "Pantallas compartidas", "Grabaciones", "Capturas": where the panel would not show.
class HiddenSurfaceTile : public QWidget
{
public:
    HiddenSurfaceTile(const char *symbol, const char *label, QWidget *parent)
        : QWidget(parent)
        , m_symbol(QString::fromLatin1(symbol))
        , m_label(label)
    {
        setFixedHeight(19 + 21 + 9 + 15 + 19);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintTile(painter, QRectF(rect()), 10, whiteAt(0.035), whiteAt(0.05), 0.5);
        Icons::paint(&painter, m_symbol, QRectF(width() / 2.0 - 12, 19, 24, 21), whiteAt(0.5), 21);
        QFont font = Fonts::systemFont(12, QFont::Medium);
        const QString text = localizedString(m_label);
        const double room = width() - 16;
        const double natural = QFontMetricsF(font).horizontalAdvance(text);
        if (natural > room)
            font = Fonts::systemFont(std::max(12 * 0.8, 12 * room / natural), QFont::Medium);
        painter.setFont(font);
        painter.setPen(whiteAt(0.6));
        painter.drawText(QRectF(8, 19 + 21 + 9, room, 15), Qt::AlignCenter, text);
    }

private:
    QString m_symbol;
    const char *m_label;
};

QLabel *wrappedLabel(const char *key, const QFont &font, const QColor &color, QWidget *parent)
{
    QLabel *label = textLabel(key, font, color, parent);
    label->setWordWrap(true);
    label->setFixedWidth(380);
    // A wrapped label centred in a column is not asked for its height for its width.
    LocalizedText::follow(label, "height",
                          [label] { label->setFixedHeight(label->heightForWidth(380)); });
    return label;
}

// Where the window system cannot keep windows out of captures, the step says so.
const char *introTitle(bool supported)
{
    return supported ? "Hacelo invisible" : "Probá el ojo del notch";
}

const char *introSubtitle(bool supported)
{
    return supported ? "Solo vos podés ver tu guion. Los demás ven una pantalla limpia."
                     : "En este sistema, quien vea tu pantalla compartida, una grabación o una "
                       "captura también ve esta ventana.";
}

const char *successTitle(bool supported)
{
    return supported ? "La pantalla es invisible" : "Así funciona el ojo";
}

const char *successBody(bool supported)
{
    return supported ? "Tu guion ahora está oculto de pantallas compartidas, grabaciones y "
                       "capturas. Solo vos podés verlo."
                     : "Donde el sistema lo permite, el ojo oculta tu guion de pantallas "
                       "compartidas, grabaciones y capturas. En este sistema la ventana sigue "
                       "a la vista.";
}

const char *demoNote(bool supported)
{
    return supported ? "Esto es lo que vos ves durante una presentación o videollamada. Los "
                       "demás no van a ver esta ventana cuando esté invisible."
                     : "Esto es lo que vos ves durante una presentación o videollamada. En este "
                       "sistema, quien vea tu pantalla compartida, una grabación o una captura "
                       "también ve esta ventana.";
}

struct CallApp
{
    const char *name;
    QColor tint;
};

const QList<CallApp> &callApps()
{
    static const QList<CallApp> apps{
        {"Videollamada", QColor::fromRgbF(0.18f, 0.55f, 1.0f)},
        {"Reunión", QColor::fromRgbF(0.0f, 0.66f, 0.42f)},
        {"Seminario", QColor::fromRgbF(0.42f, 0.4f, 0.78f)},
        {"Chat", QColor::fromRgbF(0.2f, 0.78f, 0.35f)},
        {"Llamada", QColor::fromRgbF(0.38f, 0.12f, 0.41f)},
        {"Transmisión", QColor::fromRgbF(0.35f, 0.4f, 0.95f)},
    };
    return apps;
}

// The capsule under the intro: a pulsing dot and "Tocá el ojo de arriba para continuar".
QWidget *eyeHint(QWidget *parent)
{
    auto *chip = new QWidget(parent);
    auto *row = new QHBoxLayout(chip);
    row->setContentsMargins(16, 9, 16, 9);
    row->setSpacing(9);
    row->addWidget(new PulsingDot(accentTeal(), chip));
    QLabel *text = plainLabel(Fonts::systemFont(12.5, QFont::DemiBold), Qt::white, chip);
    row->addWidget(text);
    LocalizedText::follow(text, "hint", [text] {
        text->setText(localizedString("Tocá el ").toHtmlEscaped()
                      + QStringLiteral("<span style=\"color:%1\">").arg(accentTeal().name())
                      + localizedString("ojo").toHtmlEscaped() + QStringLiteral("</span>")
                      + localizedString(" de arriba para continuar").toHtmlEscaped());
    });
    struct Painter : QObject
    {
        using QObject::QObject;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                auto *w = static_cast<QWidget *>(watched);
                QPainter painter(w);
                painter.setRenderHint(QPainter::Antialiasing);
                const QRectF r = QRectF(w->rect()).adjusted(10, 2, -10, -10);
                paintSoftShadow(&painter, r, r.height() / 2, accentTeal(0.18), 9, 4);
                painter.fillPath(capsulePath(r), accentTeal(0.14));
                painter.strokePath(capsulePath(r.adjusted(0.5, 0.5, -0.5, -0.5)),
                                   QPen(accentTeal(0.45), 1));
            }
            return false;
        }
    };
    row->setContentsMargins(16 + 10, 9 + 2, 16 + 10, 9 + 10);
    chip->installEventFilter(new Painter(chip));
    return chip;
}

// The eye-slash disc of the success content.
class SuccessBadge : public QWidget
{
public:
    explicit SuccessBadge(QWidget *parent)
        : QWidget(parent)
    {
        setFixedSize(52, 52);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(accentTeal(0.16));
        painter.drawEllipse(rect());
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(accentTeal(0.35), 1));
        painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
        Icons::paint(&painter, QStringLiteral("eye.slash"),
                     QRectF(rect()).adjusted(15, 15, -15, -15), accentTeal(), 22);
    }
};

CapsuleButton::Style continueStyle(bool tried)
{
    return {Fonts::systemFont(13, QFont::DemiBold),
            tried ? QColor::fromRgbF(3 / 255.f, 34 / 255.f, 30 / 255.f) : whiteAt(0.55),
            tried ? accentTeal() : whiteAt(0.1), 20, 8};
}

} // namespace

InvisibilityPage::InvisibilityPage(OnboardingFlow &flow, TutorialNotchController &notch,
                                   const CaptureShield &captureShield, QWidget *parent)
    : PracticeBackdrop(parent)
    , m_flow(flow)
    , m_notch(notch)
    , m_captureShield(captureShield)
{
    const bool supported = captureShield.isSupported();
    m_intro = new QWidget(this);
    m_intro->setObjectName(QStringLiteral("invisibilityIntro"));
    auto *column = new QVBoxLayout(m_intro);
    column->setContentsMargins(0, 56, 0, 0);
    column->setSpacing(0);
    QFont eyebrowFont = Fonts::systemFont(10, QFont::Bold);
    eyebrowFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.4);
    QLabel *eyebrow = plainLabel(eyebrowFont, whiteAt(0.34), m_intro);
    eyebrow->setAlignment(Qt::AlignCenter);
    LocalizedText::bind(eyebrow, "text", [] { return localizedString("Invisibilidad").toUpper(); });
    column->addWidget(eyebrow);
    column->addSpacing(10);
    QLabel *title
        = textLabel(introTitle(supported), trackedFont(30, QFont::Black, -0.5), Qt::white, m_intro);
    title->setObjectName(QStringLiteral("introTitle"));
    column->addWidget(title);
    column->addSpacing(8);
    QLabel *subtitle = wrappedLabel(introSubtitle(supported), Fonts::systemFont(13, QFont::Normal),
                                    whiteAt(0.55), m_intro);
    subtitle->setObjectName(QStringLiteral("introSubtitle"));
    column->addWidget(subtitle, 0, Qt::AlignHCenter);
    column->addSpacing(26);
    auto *tiles = new QWidget(m_intro);
    tiles->setFixedWidth(480);
    auto *tileRow = new QHBoxLayout(tiles);
    tileRow->setContentsMargins(0, 0, 0, 0);
    tileRow->setSpacing(12);
    tileRow->addWidget(
        new HiddenSurfaceTile("rectangle.on.rectangle", "Pantallas compartidas", tiles));
    tileRow->addWidget(new HiddenSurfaceTile("record.circle", "Grabaciones", tiles));
    tileRow->addWidget(new HiddenSurfaceTile("camera.viewfinder", "Capturas", tiles));
    column->addWidget(tiles, 0, Qt::AlignHCenter);
    column->addSpacing(22 - 2);
    column->addWidget(eyeHint(m_intro), 0, Qt::AlignHCenter);
    column->addStretch();

    m_skip = new TextButton("Omitir", Fonts::systemFont(12, QFont::Normal), whiteAt(0.34),
                            QMargins(0, 0, 0, 0), this);
    m_skip->setObjectName(QStringLiteral("invisibilitySkip"));
    m_continue = new CapsuleButton(continueStyle(false), this);
    m_continue->setObjectName(QStringLiteral("invisibilityContinue"));
    LocalizedText::bind(m_continue, "text", "Continuar");
    for (QAbstractButton *button : {m_skip, static_cast<QAbstractButton *>(m_continue)})
        connect(button, &QAbstractButton::clicked, &flow, &OnboardingFlow::closeInvisibilityStep);

    TutorialNotchModel &model = notch.model();
    connect(&model, &TutorialNotchModel::isInvisibleDemoChanged, this, &InvisibilityPage::refresh);
    connect(&model, &TutorialNotchModel::invisibilityTriedChanged, this,
            &InvisibilityPage::refresh);
    LocalizedText::follow(this, "layout", [this] { resizeEvent(nullptr); });
    refresh();
}

QAbstractButton *InvisibilityPage::continueButton() const
{
    return m_continue;
}

QAbstractButton *InvisibilityPage::skipButton() const
{
    return m_skip;
}

void InvisibilityPage::enter()
{
    TutorialNotchModel &model = m_notch.model();
    model.setIsInvisibleDemo(false);
    model.setShowInvisibilityToggle(true);
    model.setNoteTitle(localizedString("Tu nota privada"));
    model.setNoteBody(localizedString(demoNote(m_captureShield.isSupported())));
    model.setScrollDelta(0);
    model.setPageCount(0);
    model.setCurrentPageIndex(0);
    model.setArrowInstruction(std::nullopt);
    model.setVoiceMode(false);
    m_notch.show(true);
    refresh();
}

void InvisibilityPage::leave()
{
    TutorialNotchModel &model = m_notch.model();
    model.setIsInvisibleDemo(false);
    model.setShowInvisibilityToggle(false);
    m_notch.closePanel();
}

void InvisibilityPage::buildSuccess()
{
    const bool supported = m_captureShield.isSupported();
    auto *success = new QWidget(this);
    success->setObjectName(QStringLiteral("invisibilitySuccess"));
    auto *column = new QVBoxLayout(success);
    column->setContentsMargins(0, 64, 0, 0);
    column->setSpacing(0);
    column->addWidget(new SuccessBadge(success), 0, Qt::AlignHCenter);
    column->addSpacing(14);
    QLabel *title = textLabel(successTitle(supported), trackedFont(30, QFont::Black, -0.5),
                              Qt::white, success);
    title->setObjectName(QStringLiteral("successTitle"));
    column->addWidget(title);
    column->addSpacing(8);
    QLabel *body = wrappedLabel(successBody(supported), Fonts::systemFont(13, QFont::Normal),
                                whiteAt(0.55), success);
    body->setObjectName(QStringLiteral("successBody"));
    column->addWidget(body, 0, Qt::AlignHCenter);
    column->addSpacing(18);
    // The calls the panel stays out of: only where it does.
    if (supported) {
        auto *apps = new QWidget(success);
        auto *row = new QHBoxLayout(apps);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(8);
        int i = 0;
        for (const CallApp &app : callApps()) {
            const QString name = localizedString(app.name);
            row->addWidget(
                new StaggeredAppTile(name, name.left(1), app.tint, 0.08 + 0.06 * i++, apps));
        }
        column->addWidget(apps, 0, Qt::AlignHCenter);
        column->addSpacing(14);
        QLabel *caption = textLabel("y la mayoría de las apps donde podés compartir pantalla",
                                    Fonts::systemFont(11, QFont::Normal), whiteAt(0.45), success);
        caption->setContentsMargins(12, 7, 12, 7);
        caption->setStyleSheet(QStringLiteral(
            "QLabel { background: rgba(255,255,255,9); border: 0.5px solid rgba(255,255,255,18);"
            " border-radius: 8px; }"));
        column->addWidget(caption, 0, Qt::AlignHCenter);
    }
    column->addStretch();
    success->setGeometry(rect());
    success->show();
    m_success = success;
}

void InvisibilityPage::refresh()
{
    const TutorialNotchModel &model = m_notch.model();
    const bool demo = model.isInvisibleDemo();
    m_intro->setVisible(!demo);
    if (demo && !m_success)
        buildSuccess();
    else if (!demo && m_success)
        delete m_success;
    const bool tried = model.invisibilityTried();
    m_skip->setVisible(!tried);
    m_continue->setCapsuleStyle(continueStyle(tried));
    resizeEvent(nullptr);
}

void InvisibilityPage::resizeEvent(QResizeEvent *)
{
    m_intro->setGeometry(rect());
    if (m_success)
        m_success->setGeometry(rect());
    const QSize next = m_continue->sizeHint();
    const int y = height() - 26 - next.height();
    m_continue->setGeometry(width() - 28 - next.width(), y, next.width(), next.height());
    const QSize skip = m_skip->sizeHint();
    m_skip->setGeometry(m_continue->x() - 12 - skip.width(),
                        y + (next.height() - skip.height()) / 2, skip.width(), skip.height());
    m_continue->raise();
    m_skip->raise();
}
