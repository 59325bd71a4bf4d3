#pragma once

#include "hiwenvironment.h"
#include "hiwphase.h"

#include <QPointer>
#include <QWidget>

class HiwDemoView;
class QScrollArea;

// The settings' how-it-works tab: a selector of the three demos, the chosen demo on a stage
// scaled to the room offered, and a caption about it, in a scroll area. It starts at the
// arrows demo; choosing another demo replaces the stage (and its timers) with a fresh one.
class HowItWorksTabView : public QWidget
{
    Q_OBJECT

public:
    explicit HowItWorksTabView(HiwEnvironment environment = {}, QWidget *parent = nullptr);
    ~HowItWorksTabView() override;

    HiwTab tab() const { return m_tab; }
    // Shows the demo; choosing the one shown changes nothing.
    void setTab(HiwTab tab);
    // The demo on the stage now.
    HiwDemoView *demo() const { return m_demo; }

    // The stage's width for the width offered to the tab, and its scale.
    static double stageWidthFor(double offeredWidth);
    static double scaleFor(double offeredWidth) { return stageWidthFor(offeredWidth) / 520; }

    // Widget pieces, for tests and the settings screen's layout.
    QWidget *selector() const { return m_selector; }
    QWidget *caption() const { return m_caption; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void relayout();

    HiwEnvironment m_environment;
    HiwTab m_tab = HiwTab::arrows;
    QScrollArea *m_scroll = nullptr;
    QWidget *m_content = nullptr;
    QWidget *m_selector = nullptr;
    QWidget *m_caption = nullptr;
    QPointer<HiwDemoView> m_demo;
};
