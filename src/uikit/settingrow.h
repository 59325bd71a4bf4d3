#pragma once

#include <QWidget>

class QLabel;

// One row of a settings card: the label, an optional info button beside it, a flexible space
// and the row's control at the trailing edge, then a faint divider under the row unless it is
// turned off. The label is a looked-up text that follows the interface language.
class SettingRow : public QWidget
{
    Q_OBJECT

public:
    enum class ControlWidth {
        fixed,   // exactly controlWidth points
        flexible // whatever the label leaves
    };

    static constexpr int controlWidth = 200;
    static constexpr int minimumLineHeight = 42;

    // `labelKey` is a string literal.
    SettingRow(const char *labelKey, QWidget *control, ControlWidth width = ControlWidth::fixed,
               QWidget *infoButton = nullptr, QWidget *parent = nullptr);

    QLabel *label() const { return m_label; }
    QWidget *control() const { return m_control; }
    bool isDividerVisible() const { return m_dividerVisible; }
    void setDividerVisible(bool visible);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QLabel *m_label;
    QWidget *m_control;
    bool m_dividerVisible = true;
};
