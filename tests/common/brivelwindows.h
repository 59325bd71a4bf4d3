#pragma once

// What a test of the real program sees of it on the X server: its windows on screen, their
// window-manager state, and screenshots. Needs xdotool, xprop and ImageMagick's import.

#include "common/xvfb.h"

#include <QImage>
#include <QMap>

#include <optional>

namespace TestSupport {

struct ShownWindow
{
    QString id;
    QString name;
    QRect geometry;
};

// The program's windows that are on screen now.
inline QList<ShownWindow> shownWindows()
{
    // Not through xdotool(): an empty result is an exit code of 1, not a failure here.
    QProcess search;
    search.start(QStringLiteral("xdotool"),
                 {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                  QStringLiteral("--classname"), QStringLiteral("brivel")});
    search.waitForFinished(10000);
    QList<ShownWindow> windows;
    for (const QByteArray &id : search.readAllStandardOutput().split('\n')) {
        if (id.trimmed().isEmpty())
            continue;
        QByteArray name;
        QByteArray shell;
        if (!xdotool({QStringLiteral("getwindowname"), QString::fromLatin1(id)}, &name)
            || !xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"),
                         QString::fromLatin1(id)},
                        &shell))
            continue;
        QMap<QByteArray, int> values;
        for (const QByteArray &line : shell.split('\n')) {
            const QList<QByteArray> pair = line.split('=');
            if (pair.size() == 2)
                values.insert(pair[0], pair[1].toInt());
        }
        windows.append({QString::fromLatin1(id.trimmed()), QString::fromUtf8(name.trimmed()),
                        QRect(values.value("X"), values.value("Y"), values.value("WIDTH"),
                              values.value("HEIGHT"))});
    }
    return windows;
}

inline std::optional<ShownWindow> mainWindow()
{
    for (const ShownWindow &window : shownWindows()) {
        if (window.name == QStringLiteral("Brivel") && window.geometry.width() >= 600)
            return window;
    }
    return std::nullopt;
}

// The reading panel hangs from the top edge of the screen.
inline std::optional<ShownWindow> readingPanel()
{
    for (const ShownWindow &window : shownWindows()) {
        if (window.geometry.top() == 0 && window.geometry.width() < 600)
            return window;
    }
    return std::nullopt;
}

// "Normal", "Iconic" or "Withdrawn", as the window manager keeps it in the window's WM_STATE.
inline QString windowManagerState(const QString &id)
{
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), id, QStringLiteral("WM_STATE")});
    xprop.waitForFinished(10000);
    const QString output = QString::fromLatin1(xprop.readAllStandardOutput());
    const qsizetype at = output.indexOf(QStringLiteral("window state: "));
    return at < 0 ? QString() : output.mid(at + 14).section(u'\n', 0, 0).trimmed();
}

inline QImage grab(const QRect &area = QRect(0, 0, 1280, 800))
{
    QProcess import;
    import.start(QStringLiteral("import"),
                 {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("-crop"),
                  QStringLiteral("%1x%2+%3+%4")
                      .arg(area.width())
                      .arg(area.height())
                      .arg(area.x())
                      .arg(area.y()),
                  QStringLiteral("png:-")});
    import.waitForFinished(10000);
    return QImage::fromData(import.readAllStandardOutput(), "PNG")
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace TestSupport
