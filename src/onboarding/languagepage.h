#pragma once

#include <QWidget>

class NotchSettings;
class OnboardingFlow;

// The language step: its header and the two language cards, the stored language's selected.
class LanguagePage : public QWidget
{
public:
    LanguagePage(OnboardingFlow &flow, NotchSettings &settings, QWidget *parent);
};
