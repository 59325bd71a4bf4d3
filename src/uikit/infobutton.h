#pragma once

#include <QAbstractButton>
#include <QPointer>

#include <functional>

class QLabel;

// The small "i" beside a setting's label. A click opens a popup under it with a short
// explanation; a click on the same button, Esc or a click elsewhere closes it. Only one popup
// is ever open: a click on another info button closes the first and opens its own.
class InfoButton : public QAbstractButton
{
    Q_OBJECT

public:
    static constexpr int maximumTextWidth = 220;

    // `text` is asked each time the popup opens, so it may follow the setting it explains.
    explicit InfoButton(std::function<QString()> text, QWidget *parent = nullptr);
    ~InfoButton() override;

    bool isPopupOpen() const;
    // The open popup, or null.
    QWidget *popup() const;
    void openPopup();
    void closePopup();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::function<QString()> m_text;
    QPointer<QWidget> m_popup;
};
