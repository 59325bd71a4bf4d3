#pragma once

#include <QColor>
#include <QWidget>

// The translucent backdrop behind the panels while the glass setting is on. Without a
// compositor nothing behind the window can be blurred, so it is a semi-opaque fill of the
// heads-up material's tone. It never dims with the window's activation and takes no input.
class GlassEffectView : public QWidget
{
    Q_OBJECT

public:
    explicit GlassEffectView(QWidget *parent = nullptr);

    // For owners that clip the backdrop to an outline and fill that outline themselves.
    static QColor materialColor();

protected:
    void paintEvent(QPaintEvent *event) override;
};
