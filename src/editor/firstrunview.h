#pragma once

#include <QWidget>

#include <functional>

// What the editor shows before onboarding is complete. The onboarding flow replaces it; until
// then it welcomes the user and hands over to the editor with its completion.
class FirstRunView : public QWidget
{
    Q_OBJECT

public:
    explicit FirstRunView(std::function<void()> onComplete, QWidget *parent = nullptr);

private:
    std::function<void()> m_onComplete;
};
