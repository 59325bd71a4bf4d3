#pragma once

#include <QImage>
#include <QPainterPath>
#include <QPointer>
#include <QTextLayout>
#include <QWidget>

#include <functional>
#include <memory>

class AnimatedValue;
class CaptureShield;
class CircleGlyphButton;
class CursorKeyHintFooter;
class ElapsedTimeView;
class NotchSettings;

// A live mock of the reading panel inside a preview window, drawn with the overlay's own shapes
// and views in the current appearance settings. It has two forms: the notch hanging from the
// top of the screen (pinned) and a card shifted 60 points down (floating and cursor). It grows
// in when first shown and shrinks away when its owner announces the dismissal.
//
// Showing it copies the highlight colour into the cue colour and sets the cue brightness to
// medium, and the cue colour follows later highlight changes.
class NotchPreviewContent : public QWidget
{
    Q_OBJECT

public:
    struct Options
    {
        NotchSettings *settings = nullptr;
        const CaptureShield *captureShield = nullptr;
        double menuBarHeight = 0;
        bool glow = false;
        std::function<void()> onDuplicate;
        bool showStickyHint = false;
        bool forcePinned = false;
        // An object with a notchPreviewWillDismiss() signal; the exit plays on it.
        QObject *dismissNotifier = nullptr;
    };

    static constexpr double stickyShift = 60;
    static constexpr double stickyTopBand = 14;
    static constexpr double flareInset = 16;
    static constexpr double collapsedWidth = 200;
    static constexpr double collapsedHeight = 37;
    // How far the glow shines past the outline: its widest stroke, grown by the pulse.
    static constexpr double glowReach = 10;

    explicit NotchPreviewContent(Options options, QWidget *parent = nullptr);
    ~NotchPreviewContent() override;

    const Options &options() const { return m_options; }

    double cornerPhase() const;
    double offsetPhase() const;
    double expansion() const;
    bool isContentVisible() const { return m_contentVisible; }

    // Top band, mock size and the mock's frame in the view, from the settings and the phases.
    // The size never exceeds the view, whatever the settings hold.
    double topBand() const;
    QSizeF mockSize() const;
    QRectF mockRect() const;
    // What of the view is drawn: the panel is cut to it.
    QPainterPath outlinePath() const;

    // The sample sentence in the interface language; it promises invisibility only where the
    // window system can keep the panel out of captures.
    QString sampleText() const;
    // The duplicate-limit hint of the floating form, as honest as the sentence.
    QString stickyHint() const;
    // Where the sample text is laid out: below the top band, and in the sticky form below the
    // hint or the cursor footer.
    QRectF contentRect() const;
    // The visibility badge's circle, and where the duplicate-limit hint and the cursor footer go
    // in the sticky form.
    QRectF badgeRect() const;
    QRectF hintRect() const;
    QRectF footerRect() const;

    // Jumps every running transition to its end (benchmarks, reduced motion).
    void finishAnimations();

    // How often a blurred stroke was rendered; a frame whose size did not change renders none.
    int blurRenderCount() const { return m_blurRenders; }

public Q_SLOTS:
    // The exit: the content fades, then the mock shrinks to its collapsed size.
    void playExit();

Q_SIGNALS:
    void outlineChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void appear();
    void syncCues();
    void handleModeChange();
    void geometryChanged();
    void updateChildren();
    bool isStickyMode() const;
    bool hidesFromCapture() const;
    QPainterPath notchPath(const QRectF &rect) const;
    QFont textFont() const;
    bool shieldHolds() const;
    bool showsStickyHint() const;
    double stickyNoteHeight() const;
    QFont stickyHintFont() const;
    bool showsElapsedTime() const;
    bool showsDuplicateButton() const;
    QRectF duplicateButtonRect() const;
    QRectF elapsedTimeRect() const;
    QRectF noteRect(const QSizeF &size) const;
    void paintGlow(QPainter &painter, const QRectF &mock, const QPainterPath &notch);
    void paintMocks(QPainter &painter, const QRectF &mock, const QPainterPath &notch);
    void paintOutlines(QPainter &painter, const QRectF &mock, const QPainterPath &notch);
    void paintContent(QPainter &painter);
    void paintBadge(QPainter &painter);

    // A blurred layer rendered once per key (size and shape); later frames draw the image.
    struct CachedLayer
    {
        QString key;
        QImage image;
        QPointF origin;
    };
    const QImage &cachedLayer(CachedLayer &cache, const QString &key, const QRectF &bounds,
                              const std::function<void(QPainter &)> &paint);

    Options m_options;
    AnimatedValue *m_cornerPhase;
    AnimatedValue *m_offsetPhase;
    AnimatedValue *m_expansion;
    AnimatedValue *m_contentOpacity;
    AnimatedValue *m_glowPulse;
    AnimatedValue *m_width;
    AnimatedValue *m_height;
    AnimatedValue *m_outlineOpacity;
    AnimatedValue *m_badgeHidden;
    bool m_appeared = false;
    bool m_contentVisible = false;
    bool m_pulsing = false;
    bool m_exiting = false;
    int m_modeGeneration = 0;

    ElapsedTimeView *m_elapsedTime = nullptr;
    CircleGlyphButton *m_duplicateButton = nullptr;
    CursorKeyHintFooter *m_footer = nullptr;

    CachedLayer m_glowLayer;
    CachedLayer m_outlineLayer;
    CachedLayer m_borderLayer;
    int m_blurRenders = 0;
    QImage m_badge;
    QString m_badgeKey;

    // The sample text laid out for one width and font.
    QTextLayout m_textLayout;
    QString m_textKey;
};
