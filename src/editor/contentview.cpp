#include "contentview.h"

#include "document/dialogs.h"
#include "editor/aboutview.h"
#include "editor/coachmarkoverlay.h"
#include "editor/editorpane.h"
#include "editor/editortoolbar.h"
#include "editor/highlightingtexteditor.h"
#include "editor/model/editorcontroller.h"
#include "editor/pagessidebar.h"
#include "onboarding/onboardingwidget.h"
#include "settings/localization.h"
#include "settings/notchsettings.h"
#include "uikit/animation.h"
#include "uikit/fade.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The settings screen moves in and out with this spring.
AnimationTiming settingsTransition()
{
    return AnimationTiming::springCurve(0.35, 0.9);
}

constexpr int settingsInsertionOffset = 16;
constexpr double settingsRemovalScale = 0.98;
constexpr int settingsPreviewExitMs = 500;

// A picture of the closing settings screen that shrinks a little about its centre as it fades.
class LeavingPicture : public QWidget
{
public:
    LeavingPicture(const QPixmap &picture, QWidget *parent)
        : QWidget(parent)
        , m_picture(picture)
        , m_progress(new AnimatedValue(0, this))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        connect(m_progress, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
        connect(m_progress, &AnimatedValue::finished, this, &QObject::deleteLater);
    }

    void start() { m_progress->animateTo(1, settingsTransition()); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const double t = std::clamp(m_progress->value(), 0.0, 1.0);
        QPainter p(this);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.setOpacity(1 - t);
        const double scale = 1 - (1 - settingsRemovalScale) * t;
        const QPointF centre = QRectF(rect()).center();
        p.translate(centre);
        p.scale(scale, scale);
        p.translate(-centre);
        p.drawPixmap(rect(), m_picture);
    }

private:
    QPixmap m_picture;
    AnimatedValue *m_progress;
};

} // namespace

ContentView::ContentView(EditorController &controller, BrivelService &service, Dialogs &dialogs,
                         QWidget *parent)
    : QStackedWidget(parent)
    , m_controller(controller)
    , m_dialogs(dialogs)
{
    m_editor = new QWidget(this);
    // The detail column's own dark face, a shade apart from the window's material.
    m_editor->setAutoFillBackground(true);
    QPalette detail = m_editor->palette();
    detail.setColor(QPalette::Window, QColor(28, 29, 31));
    m_editor->setPalette(detail);
    auto *column = new QVBoxLayout(m_editor);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *toolbar = new EditorToolbar(controller, service, m_editor);
    auto *pane = new EditorPane(controller, service, m_editor);
    column->addWidget(toolbar);
    column->addWidget(pane, 1);
    // The editor is the pages sidebar, on the window's material, beside that detail column.
    QWidget *detailColumn = m_editor;
    m_editor = new QWidget(this);
    auto *split = new QHBoxLayout(m_editor);
    split->setContentsMargins(0, 0, 0, 0);
    split->setSpacing(0);
    split->addWidget(new PagesSidebar(controller, service, m_editor));
    split->addWidget(detailColumn, 1);
    // The first-run tour, over the whole editor page.
    new CoachMarkOverlay(controller,
                         {pane->editor(), toolbar->settingsButton(), pane->playButton()}, m_editor);
    addWidget(m_editor);
    // The onboarding exists only while it is shown: a completed one costs nothing at start-up.
    if (m_controller.showOnboarding()) {
        m_onboarding = new OnboardingWidget(
            NotchSettings::shared(), [this] { m_controller.onboardingCompleted(); }, this);
        addWidget(m_onboarding);
    }

    connect(&controller, &EditorController::showOnboardingChanged, this,
            &ContentView::showCurrentPage);
    connect(&controller, &EditorController::pendingDeleteIndexChanged, this,
            &ContentView::askToDelete);
    connect(&controller, &EditorController::dropErrorChanged, this, &ContentView::showDropError);
    m_settingsServices.dialogs = &dialogs;
    connect(&controller, &EditorController::showSettingsChanged, this,
            &ContentView::showOrHideSettings);
    m_editor->installEventFilter(this);
    connect(&controller, &EditorController::showAboutChanged, this, &ContentView::presentAbout);
    showCurrentPage();
}

void ContentView::setSettingsScreenServices(const SettingsScreenServices &services)
{
    m_settingsServices = services;
    if (!m_settingsServices.dialogs)
        m_settingsServices.dialogs = &m_dialogs;
}

bool ContentView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::Resize) {
        if (m_settingsView)
            m_settingsView->setGeometry(m_editor->rect());
        if (m_settingsLeaving)
            m_settingsLeaving->setGeometry(m_editor->rect());
    }
    return QStackedWidget::eventFilter(watched, event);
}

