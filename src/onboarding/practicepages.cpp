#include "practicepages.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/onboardingvisuals.h"
#include "onboarding/tutorialnotchcontroller.h"
#include "onboarding/tutorialpractice.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings/presets.h"
#include "settings_screen/settingcontrols.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"
#include "uikit/segmentedcontrol.h"
#include "uikit/switchbutton.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QRadialGradient>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

using Key = TutorialPractice::Key;
using VoiceState = TutorialPractice::VoiceState;

namespace {

QLabel *plainLabel(const QFont &font, const QColor &color, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, color);
    label->setPalette(palette);
    return label;
}

QLabel *keyLabel(const char *key, const QFont &font, const QColor &color, QWidget *parent)
{
    QLabel *label = textLabel(key, font, color, parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

// A button that is only its text.
class TextButton : public QAbstractButton
{
public:
    TextButton(const char *key, const QFont &font, const QColor &color, QMargins padding,
               QWidget *parent)
        : QAbstractButton(parent)
        , m_color(color)
        , m_padding(padding)
    {
        setFont(font);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        LocalizedText::bind(this, "text", key);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return QSize(metrics.horizontalAdvance(text()), metrics.height()).grownBy(m_padding);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setPen(m_color);
        painter.drawText(rect(), Qt::AlignCenter, text());
    }

private:
    QColor m_color;
    QMargins m_padding;
};

void paintTile(QPainter &painter, const QRectF &rect, double radius, const QColor &fill,
               const QColor &border, double borderWidth)
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(roundedRectPath(rect, radius), fill);
    strokeInsideRoundedRect(&painter, rect, radius, QPen(border, borderWidth));
}

} // namespace

// Backdrop

void PracticeBackdrop::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    // An 800-point circle at 0.1, blurred by 140, its frame's top-right corner moved 200 right
    // and 200 up from the page's.
    const QPointF centre(width() + 200 - 400, -200 + 400);
    QRadialGradient gradient(centre, 400 + 140);
    gradient.setColorAt(0, accentTeal(0.1));
    gradient.setColorAt(400.0 / 540 * 0.75, accentTeal(0.07));
    gradient.setColorAt(1, accentTeal(0));
    painter.fillRect(rect(), gradient);
}

// Key filter

TutorialKeyFilter::TutorialKeyFilter(TutorialPractice &practice, QObject *parent)
    : QObject(parent)
    , m_practice(practice)
{}

TutorialKeyFilter::~TutorialKeyFilter()
{
    remove();
}

void TutorialKeyFilter::install()
{
    if (m_installed || !qApp)
        return;
    qApp->installEventFilter(this);
    m_installed = true;
}

void TutorialKeyFilter::remove()
{
    if (!m_installed)
        return;
    if (qApp)
        qApp->removeEventFilter(this);
    m_installed = false;
}

bool TutorialKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    switch (static_cast<QKeyEvent *>(event)->key()) {
    case Qt::Key_Left:
        m_practice.pressKey(Key::left);
        return true;
    case Qt::Key_Right:
        m_practice.pressKey(Key::right);
        return true;
    case Qt::Key_Down:
        m_practice.pressKey(Key::down);
        return true;
    case Qt::Key_Up:
        m_practice.pressKey(Key::up);
        return true;
    default:
        return QObject::eventFilter(watched, event);
    }
}

// Tutorial page

