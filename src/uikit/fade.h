#pragma once

class QWidget;
struct AnimationTiming;

// Shows or hides a widget with an opacity transition. A widget that is shown ends without any
// effect installed, so it paints as fast as before; a hidden one ends hidden.
void fadeWidget(QWidget *widget, bool visible, const AnimationTiming &timing);
