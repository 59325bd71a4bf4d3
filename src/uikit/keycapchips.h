#pragma once

#include <QStringList>
#include <QWidget>

// Key caps for a few keys ("←", "→") followed by a short caption, such as the arrow rows of the
// settings show. The key labels are shown as given; the caption is a looked-up text.
class KeyCapChips : public QWidget
{
    Q_OBJECT

public:
    static constexpr int chipSide = 22;
    static constexpr int spacing = 3;

    // `captionKey` is a string literal.
    KeyCapChips(const QStringList &keys, const char *captionKey, QWidget *parent = nullptr);

    QStringList keys() const { return m_keys; }
    QString caption() const { return m_caption; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QStringList m_keys;
    QString m_caption;
    QFont m_chipFont;
    QFont m_captionFont;
};