namespace {

// "Flechas" with its check, on a faint brand capsule.
class StageChip : public QWidget
{
public:
    explicit StageChip(QWidget *parent)
        : QWidget(parent)
    {
        LocalizedText::follow(this, "chip", [this] {
            m_text = localizedString("Flechas");
            const QFontMetricsF metrics(Fonts::systemFont(13, QFont::DemiBold));
            setFixedSize(int(std::ceil(12 + 18 + 8 + metrics.horizontalAdvance(m_text) + 12)), 30);
            update();
        });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF chip(rect());
        painter.fillPath(capsulePath(chip), accentTeal(0.15));
        painter.strokePath(capsulePath(chip.adjusted(0.25, 0.25, -0.25, -0.25)),
                           QPen(accentTeal(0.4), 0.5));
        const QRectF dot(12, (height() - 18) / 2.0, 18, 18);
        painter.setPen(Qt::NoPen);
        painter.setBrush(accentTeal());
        painter.drawEllipse(dot);
        Icons::paint(&painter, QStringLiteral("checkmark"), dot.adjusted(4.5, 4.5, -4.5, -4.5),
                     onAccentTeal(), 9, QFont::Bold);
        painter.setFont(Fonts::systemFont(13, QFont::DemiBold));
        painter.setPen(Qt::white);
        painter.drawText(QRectF(dot.right() + 8, 0, width(), height()),
                         Qt::AlignVCenter | Qt::AlignLeft, m_text);
    }

private:
    QString m_text;
};

// The four key caps laid out like the arrow cluster, beside a legend of four rows.
class ArrowKeyGrid : public QWidget
{
public:
    static constexpr double cap = 56;
    static constexpr double rowHeight = 38;

    ArrowKeyGrid(TutorialPractice &practice, QWidget *parent)
        : QWidget(parent)
        , m_practice(practice)
    {
        setObjectName(QStringLiteral("arrowKeyGrid"));
        setFixedHeight(int(4 * rowHeight + 3 * 8));
        connect(&practice, &TutorialPractice::changed, this, qOverload<>(&QWidget::update));
        LocalizedText::follow(this, "legend", [this] { update(); });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double column = (width() - 24) / 2.0;
        // Caps, centred in the first column.
        const double rowWidth = 3 * cap + 2 * 12;
        const double left = (column - rowWidth) / 2;
        const double top = (height() - (2 * cap + 12)) / 2;
        paintCap(painter, QRectF(left + cap + 12, top, cap, cap), "arrow.up", Key::up);
        const double bottom = top + cap + 12;
        paintCap(painter, QRectF(left, bottom, cap, cap), "arrow.left", Key::left);
        paintCap(painter, QRectF(left + cap + 12, bottom, cap, cap), "arrow.down", Key::down);
        paintCap(painter, QRectF(left + 2 * (cap + 12), bottom, cap, cap), "arrow.right",
                 Key::right);
        // Legend.
        static constexpr struct
        {
            const char *first;
            const char *second;
            Key key;
        } rows[]{{"Probá →", "Nota siguiente", Key::right},
                 {"Probá ↑", "Subir el texto", Key::up},
                 {"Probá ↓", "Bajar el texto", Key::down},
                 {"Probá ←", "Nota anterior", Key::left}};
        double y = 0;
        for (const auto &row : rows) {
            paintLegendRow(painter, QRectF(column + 24, y, column, rowHeight), row.first,
                           row.second, m_practice.practiced(row.key));
            y += rowHeight + 8;
        }
    }

private:
    void paintCap(QPainter &painter, const QRectF &rect, const char *symbol, Key key)
    {
        const bool done = m_practice.practiced(key);
        paintTile(painter, rect, 8, whiteAt(0.06), done ? accentTeal(0.6) : whiteAt(0.1), 1);
        Icons::paint(&painter, QString::fromLatin1(symbol), rect.adjusted(18, 18, -18, -18),
                     done ? accentTeal() : whiteAt(0.85), 20, QFont::DemiBold);
        if (!done)
            return;
        const QRectF badge(rect.right() - 7 + 6, rect.top() - 7 - 6, 14, 14);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::black);
        painter.drawEllipse(badge);
        Icons::paint(&painter, QStringLiteral("checkmark.circle.fill"), badge, accentTeal(), 14,
                     QFont::Bold);
    }

