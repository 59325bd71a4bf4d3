#pragma once

#include <QWidget>

class QVBoxLayout;

// The rounded, faintly lit card that holds the rows of a settings tab.
class SettingsCard : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsCard(QWidget *parent = nullptr);

    void addRow(QWidget *row);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QVBoxLayout *m_rows;
};

// A hairline between the sections of a tab.
class SettingsDivider : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsDivider(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
