#pragma once

#include <QAbstractButton>

class NotchSettings;

// The page indicator's "doc.text" button in the overlay footers. With the title, it shows the
// symbol and the page's title, and a click turns the page numbers on; without it (beside the
// page tabs) it shows the symbol alone, and a click turns them off again.
class PageTitleToggle : public QAbstractButton
{
    Q_OBJECT

public:
    explicit PageTitleToggle(NotchSettings &settings, QWidget *parent = nullptr);

    bool showsTitle() const { return m_showsTitle; }
    void setShowsTitle(bool showsTitle);
    // The page's title is the button's text (setText).

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void refreshToolTip();

    NotchSettings &m_settings;
    bool m_showsTitle = true;
};