    void paintLegendRow(QPainter &painter, const QRectF &rect, const char *first,
                        const char *second, bool done)
    {
        paintTile(painter, rect, 10, done ? accentTeal(0.1) : whiteAt(0.04),
                  done ? accentTeal(0.3) : whiteAt(0.06), 0.5);
        const QRectF dot(rect.left() + 14, rect.center().y() - 9, 18, 18);
        painter.setPen(Qt::NoPen);
        painter.setBrush(done ? accentTeal() : whiteAt(0.08));
        painter.drawEllipse(dot);
        if (done)
            Icons::paint(&painter, QStringLiteral("checkmark"), dot.adjusted(4.5, 4.5, -4.5, -4.5),
                         Qt::black, 9, QFont::Bold);
        const QRectF text = rect.adjusted(14 + 18 + 10, 0, -14, 0);
        painter.setFont(Fonts::systemFont(13, QFont::Medium));
        painter.setPen(Qt::white);
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft, localizedString(first));
        painter.setFont(Fonts::systemFont(12, QFont::Normal));
        painter.setPen(whiteAt(0.55));
        painter.drawText(text, Qt::AlignVCenter | Qt::AlignRight, localizedString(second));
    }

    TutorialPractice &m_practice;
};

} // namespace

// The voice practice block: microphone, texts and the action of the state.
class VoiceBlock : public QWidget
{
public:
    VoiceBlock(TutorialPractice &practice, QWidget *parent)
        : QWidget(parent)
        , m_practice(practice)
    {
        setObjectName(QStringLiteral("voiceBlock"));
        setFixedHeight(14 + 64 + 14);
        m_action = new CapsuleButton(
            {Fonts::systemFont(12, QFont::DemiBold), onAccentTeal(), accentTeal(), 12, 6}, this);
        m_action->setObjectName(QStringLiteral("voiceAction"));
        connect(m_action, &QAbstractButton::clicked, this, [this] {
            switch (m_practice.voiceState()) {
            case VoiceState::notDetermined:
                m_practice.requestVoicePermissions();
                break;
            case VoiceState::denied:
                m_practice.openPrivacySettings();
                break;
            case VoiceState::ready:
                m_practice.startVoiceListening();
                break;
            default:
                break;
            }
        });
        connect(&practice, &TutorialPractice::changed, this, &VoiceBlock::refresh);
        LocalizedText::follow(this, "voice", [this] { refresh(); });
    }

    QAbstractButton *action() const { return m_action; }

    struct Texts
    {
        const char *title;
        const char *subtitle;
        const char *action; // a button's label, or none
    };

