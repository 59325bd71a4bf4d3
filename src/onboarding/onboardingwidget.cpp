#include "onboardingwidget.h"

#include "onboarding/carouselpage.h"
#include "onboarding/celebrationpage.h"
#include "onboarding/herovideoview.h"
#include "onboarding/invisibilitypage.h"
#include "onboarding/languagepage.h"
#include "onboarding/personalizepage.h"
#include "onboarding/tutorialnotchcontent.h"
#include "onboarding/tutorialpage.h"
#include "onboarding/welcomepage.h"
#include "platform/captureshield.h"
#include "platform/permissions.h"
#include "platform/screens.h"
#include "settings/notchsettings.h"
#include "settings_screen/settingswindow.h"
#include "speech/speechrecognizer.h"
#include "uikit/animation.h"
#include "uikit/fade.h"

#include <QResizeEvent>

using Step = OnboardingFlow::Step;

const QList<OnboardingPage> &OnboardingPage::introPages()
{
    static const QList<OnboardingPage> pages{
        {"Screen 3 Onboarding", "Leé mirando a cámara",
         "Mantené contacto visual mientras tu nota queda justo debajo de la webcam."},
        {"Screen 2 Onboarding", "Controlá con teclas",
         "Movete por tus notas con las flechas del teclado."},
        {"Screen 4 Onboarding", "Invisible al compartir pantalla",
         "Tu nota es visible solo para vos, invisible al compartir pantalla."},
    };
    return pages;
}

// The widget

OnboardingWidget::OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                                   QWidget *parent)
    : OnboardingWidget(settings, std::move(onComplete), Options{}, parent)
{}

