#include "settingsview.h"

#include "platform/activewindow.h"
#include "platform/captureshield.h"
#include "platform/fonts.h"
#include "platform/motionpreference.h"
#include "settings/notchsettings.h"
#include "settings/palette.h"
#include "settings_screen/appearancetab.h"
#include "settings_screen/generaltab.h"
#include "settings_screen/hiwdemoview.h"
#include "settings_screen/howitworkstabview.h"
#include "settings_screen/notchpreviewcontrolling.h"
#include "settings_screen/settingsscreencontroller.h"
#include "settings_screen/settingswindow.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

namespace {

struct TabInfo
{
    SettingsTab tab;
    const char *titleKey;
    const char *symbol;
};
constexpr TabInfo tabs[] = {{SettingsTab::general, "General", "gearshape.fill"},
                            {SettingsTab::appearance, "Apariencia", "paintpalette.fill"},
                            {SettingsTab::howItWorks, "Cómo funciona", "info.circle.fill"}};

const QColor screenBackground(28, 29, 31);

// A row of the tab list: the tab's symbol in a 20-point column, then its title.
class TabButton : public QAbstractButton
{
public:
    TabButton(const TabInfo &info, QWidget *parent)
        : QAbstractButton(parent)
        , m_symbol(QString::fromLatin1(info.symbol))
    {
        setCheckable(true);
        setFont(Fonts::systemFont(13, QFont::Normal));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        setFixedHeight(QFontMetrics(font()).height() + 14);
        LocalizedText::bind(this, "text", info.titleKey);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (isChecked()) {
            p.setPen(Qt::NoPen);
            p.setBrush(whiteAt(0.08));
            p.drawPath(roundedRectPath(rect(), 6));
        }
        const QColor foreground = isChecked() ? QColor(Qt::white) : whiteAt(0.6);
        Icons::paint(&p, m_symbol, QRectF(10, 0, 20, height()), foreground, 13);
        p.setPen(foreground);
        p.drawText(QRectF(38, 0, width() - 48, height()), Qt::AlignLeft | Qt::AlignVCenter, text());
    }

private:
    QString m_symbol;
};

// "Restablecer todo" with its arrow, small and quiet.
class ResetButton : public QAbstractButton
{
public:
    explicit ResetButton(QWidget *parent)
        : QAbstractButton(parent)
    {
        setFont(Fonts::systemFont(11, QFont::Normal));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        LocalizedText::follow(this, "text", [this] {
            setText(localizedString("Restablecer todo"));
            setFixedSize(11 + 4 + QFontMetrics(font()).horizontalAdvance(text()) + 2, 20);
        });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const QColor secondary = whiteAt(isDown() ? 0.85 : 0.55);
        Icons::paint(&p, QStringLiteral("arrow.counterclockwise"), QRectF(0, 0, 11, height()),
                     secondary, 11);
        p.setPen(secondary);
        p.drawText(rect().adjusted(15, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
};

// "Listo": dark text on a white rounded face.
class DoneButton : public QAbstractButton
{
public:
    explicit DoneButton(QWidget *parent)
        : QAbstractButton(parent)
    {
        setFont(Fonts::systemFont(13, QFont::Medium));
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::TabFocus);
        LocalizedText::follow(this, "text", [this] {
            setText(localizedString("Listo"));
            const QFontMetrics metrics(font());
            setFixedSize(metrics.horizontalAdvance(text()) + 28, metrics.height() + 10);
        });
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(isDown() ? QColor(220, 220, 220) : QColor(Qt::white));
        p.drawPath(roundedRectPath(rect(), 6));
        p.setPen(QColor::fromRgbF(0.1f, 0.1f, 0.1f));
        p.drawText(rect(), Qt::AlignCenter, text());
    }
};

// Whether the window manager's active window is one of the program's.
bool activationIsOurs()
{
    const ActiveWindow::WindowId active = ActiveWindow::system().current();
    if (active == 0)
        return false;
    const QWindowList windows = QGuiApplication::allWindows();
    return std::any_of(windows.cbegin(), windows.cend(), [active](const QWindow *window) {
        return window->handle() && window->winId() == active;
    });
}

QScrollArea *scrolling(QWidget *content, QWidget *parent)
{
    auto *area = new QScrollArea(parent);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    area->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    area->setWidget(content);
    return area;
}

} // namespace

SettingsView::SettingsView(NotchSettings &settings, const SettingsScreenServices &services,
                           QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_window(std::make_unique<WidgetSettingsWindow>(this))
{
    Q_ASSERT(services.dialogs);
    m_controller = new SettingsScreenController(
        settings, services.makePreview ? services.makePreview() : nullptr, *m_window,
        *services.dialogs, services.hotkeyManager, this);
    m_controller->reduceMotion = services.reduceMotion;
    if (!m_controller->reduceMotion) {
        // Asked now, so the desktop's answer is in before "Listo".
        MotionPreference &motion = MotionPreference::system();
        m_controller->reduceMotion = [&motion] { return motion.reduceMotion(); };
    }
    connect(m_controller, &SettingsScreenController::done, this, &SettingsView::done);
    connect(qApp, &QGuiApplication::applicationStateChanged, m_controller,
            [this](Qt::ApplicationState state) {
                // A window manager that moves the sticky preview grabs the keyboard, and Qt
                // calls that leaving the program; only another program's window taking the
                // activation is.
                if (state != Qt::ApplicationActive && activationIsOurs())
                    return;
                m_controller->applicationActiveChanged(state == Qt::ApplicationActive);
            });

    const CaptureShield &shield
        = services.captureShield ? *services.captureShield : CaptureShield::system();
    m_captureShield = &shield;
    m_generalTab = new GeneralTab(settings, shield);
    m_appearanceTab = new AppearanceTab(settings);
    m_howItWorksPage = new QWidget;
    m_pages = new QStackedWidget(this);
    m_pages->addWidget(scrolling(m_generalTab, m_pages));
    m_pages->addWidget(scrolling(m_appearanceTab, m_pages));
    m_pages->addWidget(m_howItWorksPage);

    auto *content = new QVBoxLayout;
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(0);
    content->addWidget(m_pages, 1);
    content->addWidget(buildFooter());

    auto *screen = new QHBoxLayout(this);
    screen->setContentsMargins(0, 0, 0, 0);
    screen->setSpacing(0);
    screen->addWidget(buildSidebar());
    screen->addLayout(content, 1);

    setSelectedTab(SettingsTab::general);
}

SettingsView::~SettingsView()
{
    // The preview goes with the screen, whatever was under way.
    m_controller->disappeared();
}

QWidget *SettingsView::buildSidebar()
{
    auto *sidebar = new QWidget(this);
    sidebar->setFixedWidth(sidebarWidth);
    auto *list = new QVBoxLayout(sidebar);
    list->setContentsMargins(12, 12 + 40, 12, 12);
    list->setSpacing(2);
    for (const TabInfo &info : tabs) {
        auto *button = new TabButton(info, sidebar);
        const SettingsTab tab = info.tab;
        connect(button, &QAbstractButton::clicked, this, [this, tab] { setSelectedTab(tab); });
        m_tabButtons << button;
        list->addWidget(button);
    }
    list->addStretch(1);
    return sidebar;
}

QWidget *SettingsView::buildFooter()
{
    auto *footer = new QWidget(this);
    auto *row = new QHBoxLayout(footer);
    row->setContentsMargins(16, 8, 16, 8);
    m_resetButton = new ResetButton(footer);
    m_doneButton = new DoneButton(footer);
    row->addWidget(m_resetButton);
    row->addStretch(1);
    row->addWidget(m_doneButton);
    connect(m_resetButton, &QAbstractButton::clicked, m_controller,
            &SettingsScreenController::confirmReset);
    connect(m_doneButton, &QAbstractButton::clicked, m_controller,
            &SettingsScreenController::closeSettings);
    return footer;
}

void SettingsView::setSelectedTab(SettingsTab tab)
{
    // Each showing of the how-it-works tab starts its demos afresh, at the first one.
    if (tab == SettingsTab::howItWorks && m_selectedTab != tab) {
        HiwEnvironment environment;
        environment.captureShield = m_captureShield;
        if (m_controller->reduceMotion)
            environment.reduceMotion
                = [query = m_controller->reduceMotion] { return std::optional<bool>(query()); };
        setHowItWorksView(new HowItWorksTabView(environment));
    }
    m_selectedTab = tab;
    m_pages->setCurrentIndex(int(tab));
    for (int i = 0; i < m_tabButtons.size(); ++i)
        m_tabButtons[i]->setChecked(i == int(tab));
}

QWidget *SettingsView::tabPage(SettingsTab tab) const
{
    return m_pages->widget(int(tab));
}

QAbstractButton *SettingsView::tabButton(SettingsTab tab) const
{
    return m_tabButtons.value(int(tab));
}

void SettingsView::setHowItWorksView(QWidget *view)
{
    if (!view)
        return;
    const bool selected = m_selectedTab == SettingsTab::howItWorks;
    const int index = int(SettingsTab::howItWorks);
    m_pages->removeWidget(m_howItWorksPage);
    delete m_howItWorksPage;
    m_howItWorksPage = view;
    m_pages->insertWidget(index, view);
    if (selected)
        m_pages->setCurrentIndex(index);
}

void SettingsView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        m_controller->appeared();
}

void SettingsView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), screenBackground);
    p.fillRect(QRect(0, 0, sidebarWidth, height()), whiteAt(0.03));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(whiteAt(0.08), 0.5));
    p.drawLine(QPointF(sidebarWidth + 0.25, 0), QPointF(sidebarWidth + 0.25, height()));
}