    static Texts texts(VoiceState state)
    {
        constexpr const char *read = "Leé el texto que aparece en el notch arriba.";
        switch (state) {
        case VoiceState::checking:
            return {"Comprobando permisos…", read, nullptr};
        case VoiceState::notDetermined:
            return {"Necesitamos micrófono y voz", read, "Continuar"};
        case VoiceState::denied:
            return {"Permiso denegado", "Necesitamos permiso para escucharte.",
                    "Abrir Ajustes del sistema"};
        case VoiceState::ready:
            return {"Listo para escuchar", read, "Probá ahora"};
        case VoiceState::listening:
            return {"Leé el texto del notch en voz alta",
                    "El texto del notch se mueve solo a medida que hablás.", nullptr};
        case VoiceState::completed:
            return {"¡Listo!", "Bien hecho. Esto es lo que vas a sentir presentando.", nullptr};
        }
        return {"", "", nullptr};
    }

protected:
    void resizeEvent(QResizeEvent *) override { placeAction(); }

    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const VoiceState state = m_practice.voiceState();
        const bool listening = state == VoiceState::listening;
        paintTile(painter, QRectF(rect()), 12, whiteAt(0.04),
                  listening ? accentTeal(0.3) : whiteAt(0.06), listening ? 1 : 0.5);
        const QRectF disc(14, 14, 64, 64);
        painter.setPen(Qt::NoPen);
        painter.setBrush(listening ? accentTeal(0.18) : whiteAt(0.06));
        painter.drawEllipse(disc);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(listening ? accentTeal(0.45) : whiteAt(0.1), 1));
        painter.drawEllipse(disc.adjusted(0.5, 0.5, -0.5, -0.5));
        Icons::paint(&painter, QStringLiteral("mic.fill"), disc.adjusted(20, 20, -20, -20),
                     listening ? accentTeal() : whiteAt(0.85), 24, QFont::DemiBold);
        const Texts t = texts(state);
        const QRectF column(disc.right() + 14, 14, width() - disc.right() - 28, 64);
        painter.setFont(Fonts::systemFont(14, QFont::DemiBold));
        painter.setPen(listening ? accentTeal() : QColor(Qt::white));
        painter.drawText(column.adjusted(0, 0, 0, -34), Qt::AlignLeft | Qt::AlignBottom,
                         localizedString(t.title));
        painter.setFont(Fonts::systemFont(12, QFont::Normal));
        painter.setPen(whiteAt(0.55));
        painter.drawText(column.adjusted(0, 34, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                         localizedString(t.subtitle));
        // The labels that are not buttons.
        if (state == VoiceState::listening || state == VoiceState::completed) {
            const bool done = state == VoiceState::completed;
            const QString text = localizedString(done ? "¡Listo!" : "Escuchando…");
            const QFont font
                = Fonts::systemFont(done ? 12 : 11, done ? QFont::DemiBold : QFont::Medium);
            const double w = QFontMetricsF(font).horizontalAdvance(text) + 24 + 11;
            const QRectF capsule(width() - 14 - w, height() / 2.0 - 12, w, 24);
            painter.fillPath(capsulePath(capsule), done ? accentTeal() : whiteAt(0.1));
            const QRectF mark(capsule.left() + 12, capsule.center().y() - 4.5, 9, 9);
            if (done) {
                Icons::paint(&painter, QStringLiteral("checkmark"), mark, onAccentTeal(), 9,
                             QFont::Bold);
            } else {
                painter.setPen(Qt::NoPen);
                painter.setBrush(accentTeal());
                painter.drawEllipse(mark.adjusted(1.5, 1.5, -1.5, -1.5));
            }
            painter.setFont(font);
            painter.setPen(done ? onAccentTeal() : QColor(Qt::white));
            painter.drawText(capsule.adjusted(12 + 14, 0, -12, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             text);
        }
    }

private:
    void refresh()
    {
        const VoiceState state = m_practice.voiceState();
        const Texts t = texts(state);
        m_action->setVisible(t.action != nullptr);
        if (t.action) {
            const bool plain = state == VoiceState::denied;
            m_action->setCapsuleStyle({Fonts::systemFont(12, QFont::DemiBold),
                                       plain ? QColor(Qt::white) : onAccentTeal(),
                                       plain ? whiteAt(0.1) : accentTeal(), 12, 6});
            m_action->setText(localizedString(t.action));
        }
        placeAction();
        update();
    }

    void placeAction()
    {
        const QSize hint = m_action->sizeHint();
        m_action->setGeometry(width() - 14 - hint.width(), (height() - hint.height()) / 2,
                              hint.width(), hint.height());
    }

    TutorialPractice &m_practice;
    CapsuleButton *m_action;
};

TutorialPage::TutorialPage(OnboardingFlow &flow, TutorialPractice &practice, QWidget *parent)
    : PracticeBackdrop(parent)
    , m_flow(flow)
    , m_practice(practice)
    , m_filter(new TutorialKeyFilter(practice, this))
{
    m_chip = new StageChip(this);
    QFont titleFont = Fonts::systemFont(26, QFont::Bold);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, -0.4);
    m_title = plainLabel(titleFont, Qt::white, this);
    m_title->setObjectName(QStringLiteral("tutorialTitle"));
    m_hint = plainLabel(Fonts::systemFont(13, QFont::Normal), whiteAt(0.55), this);
    m_grid = new ArrowKeyGrid(practice, this);
    m_voice = new VoiceBlock(practice, this);
    m_back = new TextButton("Atrás", Fonts::systemFont(13, QFont::Medium), whiteAt(0.65),
                            QMargins(4, 8, 4, 8), this);
    m_back->setObjectName(QStringLiteral("tutorialBack"));
    m_status = plainLabel(Fonts::systemFont(12, QFont::Normal), whiteAt(0.55), this);
    m_status->setObjectName(QStringLiteral("tutorialStatus"));
    m_continue = pillButton("Continuar", this);
    m_continue->setObjectName(QStringLiteral("tutorialContinue"));

    connect(m_back, &QAbstractButton::clicked, this, [this] {
        if (!m_practice.back())
            return;
        leave();
        m_flow.tutorialBack();
    });
    connect(m_continue, &QAbstractButton::clicked, this, [this] {
        if (!m_practice.canContinue())
            return;
        m_filter->remove();
        m_flow.finishTutorialStep();
    });
    connect(&practice, &TutorialPractice::changed, this, &TutorialPage::refresh);
    LocalizedText::follow(this, "texts", [this] {
        // The panel's texts were looked up when stored.
        if (m_practice.isActive())
            m_practice.updateTutorialNotch();
        refresh();
    });
}

