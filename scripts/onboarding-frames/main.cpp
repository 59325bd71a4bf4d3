// Draws one onboarding clip as raw RGB frames on standard output:
//   onboarding-frames <clip> <width> <height> <frames>
// Clips: "camera" (read near the camera), "keys" (arrow keys move the note), "sharing" (the
// panel during a call), "test" (a moving bar). Frames are a function of their index only, so
// every run writes the same bytes.

#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr double fps = 30;
const QColor teal(0, 216, 191);

double ease(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

void desk(QPainter &p, const QSizeF &size)
{
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(22, 30, 44));
    sky.setColorAt(1, QColor(10, 12, 18));
    p.fillRect(QRectF(QPointF(), size), sky);
    // The screen's top bezel with its camera.
    p.fillRect(QRectF(0, 0, size.width(), 14), QColor(6, 6, 8));
    p.setBrush(QColor(40, 44, 52));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(size.width() / 2, 7), 3.5, 3.5);
}

// The panel hanging from under the camera, with bars for lines of text. `read` is how many
// bars (fractional) have been read; `scroll` moves the lines up.
void panel(QPainter &p, const QSizeF &size, double read, double scroll, double width = 340)
{
    const double height = 132;
    const double left = (size.width() - width) / 2;
    QPainterPath shape;
    shape.moveTo(left, 14);
    shape.quadTo(left + 14, 14, left + 14, 28);
    shape.lineTo(left + 14, 14 + height - 18);
    shape.quadTo(left + 14, 14 + height, left + 32, 14 + height);
    shape.lineTo(left + width - 32, 14 + height);
    shape.quadTo(left + width - 14, 14 + height, left + width - 14, 14 + height - 18);
    shape.lineTo(left + width - 14, 28);
    shape.quadTo(left + width - 14, 14, left + width, 14);
    shape.closeSubpath();
    p.fillPath(shape, Qt::black);
    p.save();
    p.setClipPath(shape);
    const double lengths[] = {0.92, 0.74, 0.86, 0.6, 0.8, 0.7, 0.9, 0.55, 0.84, 0.66};
    for (int i = 0; i < 10; ++i) {
        const double y = 40 + i * 22 - scroll;
        const double w = (width - 76) * lengths[i];
        const double lit = std::clamp(read - i, 0.0, 1.0);
        const QRectF bar(left + 38, y, w, 9);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 60));
        p.drawRoundedRect(bar, 4.5, 4.5);
        if (lit > 0) {
            p.setBrush(QColor(255, 255, 255, 235));
            p.drawRoundedRect(QRectF(bar.left(), y, w * lit, 9), 4.5, 4.5);
        }
    }
    p.restore();
}

void arrowKey(QPainter &p, const QRectF &r, double angle, double pressed)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(48, 52, 60).lighter(100 + int(40 * pressed)));
    p.drawRoundedRect(r.translated(0, 2 * pressed), 8, 8);
    if (pressed > 0) {
        QColor glow = teal;
        glow.setAlphaF(float(0.85 * pressed));
        p.setPen(QPen(glow, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r.translated(0, 2 * pressed).adjusted(1, 1, -1, -1), 8, 8);
    }
    p.translate(r.center() + QPointF(0, 2 * pressed));
    p.rotate(angle);
    QPainterPath arrow;
    arrow.moveTo(0, -9);
    arrow.lineTo(8, 1);
    arrow.lineTo(3, 1);
    arrow.lineTo(3, 9);
    arrow.lineTo(-3, 9);
    arrow.lineTo(-3, 1);
    arrow.lineTo(-8, 1);
    arrow.closeSubpath();
    p.fillPath(arrow, pressed > 0.5 ? teal : QColor(220, 224, 230));
    p.restore();
}