void ContentView::showOrHideSettings()
{
    if (m_controller.showSettings() && !m_settingsView) {
        auto *view = new SettingsView(m_controller.settings(), m_settingsServices, m_editor);
        m_settingsView = view;
        connect(view, &SettingsView::done, &m_controller, &EditorController::dismissSettings);
        setEditorBeneathEnabled(false);
        // It rises 16 points into place as it fades in.
        view->setGeometry(m_editor->rect().translated(0, settingsInsertionOffset));
        view->raise();
        auto *rise = new AnimatedValue(settingsInsertionOffset, view);
        connect(rise, &AnimatedValue::valueChanged, view,
                [view](double offset) { view->move(0, qRound(offset)); });
        connect(rise, &AnimatedValue::finished, rise, &QObject::deleteLater);
        view->hide();
        fadeWidget(view, true, settingsTransition());
        rise->animateTo(0, settingsTransition());
        view->setFocusPolicy(Qt::StrongFocus);
        view->setFocus();
    } else if (!m_controller.showSettings() && m_settingsView) {
        SettingsView *view = m_settingsView;
        m_settingsView = nullptr;
        setEditorBeneathEnabled(true);
        if (isVisible()) {
            auto *picture = new LeavingPicture(view->grab(), m_editor);
            picture->setGeometry(m_editor->rect());
            picture->show();
            picture->raise();
            m_settingsLeaving = picture;
            picture->start();
        }
        view->hide();
        // The preview it owns plays out its exit before it goes with it.
        QTimer::singleShot(settingsPreviewExitMs, view, &QObject::deleteLater);
        m_controller.setIsTextFocused(true);
    }
}

void ContentView::setEditorBeneathEnabled(bool enabled)
{
    for (QObject *child : m_editor->children()) {
        auto *widget = qobject_cast<QWidget *>(child);
        if (widget && !qobject_cast<SettingsView *>(widget) && widget != m_settingsLeaving)
            widget->setEnabled(enabled);
    }
}

void ContentView::showEvent(QShowEvent *event)
{
    QStackedWidget::showEvent(event);
    // The window is laid out but not yet on screen: its size is set before anyone sees it.
    applyWindowStyle();
    if (!m_controller.showOnboarding())
        m_controller.initialSetup();
}

void ContentView::showCurrentPage()
{
    const bool editor = !m_controller.showOnboarding();
    if (editor && m_onboarding) {
        // The completion runs inside one of the onboarding's own handlers.
        removeWidget(m_onboarding);
        m_onboarding->deleteLater();
        m_onboarding = nullptr;
    }
    setCurrentWidget(editor || !m_onboarding ? m_editor : m_onboarding.data());
    if (!isVisible())
        return;
    applyWindowStyle();
    if (editor)
        m_controller.initialSetup();
}

void ContentView::applyWindowStyle()
{
    QWidget *window = this->window();
    if (m_controller.showOnboarding()) {
        setFixedSize(firstRunSize);
        if (window == this)
            return;
        // The window's own parts, its menu bar, come on top of the view; the window keeps its
        // centre and cannot be resized.
        const QSize size = window->sizeHint();
        const QSize before = window->size();
        window->setFixedSize(size);
        if (before != size) {
            window->move(window->pos()
                         + QPoint((before.width() - size.width()) / 2,
                                  (before.height() - size.height()) / 2));
        }
        return;
    }
    // An explicit minimum: the widgets' own minimums, a long title among them, never add to it.
    setMinimumSize(editorMinimumSize);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (window != this) {
        window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        window->setMinimumSize(window->minimumSizeHint());
    }
}

void ContentView::askToDelete()
{
    if (!m_controller.pendingDeleteIndex() || m_askingToDelete)
        return;
    const QScopedValueRollback asking(m_askingToDelete, true);
    const bool confirmed = m_dialogs.confirmDestructive(
        localizedString("¿Eliminar esta página?"),
        localizedString("Se perderá el contenido de esta página."), localizedString("Eliminar"));
    if (confirmed)
        m_controller.confirmDeletePage();
    else
        m_controller.cancelDeletePage();
    m_controller.setIsTextFocused(true);
}

void ContentView::showDropError()
{
    const std::optional<QString> error = m_controller.dropError();
    if (!error || m_showingDropError)
        return;
    const QScopedValueRollback showing(m_showingDropError, true);
    m_dialogs.alert(m_controller.dropAlertTitle(), *error);
    m_controller.setDropError(std::nullopt);
}

void ContentView::presentAbout()
{
    if (!m_controller.showAbout()) {
        if (m_about)
            m_about->close();
        return;
    }
    if (m_about)
        return;
    m_about = new AboutView(window());
    m_about->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_about, &QDialog::finished, this, [this] { m_controller.setShowAbout(false); });
    m_about->open();
}