QAbstractButton *TutorialPage::continueButton() const
{
    return m_continue;
}

QAbstractButton *TutorialPage::backButton() const
{
    return m_back;
}

void TutorialPage::enter()
{
    m_filter->install();
    m_practice.start();
}

void TutorialPage::leave()
{
    m_filter->remove();
    if (m_practice.isActive())
        m_practice.leave();
}

void TutorialPage::refresh()
{
    m_title->setText(localizedString(m_practice.title()));
    m_hint->setText(localizedString(m_practice.hint()));
    m_status->setText(localizedString(m_practice.statusText()));
    const bool voice = m_practice.stage() == TutorialPractice::Stage::voice;
    m_grid->setVisible(!voice);
    m_voice->setVisible(voice);
    const bool enabled = m_practice.canContinue();
    m_continue->setEnabled(enabled);
    // At 0.4 while disabled, by its colours: the page itself may be fading with an effect.
    const double opacity = enabled ? 1.0 : 0.4;
    QColor fill = QColor::fromRgbF(0.18f, 0.18f, 0.18f);
    fill.setAlphaF(float(opacity));
    m_continue->setCapsuleStyle({Fonts::systemFont(14, QFont::Medium), whiteAt(opacity), fill});
    resizeEvent(nullptr);
}

void TutorialPage::resizeEvent(QResizeEvent *)
{
    const int w = width();
    m_chip->move(28, 56);
    int y = 56 + m_chip->height() + 18;
    const int titleHeight = m_title->sizeHint().height();
    m_title->setGeometry(28, y, w - 56, titleHeight);
    y += titleHeight + 6;
    const int hintHeight = m_hint->sizeHint().height();
    m_hint->setGeometry(28, y, w - 56, hintHeight);
    y += hintHeight + 22;
    m_grid->setGeometry(28, y, w - 56, m_grid->height());
    m_voice->setGeometry(28, y, w - 56, m_voice->height());
    const QSize back = m_back->sizeHint();
    const QSize next = m_continue->sizeHint();
    const int barCentre = height() - 26 - next.height() / 2;
    m_back->setGeometry(28, barCentre - back.height() / 2, back.width(), back.height());
    const int statusLeft = 28 + back.width() + 16;
    m_status->setGeometry(statusLeft, barCentre - 10, w - statusLeft - 28 - next.width() - 8, 20);
    m_continue->setGeometry(w - 28 - next.width(), barCentre - next.height() / 2, next.width(),
                            next.height());
}

// Invisibility page

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

// Personalize page

namespace {

// A setting tile: a faint rounded card holding the label row and the control.
class SettingTile : public QWidget
{
public:
    SettingTile(const char *title, QWidget *parent, int minimumHeight = 78)
        : QWidget(parent)
    {
        setMinimumHeight(minimumHeight);
        m_column = new QVBoxLayout(this);
        m_column->setContentsMargins(14, 14, 14, 14);
        m_column->setSpacing(10);
        auto *labels = new QHBoxLayout;
        labels->setSpacing(6);
        QLabel *titleLabel
            = keyLabel(title, Fonts::systemFont(12, QFont::DemiBold), whiteAt(0.85), this);
        labels->addWidget(titleLabel, 0, Qt::AlignBaseline);
        m_subtitle = plainLabel(Fonts::systemFont(11, QFont::Normal), whiteAt(0.4), this);
        m_subtitle->hide();
        labels->addWidget(m_subtitle, 0, Qt::AlignBaseline);
        labels->addStretch();
        m_column->addLayout(labels);
    }