void cameraClip(QPainter &p, const QSizeF &size, double t)
{
    desk(p, size);
    // The camera lights up and its gaze line reaches down to the note.
    const double glow = 0.5 + 0.5 * std::sin(t * 2.2);
    QRadialGradient halo(QPointF(size.width() / 2, 7), 26);
    halo.setColorAt(0, QColor(0, 216, 191, int(90 + 80 * glow)));
    halo.setColorAt(1, QColor(0, 216, 191, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(QPointF(size.width() / 2, 7), 26, 26);
    p.setBrush(teal);
    p.drawEllipse(QPointF(size.width() / 2, 7), 3.5, 3.5);
    const double read = 1.5 * t;
    panel(p, size, read, std::max(0.0, read - 3) * 22);
    // A call window below: the person looking up at the camera.
    const QRectF call(size.width() / 2 - 150, 168, 300, 170);
    p.setBrush(QColor(30, 36, 48));
    p.drawRoundedRect(call, 12, 12);
    p.setBrush(QColor(70, 84, 104));
    p.drawEllipse(QPointF(call.center().x(), call.top() + 58), 26, 26);
    p.drawRoundedRect(QRectF(call.center().x() - 56, call.top() + 92, 112, 90), 40, 40);
    p.setBrush(QColor(230, 236, 244));
    const double look = -2.5 + std::sin(t * 0.8);
    for (const double dx : {-9.0, 9.0})
        p.drawEllipse(QPointF(call.center().x() + dx, call.top() + 54 + look), 3, 3);
}

void keysClip(QPainter &p, const QSizeF &size, double t)
{
    desk(p, size);
    // Down twice, right, up, left: one press every 1.1 s.
    const int sequence[] = {1, 1, 2, 0, 3};
    const double period = 1.1;
    const int step = int(t / period);
    const double within = t - step * period;
    const double press = within < 0.25 ? std::sin(within / 0.25 * M_PI) : 0;
    double scroll = 0;
    double shift = 0;
    for (int i = 0; i < 5 && i <= step; ++i) {
        const double done = i < step ? 1 : ease(within / 0.4);
        switch (sequence[i]) {
        case 0:
            scroll -= 22 * done;
            break;
        case 1:
            scroll += 22 * done;
            break;
        case 2:
            shift += done;
            break;
        case 3:
            shift -= done;
            break;
        }
    }
    p.save();
    p.translate(-shift * 18, 0);
    panel(p, size, 2 + shift * 3, scroll);
    p.restore();
    // Page dots under the panel.
    for (int i = 0; i < 3; ++i) {
        const double near = std::clamp(1 - std::abs(i - shift), 0.0, 1.0);
        p.setBrush(QColor(255, 255, 255, int(70 + 185 * near)));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(size.width() / 2 - 12 + i * 12, 160), 3, 3);
    }
    const QPointF base(size.width() / 2, 200);
    const int active = step < 5 ? sequence[step] : -1;
    const auto pressed = [&](int key) { return key == active ? press : 0.0; };
    arrowKey(p, QRectF(base.x() - 22, base.y(), 44, 40), 0, pressed(0));
    arrowKey(p, QRectF(base.x() - 22, base.y() + 46, 44, 40), 180, pressed(1));
    arrowKey(p, QRectF(base.x() + 28, base.y() + 46, 44, 40), 90, pressed(2));
    arrowKey(p, QRectF(base.x() - 72, base.y() + 46, 44, 40), 270, pressed(3));
}

void sharingClip(QPainter &p, const QSizeF &size, double t)
{
    desk(p, size);
    panel(p, size, 1 + 1.2 * t, std::max(0.0, 1.2 * t - 3) * 22);
    // A call with its sharing badge; the panel stays where it is.
    const QRectF call(24, 150, 200, 118);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 36, 48));
    p.drawRoundedRect(call, 10, 10);
    for (int i = 0; i < 4; ++i) {
        const QRectF tile(call.left() + 10 + (i % 2) * 92, call.top() + 10 + (i / 2) * 52, 86, 46);
        p.setBrush(QColor(54 + 8 * i, 64 + 6 * i, 82));
        p.drawRoundedRect(tile, 6, 6);
        p.setBrush(QColor(96, 110, 134));
        p.drawEllipse(tile.center() - QPointF(0, 4), 10, 10);
    }
    const double blink = 0.5 + 0.5 * std::sin(t * 4);
    p.setBrush(QColor(255, 69, 58, int(120 + 135 * blink)));
    p.drawEllipse(QPointF(call.left() + 14, call.bottom() + 18), 5, 5);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawRoundedRect(QRectF(call.left() + 26, call.bottom() + 14, 80, 8), 4, 4);
    // The shared screen, mirrored small at the right: what the others see.
    const QRectF shared(size.width() - 224, 150, 200, 118);
    p.setBrush(QColor(16, 20, 28));
    p.drawRoundedRect(shared, 8, 8);
    p.setPen(QPen(QColor(255, 69, 58, 200), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(shared.adjusted(1, 1, -1, -1), 8, 8);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 40));
    for (int i = 0; i < 4; ++i)
        p.drawRoundedRect(QRectF(shared.left() + 16, shared.top() + 20 + i * 20, 120 - 18 * i, 7),
                          3.5, 3.5);
}

void testClip(QPainter &p, const QSizeF &size, double t)
{
    p.fillRect(QRectF(QPointF(), size), QColor(10, 12, 18));
    p.fillRect(QRectF(t * size.width() - 8, 0, 16, size.height()), teal);
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication::setAttribute(Qt::AA_Use96Dpi);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: onboarding-frames <clip> <width> <height> <frames>\n");
        return 2;
    }
    const char *clip = argv[1];
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    const int frames = std::atoi(argv[4]);
    const QSizeF size(width, height);
    for (int i = 0; i < frames; ++i) {
        QImage image(width, height, QImage::Format_RGB888);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const double t = i / fps;
        if (!std::strcmp(clip, "camera"))
            cameraClip(painter, size, t);
        else if (!std::strcmp(clip, "keys"))
            keysClip(painter, size, t);
        else if (!std::strcmp(clip, "sharing"))
            sharingClip(painter, size, t);
        else
            testClip(painter, size, double(i) / std::max(frames - 1, 1));
        painter.end();
        for (int y = 0; y < height; ++y)
            std::fwrite(image.constScanLine(y), 1, size_t(width) * 3, stdout);
    }
    return 0;
}
