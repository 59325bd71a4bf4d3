#include "tutorialpage.h"

#include "onboarding/onboardingflow.h"
#include "onboarding/onboardingparts.h"
#include "onboarding/tutorialpractice.h"
#include "platform/fonts.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>

#include <cmath>

using Key = TutorialPractice::Key;
using VoiceState = TutorialPractice::VoiceState;

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
