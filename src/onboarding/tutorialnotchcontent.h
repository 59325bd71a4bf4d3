#pragma once

#include "onboarding/tutorialnotchcontroller.h"
#include "overlay/overlaypanel.h"

#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QWidget>

#include <functional>

class AnimatedValue;
class CaptureShield;
class NotchSettings;
class PingRing;
class QAbstractButton;
class SpeechScrollView;

// The tutorial copy of the reading panel, filling the tutorial window: the notch outline in the
// reader's own size and appearance, with a practice note (or the sentence to read aloud), an
// instruction capsule, page chips and, in the invisibility demo, an eye toggle. Model changes
// are drawn together on the next turn of the event loop.
class TutorialNotchContent : public QWidget
{
    Q_OBJECT

public:
    TutorialNotchContent(TutorialNotchModel &model, NotchSettings &settings,
                         const CaptureShield &captureShield, double menuBarHeight,
                         std::function<void(double)> onScrollClamp, QWidget *parent = nullptr);
    ~TutorialNotchContent() override;

    static constexpr double topInset = 16;
    static constexpr double bottomRadius = 18;

    // The panel's size: the reader's width and text height, kept finite and inside the window.
    QSizeF panelSize() const;
    QRectF panelRect() const;
    // What of the window is drawn: the window is cut to it.
    QPainterPath outlinePath() const;

    SpeechScrollView *scrollView() const { return m_scrollView; }
    QAbstractButton *invisibilityToggle() const;
    // Applies the model now rather than on the next turn.
    void syncNow();

Q_SIGNALS:
    void outlineChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void scheduleSync();
    void sync();
    void layoutChildren();
    void scrollClamped(double delta);
    QRectF capsuleRect() const;
    QRectF pageRowRect() const;
    QRectF toggleRect() const;
    QRectF bubbleRect() const;
    bool showsBadge() const;
    const QImage &background();
    void paintCapsule(QPainter &painter, const QString &text, const QString &glyph);
    void paintPageRow(QPainter &painter);
    void paintBubble(QPainter &painter);

    TutorialNotchModel &m_model;
    NotchSettings &m_settings;
    const CaptureShield &m_captureShield;
    const double m_menuBarHeight;
    std::function<void(double)> m_onScrollClamp;

    SpeechScrollView *m_scrollView;
    class EyeToggle *m_toggle;
    PingRing *m_ping;
    AnimatedValue *m_pulse;
    bool m_syncQueued = false;
    QString m_wordsKey;
    QSizeF m_lastSize;

    QImage m_background;
    QString m_backgroundKey;
};

// The real tutorial window: an overlay panel over the whole content, cut to its outline.
class OverlayTutorialPanel : public TutorialPanelWindow
{
public:
    OverlayTutorialPanel(TutorialNotchModel &model, NotchSettings &settings,
                         const CaptureShield &captureShield, const QRect &frame,
                         double menuBarHeight, bool interactive,
                         std::function<void(double)> onScrollClamp);
    ~OverlayTutorialPanel() override;

    QRect frame() const override;
    void orderFront() override;
    void orderOut() override;
    void setInteractive(bool interactive) override;
    bool isInteractive() const override;
    QWindow *window() const override;

    OverlayPanel *panel() const { return m_panel; }
    TutorialNotchContent *content() const { return m_content; }

    // The factory the onboarding hands its controller.
    static TutorialNotchController::PanelFactory factory(NotchSettings &settings,
                                                         const CaptureShield &captureShield);

private:
    QPointer<OverlayPanel> m_panel;
    QPointer<TutorialNotchContent> m_content;
};