    QLabel *subtitle()
    {
        m_subtitle->show();
        return m_subtitle;
    }
    QVBoxLayout *column() const { return m_column; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        paintTile(painter, QRectF(rect()), 12, whiteAt(0.04), whiteAt(0.07), 0.5);
    }

private:
    QVBoxLayout *m_column;
    QLabel *m_subtitle;
};

// The kit's slider in the brand colour.
void brandSlider(QSlider *slider)
{
    slider->setStyleSheet(
        QStringLiteral("QSlider::groove:horizontal { height: 4px; background: rgba(255,255,255,40);"
                       " border-radius: 2px; }"
                       "QSlider::sub-page:horizontal { background: %1; border-radius: 2px; }"
                       "QSlider::handle:horizontal { background: white; width: 14px; height: 14px;"
                       " margin: -5px 0; border-radius: 7px; }")
            .arg(accentTeal().name()));
}

// How the page's controls move to a new value.
ControlMotion controlMotion(double seconds)
{
    return {AnimationTiming::easeInOut(seconds), &Motion::reduceMotion};
}
constexpr double controlChangeSeconds = 0.16;

// A setting's switch in the brand colour, a mini switch shown a third larger.
SwitchButton *brandSwitch(NotchSettings &settings, BoolGetter read, BoolSetter write,
                          ChangedSignal changed, QWidget *parent)
{
    SwitchButton *toggle = settingSwitch(settings, read, write, changed, parent);
    toggle->setOnColor(accentTeal());
    toggle->setSwitchSize(SwitchButton::miniSwitchSize * 1.3);
    toggle->setMotion(controlMotion(SwitchButton::slideSeconds));
    return toggle;
}

QWidget *switchRow(SwitchButton *toggle, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(toggle);
    layout->addStretch();
    return row;
}

} // namespace

