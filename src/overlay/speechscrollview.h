#pragma once

#include "overlay/wordflowlayout.h"

#include <QHash>
#include <QImage>
#include <QTimer>
#include <QWidget>
#include <QtNumeric>

#include <limits>

class AnimatedValue;
class ScrollWheelCapture;

// The reading area of every overlay view: one page as flowing words, styled read, unread or
// cue, slid vertically so that the reading position stays in view. The reader moves the text
// with the wheel and the arrow keys and jumps by tapping a word. It owns no model: callers
// give it the page and the position and hear back through the signals.
//
// Two ways to give the position: character mode, a count of characters read (words are
// styled read or unread and the current line is centred); smooth mode, a fractional word index
// (nothing is styled read, and the position glides 20 points above the bottom edge).
class SpeechScrollView : public QWidget
{
    Q_OBJECT

public:
    explicit SpeechScrollView(QWidget *parent = nullptr);
    ~SpeechScrollView() override;

    // The counts of the words may come with them, from a model that holds them for the page; a
    // view given none counts them itself.
    void setWords(const QStringList &words, const QSet<int> &lineBreaks,
                  const WordCharOffsets &offsets = WordCharOffsets());
    void setHighlightedCharCount(int count);
    void setScriptFont(const QFont &font);
    void setHighlightColor(const QColor &color);
    void setCueColor(const QColor &color);
    void setCueOpacities(double unread, double read);
    void setSmoothScroll(bool smooth);
    void setSmoothWordProgress(double progress);
    void setListening(bool listening);
    void setArrowScrollDelta(double delta);
    void setTopAligned(bool topAligned);
    // An opaque colour behind the words that the view paints itself, so that nothing behind it
    // is painted again at every frame; by default the words lie on whatever is behind.
    void setBackground(const QColor &color);

    int highlightedCharCount() const { return m_highlightedCharCount; }
    bool smoothScroll() const { return m_smoothScroll; }
    double smoothWordProgress() const { return m_smoothWordProgress; }
    bool isListening() const { return m_isListening; }
    double arrowScrollDelta() const { return m_arrowScrollDelta; }
    bool topAligned() const { return m_topAligned; }

    // The automatic offset and the reader's offset on top of it, as they stand now (mid-way
    // through an animation, the current value).
    double scrollOffset() const;
    double manualOffset() const;
    // Where the two offsets are heading.
    double targetScrollOffset() const;
    double targetManualOffset() const;
    double containerHeight() const { return m_containerHeight; }
    bool isUserScrolling() const { return m_isUserScrolling; }

    // Where the text rests before anything is read.
    double restingOffset() const;
    // How far the reader may move the text: [lower, upper]. The page is laid out only as far
    // as an offset of `reach` shows it: a lower bound beyond reach comes back as one below it.
    std::pair<double, double> manualRange(double reach = -qInf()) const;
    // The fractional word index at the middle of the viewport.
    double progressAtViewportCenter() const;
    const WordFlowLayout &layout() const { return m_layout; }

    // Wheel input, as the capture reports it; public so the behaviour is testable directly.
    void applyWheelDelta(double delta);
    void endWheelGesture();

    QSize sizeHint() const override;

Q_SIGNALS:
    // The tapped word's character offset.
    void wordTapped(int charOffset);
    // Smooth mode while listening: (true, 0) when a wheel gesture starts, (false, the word
    // progress at the viewport centre) when it ends.
    void manualScroll(bool scrolling, double wordProgress);
    // An arrow request had to be clamped to the range; this is the value it got.
    void arrowScrollClamped(double delta);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void follow();
    void refreshLayout();
    void paintLines(QPainter &painter);
    int readWordsOn(int line) const;
    void forgetLineImages();
    void setScrollOffset(double offset);
    void containerHeightChanged(double height);
    double totalOffset() const;
    qint64 offsetInDevicePixels(qreal ratio) const;

    WordFlowLayout m_layout;
    WordStyle m_style;
    int m_highlightedCharCount = 0;
    bool m_smoothScroll = false;
    double m_smoothWordProgress = 0;
    bool m_isListening = false;
    double m_arrowScrollDelta = 0;
    bool m_topAligned = false;

    AnimatedValue *m_scrollOffset = nullptr;
    AnimatedValue *m_manualOffset = nullptr;
    double m_containerHeight = 0;
    bool m_isUserScrolling = false;
    // Positions are known once the page has been laid out at a real width.
    bool m_positionsKnown = false;
    int m_pressedWord = -1;

    ScrollWheelCapture *m_wheel = nullptr;
    QColor m_background;
    QImage m_buffer;
    // Each line on screen as last drawn, with the number of its words then read: a frame of the
    // glide moves pictures of lines instead of drawing their text again, which a large font or a
    // colour emoji font makes costly.
    struct LineImage
    {
        QImage image;
        int readWords = 0;
        // The region of the image that holds ink, in its pixels.
        QRect ink;
    };
    QHash<int, LineImage> m_lineImages;
    // The offset the last frame showed, in device pixels.
    qint64 m_paintedOffset = std::numeric_limits<qint64>::min();
    // The fade at the top and bottom edges over an opaque background, made once per size.
    QImage m_veil;
    // Lays the rest of a long page out a slice at a time, between frames and calls.
    QTimer m_layoutRest;
};