OnboardingWidget::OnboardingWidget(NotchSettings &settings, std::function<void()> onComplete,
                                   const Options &options, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_options(options)
    , m_flow(new OnboardingFlow(settings, this))
{
    if (!m_options.playerFactory)
        m_options.playerFactory = &MediaHeroPlayer::fromBundle;
    if (!m_options.captureShield)
        m_options.captureShield = &CaptureShield::system();
    if (!m_options.screens)
        m_options.screens = &Screens::system();
    if (!m_options.tutorialPanelFactory)
        m_options.tutorialPanelFactory
            = OverlayTutorialPanel::factory(settings, *m_options.captureShield);
    if (!m_options.window) {
        m_ownWindow = std::make_unique<WidgetSettingsWindow>(this);
        m_options.window = m_ownWindow.get();
    }
    if (!m_options.permissions)
        m_options.permissions = &Permissions::system();
    if (!m_options.makeRecognizer)
        m_options.makeRecognizer = [] { return std::make_unique<SpeechRecognizer>(); };
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    m_welcome = new WelcomePage(*m_flow, this);
    m_language = new LanguagePage(*m_flow, settings, this);
    m_carousel = new CarouselPage(*m_flow, m_options, m_heroes, this);
    m_celebration = new CelebrationPage(*m_flow, m_options.captureShield->isSupported(), this);

    // The practice steps: the preview beside the appearance page, the tutorial panel from the
    // tutorial to the end of the invisibility demo.
    m_preview
        = new NotchPreviewController(*m_options.screens, *m_options.captureShield, nullptr, this);
    if (m_options.previewWindowFactory)
        m_preview->setWindowFactory(m_options.previewWindowFactory);
    m_tutorialNotch = new TutorialNotchController(*m_options.screens, *m_options.captureShield,
                                                  m_options.tutorialPanelFactory, this);
    m_practice = new TutorialPractice(*m_tutorialNotch, *m_options.permissions,
                                      m_options.makeRecognizer, this);
    m_personalize = new PersonalizePage(*m_flow, settings, *m_options.captureShield, this);
    m_tutorial = new TutorialPage(*m_flow, *m_practice, this);
    m_invisibility
        = new InvisibilityPage(*m_flow, *m_tutorialNotch, *m_options.captureShield, this);
    m_flow->setPersonalizePreviewChanged([this](bool shown) {
        if (shown) {
            m_preview->show(m_settings, true, true);
            keepWindowClearOfPreview();
        } else {
            m_preview->tearDown();
        }
    });
    connect(&settings, &NotchSettings::textAreaHeightChanged, this,
            &OnboardingWidget::keepWindowClearOfPreview);
    m_flow->setOrderOutTutorialPanel([this] { m_tutorialNotch->closePanel(); });

    for (QWidget *page :
         {m_language, static_cast<QWidget *>(m_carousel), static_cast<QWidget *>(m_celebration),
          static_cast<QWidget *>(m_personalize), static_cast<QWidget *>(m_tutorial),
          static_cast<QWidget *>(m_invisibility)})
        page->hide();
    m_shown = m_welcome;

    m_flow->setOnComplete(std::move(onComplete));
    m_flow->setPreloadFirstVideo([this] { preloadFirstVideo(); });
    connect(m_flow, &OnboardingFlow::stepChanged, this, &OnboardingWidget::showStep);
}

OnboardingWidget::~OnboardingWidget()
{
    stopEveryPlayer();
    // Nothing of the flow outlives it: no key filter, no preview, no tutorial panel.
    m_tutorial->leave();
    m_preview->tearDown();
    m_tutorialNotch->closePanel();
}

void OnboardingWidget::stopEveryPlayer()
{
    m_carousel->stopPlayback();
    if (m_preloaded)
        m_preloaded->stop();
    m_preloaded.reset();
}

// The preview hangs over the top of its screen: the window keeps below it, as the settings
// screen's does.
void OnboardingWidget::keepWindowClearOfPreview()
{
    const std::optional<ScreenInfo> screen = m_preview->screen();
    if (m_preview->panel() && screen)
        m_options.window->keepClearOfPreview(*screen, m_settings.textAreaHeight(),
                                             SettingsWindow::Motion::window);
}

QWidget *OnboardingWidget::page(Step step) const
{
    switch (step) {
    case Step::welcome:
        return m_welcome;
    case Step::languagePicker:
        return m_language;
    case Step::introCarousel:
        return m_carousel;
    case Step::celebration:
        return m_celebration;
    case Step::personalize:
        return m_personalize;
    case Step::tutorial:
        return m_tutorial;
    case Step::invisibility:
        return m_invisibility;
    }
    return nullptr;
}

void OnboardingWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    for (QWidget *page :
         {m_welcome, m_language, static_cast<QWidget *>(m_carousel),
          static_cast<QWidget *>(m_celebration), static_cast<QWidget *>(m_personalize),
          static_cast<QWidget *>(m_tutorial), static_cast<QWidget *>(m_invisibility)})
        page->setGeometry(rect());
}

void OnboardingWidget::preloadFirstVideo()
{
    const QList<OnboardingPage> &pages = OnboardingPage::introPages();
    if (pages.isEmpty() || m_preloaded)
        return;
    m_preloaded = m_options.playerFactory(QString::fromUtf8(pages.first().heroVideo));
    if (!m_preloaded)
        return;
    // Nobody shows its frames until the carousel does.
    m_preloaded->setFrameGate([] { return false; });
    m_preloaded->restart();
    m_carousel->setPreloaded(m_preloaded.get());
}

void OnboardingWidget::showStep(Step step)
{
    // The practice pages hand their panel and keys over as they come and go.
    const Step left = std::exchange(m_step, step);
    if (left == Step::tutorial && step != Step::tutorial)
        m_tutorial->leave();
    if (left == Step::invisibility && step != Step::invisibility)
        m_invisibility->leave();
    if (step == Step::tutorial && left != Step::tutorial)
        m_tutorial->enter();
    if (step == Step::invisibility && left != Step::invisibility)
        m_invisibility->enter();
    QWidget *next = page(step);
    const AnimationTiming fade = AnimationTiming::easeInOut(crossFadeSeconds);
    if (next != m_carousel)
        m_carousel->stopPlayback();
    else if (!m_flow->isExiting())
        m_carousel->startPlayback();
    if (m_shown && m_shown != next)
        fadeWidget(m_shown, false, fade);
    if (next) {
        next->raise();
        fadeWidget(next, true, fade);
    }
    m_shown = next;
    if (step == Step::celebration)
        m_celebration->appear();
}