PersonalizePage::PersonalizePage(OnboardingFlow &flow, NotchSettings &settings,
                                 const CaptureShield &shield, QWidget *parent)
    : PracticeBackdrop(parent)
    , m_flow(flow)
    , m_settings(settings)
{
    m_header = new QWidget(this);
    auto *headerRow = new QHBoxLayout(m_header);
    headerRow->setContentsMargins(28, 60, 28, 28);
    auto *headerText = new QVBoxLayout;
    headerText->setSpacing(6);
    QLabel *title = keyLabel("Personalizá a Brivel", trackedFont(32, QFont::Black, -0.6), Qt::white,
                             m_header);
    headerText->addWidget(title);
    headerText->addWidget(keyLabel("Mirá el notch arriba para ver cómo afectan los cambios.",
                                   Fonts::systemFont(14, QFont::Medium), whiteAt(0.55), m_header));
    headerRow->addLayout(headerText);
    headerRow->addStretch();
    CapsuleButton::Style resetStyle{Fonts::systemFont(11, QFont::Medium), Qt::white, whiteAt(0.1),
                                    12, 6};
    resetStyle.leadingGlyph = QStringLiteral("arrow.counterclockwise");
    auto *reset = new CapsuleButton(resetStyle, m_header);
    reset->setObjectName(QStringLiteral("resetAppearance"));
    LocalizedText::bind(reset, "text", "Restablecer");
    connect(reset, &QAbstractButton::clicked, this, [this] { resetAppearance(m_settings); });
    headerRow->addWidget(reset, 0, Qt::AlignTop);

    m_gridHost = new QWidget(this);
    m_grid = new QGridLayout(m_gridHost);
    m_grid->setContentsMargins(28, 0, 28, 0);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(10);
    for (int c = 0; c < 6; ++c)
        m_grid->setColumnStretch(c, 1);

    auto *font = new SettingTile("Tipografía", m_gridHost);
    auto *familyMenu = new FontFamilyMenu(settings, FontFamilyMenu::Look::tile, font);
    familyMenu->setObjectName(QStringLiteral("familyMenu"));
    font->column()->addWidget(familyMenu);
    m_fontTile = font;

    auto *size = new SettingTile("Tamaño", m_gridHost);
    LocalizedText::bind(size->subtitle(), "text", "del texto");
    SegmentedControl *segments = fontSizeSegments(settings, size);
    segments->setFont(Fonts::systemFont(12.5, QFont::DemiBold));
    segments->setFixedHeight(30);
    segments->setLook({.track = whiteAt(0.1),
                       .trackBorder = whiteAt(0.12),
                       .trackRadius = 8,
                       .padding = 2,
                       .selection = accentTeal(),
                       .selectionInset = 0,
                       .selectionRadius = 6,
                       .text = Qt::white,
                       .selectedText = onAccentTeal(),
                       .dividers = false});
    segments->setSelectionMotion(controlMotion(controlChangeSeconds));
    size->column()->addWidget(segments);
    m_sizeTile = size;

    auto *timer = new SettingTile("Cronómetro", m_gridHost);
    LocalizedText::bind(timer->subtitle(), "text", "visible al presentar");
    auto *timerSwitch
        = brandSwitch(settings, &NotchSettings::showElapsedTime, &NotchSettings::setShowElapsedTime,
                      &NotchSettings::showElapsedTimeChanged, timer);
    timerSwitch->setObjectName(QStringLiteral("timerSwitch"));
    timer->column()->addWidget(switchRow(timerSwitch, timer));
    m_timerTile = timer;

    auto *colour = new SettingTile("Color", m_gridHost);
    const ColorSwatches::Look swatches{.chip = {.side = 26,
                                                .dot = 16,
                                                .border = whiteAt(0.25),
                                                .borderOnWhite = true,
                                                .ring = accentTeal(),
                                                .ringMotion = controlMotion(controlChangeSeconds)},
                                       .well = ColorWell::Face::swatch,
                                       .spacing = 8,
                                       .trailing = false};
    colour->column()->addWidget(new ColorSwatches(settings, swatches, colour));
    m_colorTile = colour;

    auto *glass = new SettingTile("Efecto vidrio", m_gridHost);
    auto *glassSwitch
        = brandSwitch(settings, &NotchSettings::glassEffect, &NotchSettings::setGlassEffect,
                      &NotchSettings::glassEffectChanged, glass);
    glassSwitch->setObjectName(QStringLiteral("glassSwitch"));
    glass->column()->addWidget(switchRow(glassSwitch, glass));
    m_glassTile = glass;

    // Continuous, their value in the tile's subtitle as a share of the range.
    const auto sliderTile = [this, &settings](const char *title, SettingSlider::Getter read,
                                              SettingSlider::Setter write, ChangedSignal changed,
                                              double lower, double upper, SettingSlider *&slider) {
        auto *tile = new SettingTile(title, m_gridHost);
        slider = new SettingSlider(settings, read, write, changed, {lower, upper, 0, 1, u"", true},
                                   tile);
        slider->setValueLabel(tile->subtitle());
        slider->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        brandSlider(slider->slider());
        tile->column()->addWidget(slider);
        return tile;
    };
    m_opacityTile
        = sliderTile("Opacidad", &NotchSettings::glassOpacity, &NotchSettings::setGlassOpacity,
                     &NotchSettings::glassOpacityChanged, 0, 1, m_opacity);
    m_widthTile = sliderTile("Ancho", &NotchSettings::notchWidth, &NotchSettings::setNotchWidth,
                             &NotchSettings::notchWidthChanged, 310, 500, m_width);
    m_heightTile
        = sliderTile("Alto", &NotchSettings::textAreaHeight, &NotchSettings::setTextAreaHeight,
                     &NotchSettings::textAreaHeightChanged, 140, 400, m_height);
    m_opacity->slider()->setObjectName(QStringLiteral("opacitySlider"));
    m_width->slider()->setObjectName(QStringLiteral("widthSlider"));
    m_height->slider()->setObjectName(QStringLiteral("heightSlider"));

    auto *invisible = new SettingTile("Invisible al compartir", m_gridHost, 56);
    invisible->column()->setSpacing(3);
    auto *invisibleRow = new QHBoxLayout;
    // Where windows cannot be kept out of captures, the switch is a stored wish only.
    QLabel *description
        = keyLabel(shield.isSupported() ? "Tu ventana no aparece al compartir pantalla"
                                        : "En este sistema la ventana sigue visible al compartir "
                                          "pantalla",
                   Fonts::systemFont(11, QFont::Normal), whiteAt(0.6), invisible);
    description->setObjectName(QStringLiteral("invisibleDescription"));
    invisibleRow->addWidget(description);
    invisibleRow->addStretch();
    auto *invisibleSwitch = brandSwitch(settings, &NotchSettings::hideFromScreenShare,
                                        &NotchSettings::setHideFromScreenShare,
                                        &NotchSettings::hideFromScreenShareChanged, invisible);
    invisibleSwitch->setObjectName(QStringLiteral("invisibleSwitch"));
    invisibleRow->addWidget(invisibleSwitch);
    invisible->column()->addLayout(invisibleRow);
    m_invisibleTile = invisible;
    // Like the rest of the page, the controls take no keyboard focus.
    for (QWidget *control : m_gridHost->findChildren<QWidget *>())
        control->setFocusPolicy(Qt::NoFocus);

    auto *skip = pillButton("Omitir", this);
    skip->setObjectName(QStringLiteral("personalizeSkip"));
    auto *next = pillButton("Continuar", this);
    next->setObjectName(QStringLiteral("personalizeContinue"));
    m_skip = skip;
    m_continue = next;
    for (QAbstractButton *button : {m_skip, m_continue})
        connect(button, &QAbstractButton::clicked, &flow, &OnboardingFlow::showTutorialStep);

    connect(&settings, &NotchSettings::glassEffectChanged, this, &PersonalizePage::arrangeGrid);
    LocalizedText::follow(this, "values", [this] { resizeEvent(nullptr); });
    arrangeGrid();
}

