#include "fade.h"

#include "uikit/animation.h"

#include <QGraphicsOpacityEffect>
#include <QWidget>

void fadeWidget(QWidget *widget, bool visible, const AnimationTiming &timing)
{
    auto *effect = qobject_cast<QGraphicsOpacityEffect *>(widget->graphicsEffect());
    // A widget not on screen yet simply takes its state: nothing would see the transition.
    if (!widget->window()->isVisible()) {
        widget->setGraphicsEffect(nullptr);
        widget->setVisible(visible);
        return;
    }
    if (!effect) {
        if (widget->isHidden() != visible)
            return;
        effect = new QGraphicsOpacityEffect(widget);
        effect->setOpacity(visible ? 0.0 : 1.0);
        widget->setGraphicsEffect(effect);
    }
    widget->setVisible(true);
    // The effect owns the animation: a fade turned back midway stops the older one, whose end
    // would otherwise settle the widget as that fade wanted.
    for (AnimatedValue *older : effect->findChildren<AnimatedValue *>(Qt::FindDirectChildrenOnly)) {
        older->disconnect();
        older->deleteLater();
    }
    auto *opacity = new AnimatedValue(effect->opacity(), effect);
    QObject::connect(opacity, &AnimatedValue::valueChanged, effect,
                     &QGraphicsOpacityEffect::setOpacity);
    QObject::connect(opacity, &AnimatedValue::finished, widget, [widget, visible] {
        widget->setGraphicsEffect(nullptr);
        widget->setVisible(visible);
    });
    opacity->animateTo(visible ? 1.0 : 0.0, timing);
}
