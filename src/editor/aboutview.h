#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About sheet: the application icon, name, version, a line on what Brivel does and the
// credits, closed by "OK", Return or Esc. Window-modal over the window it belongs to.
class AboutView : public QDialog
{
    Q_OBJECT

public:
    static constexpr int sheetWidth = 320;
    static constexpr int iconSide = 80;

    explicit AboutView(QWidget *parent = nullptr);

    // The application's version; "1.0" when it has none.
    static QString versionText();

    QLabel *versionLabel() const { return m_version; }
    QPushButton *okButton() const { return m_ok; }
    QWidget *iconView() const { return m_icon; }

private:
    void fitHeight();

    QWidget *m_icon = nullptr;
    QLabel *m_version = nullptr;
    QPushButton *m_ok = nullptr;
};