void PersonalizePage::resetAppearance(NotchSettings &settings)
{
    settings.setFontFamilyPreset(FontFamilyPreset::sans);
    settings.setFontSizePreset(FontSizePreset::sm);
    settings.setHighlightColor(Qt::white);
    settings.setGlassEffect(false);
    settings.setGlassOpacity(0.7);
    settings.setNotchWidth(340);
    settings.setTextAreaHeight(160);
    settings.setHideFromScreenShare(false);
    settings.setShowElapsedTime(false);
}

QSlider *PersonalizePage::widthSlider() const
{
    return m_width->slider();
}

QSlider *PersonalizePage::heightSlider() const
{
    return m_height->slider();
}

QSlider *PersonalizePage::opacitySlider() const
{
    return m_opacity->slider();
}

void PersonalizePage::arrangeGrid()
{
    for (QWidget *tile : {m_fontTile, m_sizeTile, m_timerTile, m_colorTile, m_glassTile,
                          m_opacityTile, m_widthTile, m_heightTile, m_invisibleTile})
        m_grid->removeWidget(tile);
    m_grid->addWidget(m_fontTile, 0, 0, 1, 2);
    m_grid->addWidget(m_sizeTile, 0, 2, 1, 2);
    m_grid->addWidget(m_timerTile, 0, 4, 1, 2);
    m_grid->addWidget(m_colorTile, 1, 0, 1, 3);
    m_grid->addWidget(m_glassTile, 1, 3, 1, 3);
    const bool glass = m_settings.glassEffect();
    m_opacityTile->setVisible(glass);
    if (glass) {
        m_grid->addWidget(m_opacityTile, 2, 0, 1, 2);
        m_grid->addWidget(m_widthTile, 2, 2, 1, 2);
        m_grid->addWidget(m_heightTile, 2, 4, 1, 2);
    } else {
        m_grid->addWidget(m_widthTile, 2, 0, 1, 3);
        m_grid->addWidget(m_heightTile, 2, 3, 1, 3);
    }
    m_grid->addWidget(m_invisibleTile, 3, 0, 1, 6);
}

void PersonalizePage::resizeEvent(QResizeEvent *)
{
    const int headerHeight = m_header->sizeHint().height();
    m_header->setGeometry(0, 0, width(), headerHeight);
    const int gridHeight = m_gridHost->sizeHint().height();
    m_gridHost->setGeometry(0, headerHeight, width(), gridHeight);
    const QSize skip = m_skip->sizeHint();
    const QSize next = m_continue->sizeHint();
    m_skip->setGeometry(24, height() - 20 - skip.height(), skip.width(), skip.height());
    m_continue->setGeometry(width() - 24 - next.width(), height() - 20 - next.height(),
                            next.width(), next.height());
}
