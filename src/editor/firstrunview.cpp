#include "firstrunview.h"

#include "platform/fonts.h"
#include "uikit/localizedtext.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

FirstRunView::FirstRunView(std::function<void()> onComplete, QWidget *parent)
    : QWidget(parent)
    , m_onComplete(std::move(onComplete))
{
    auto *title = new QLabel(this);
    LocalizedText::bind(title, "text", "Bienvenido a Brivel");
    title->setFont(Fonts::systemFont(28, QFont::Bold));
    title->setAlignment(Qt::AlignCenter);
    auto *start = new QPushButton(this);
    LocalizedText::bind(start, "text", "Empezar");
    start->setObjectName(QStringLiteral("startButton"));
    start->setDefault(true);
    // The completion runs once, however often the button is pressed.
    connect(start, &QPushButton::clicked, this, [this] {
        if (auto complete = std::exchange(m_onComplete, {}))
            complete();
    });

    auto *layout = new QVBoxLayout(this);
    layout->addStretch();
    layout->addWidget(title);
    layout->addSpacing(24);
    layout->addWidget(start, 0, Qt::AlignHCenter);
    layout->addStretch();
}
