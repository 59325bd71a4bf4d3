#include "overlayfooter.h"

#include "overlay/model/overlaycontent.h"
#include "overlay/pagetabstrip.h"
#include "overlay/pagetitletoggle.h"
#include "settings/notchsettings.h"
#include "speech/speechrecognizer.h"
#include "uikit/circleglyphbutton.h"
#include "uikit/localizedtext.h"

#include <QHBoxLayout>

OverlayFooter::OverlayFooter(OverlayContent &content, SpeechRecognizer &recognizer,
                             NotchSettings &settings, Padding padding, Controls controls,
                             QWidget *parent)
    : QWidget(parent)
    , m_content(content)
    , m_recognizer(recognizer)
    , m_settings(settings)
    , m_controls(controls)
{
    setObjectName(u"footer"_qs);
    setFixedHeight(int(rowHeight + padding.bottom));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(int(padding.sides), 0, int(padding.sides), int(padding.bottom));
    row->setSpacing(int(spacing));

    m_titleToggle = new PageTitleToggle(m_settings, this);
    m_titleToggle->setObjectName(u"pageTitleToggle"_qs);
    m_tabStrip = new PageTabStrip(this);
    m_tabStrip->setObjectName(u"pageTabs"_qs);
    const auto button = [this](const CircleGlyphButton::Face &face, const QString &name) {
        auto *b = new CircleGlyphButton(face, this);
        b->setObjectName(name);
        return b;
    };
    m_previousButton = button(CircleGlyphButton::Face::previousPage(), u"previousButton"_qs);
    m_nextButton = button(CircleGlyphButton::Face::nextPage(), u"nextButton"_qs);
    m_restartButton = button(CircleGlyphButton::Face::restart(), u"restartButton"_qs);
    m_playPauseButton = button(CircleGlyphButton::Face::playPause(false), u"playPauseButton"_qs);
    m_backButton = button(CircleGlyphButton::Face::backToList(), u"backToListButton"_qs);
    m_nextButton->setLongPressEnabled(true);
    m_restartButton->setLongPressEnabled(true);

    row->addWidget(m_titleToggle, 0, Qt::AlignVCenter);
    row->addWidget(m_tabStrip, 0, Qt::AlignVCenter);
    row->addStretch(1);
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_previousButton, m_nextButton, m_restartButton, m_playPauseButton, m_backButton})
        row->addWidget(control, 0, Qt::AlignVCenter);

    connect(m_tabStrip, &PageTabStrip::pageChosen, this,
            [this](int index) { m_content.setJumpToPageNotesMode(index); });
    connect(m_previousButton, &QAbstractButton::clicked, this, [this] {
        const int previous = m_content.currentPageIndex() - 1;
        if (previous >= 0)
            m_content.setJumpToPageNotesMode(previous);
    });
    connect(m_nextButton, &QAbstractButton::clicked, this,
            [this] { m_content.requestNextPage(m_recognizer); });
    connect(m_restartButton, &QAbstractButton::clicked, this,
            [this] { m_content.setJumpToPageIndex(0); });
    for (CircleGlyphButton *pressable : {m_nextButton, m_restartButton}) {
        connect(pressable, &CircleGlyphButton::longPressed, this,
                [this] { m_content.setShowPagePicker(true); });
    }
    connect(m_playPauseButton, &QAbstractButton::clicked, this, &OverlayFooter::playPauseClicked);
    connect(m_backButton, &QAbstractButton::clicked, this, &OverlayFooter::backToList);
    refresh();
}

void OverlayFooter::connectModels()
{
    for (auto field : {&OverlayContent::pageCountChanged, &OverlayContent::currentPageIndexChanged,
                       &OverlayContent::hasNextPageChanged, &OverlayContent::pageTitlesChanged,
                       &OverlayContent::isNotesModeChanged})
        connect(&m_content, field, this, &OverlayFooter::refresh);
    connect(&m_settings, &NotchSettings::notchShowsPageNumbersChanged, this,
            &OverlayFooter::refresh);
}

void OverlayFooter::refresh()
{
    const bool notes = m_content.isNotesMode();
    const int pages = m_content.pageCount();
    const int current = m_content.currentPageIndex();
    const bool tabs = PageTabStrip::isShown(notes, m_settings.notchShowsPageNumbers(), pages);
    const bool all = m_controls == Controls::all;
    const bool navigation = all && pages >= 2;

    m_titleToggle->setVisible(notes);
    m_titleToggle->setShowsTitle(!tabs);
    // An untitled page is called by a looked-up name.
    LocalizedText::bind(m_titleToggle, "text", [this] { return m_content.currentPageTitle(); });
    m_tabStrip->setVisible(tabs);
    m_tabStrip->setPages(pages, current);
    m_previousButton->setVisible(navigation && notes && current >= 1);
    m_nextButton->setVisible(navigation && m_content.hasNextPage());
    m_restartButton->setVisible(navigation && !m_content.hasNextPage() && !notes);
    m_playPauseButton->setVisible(all && !notes);
    m_playPauseButton->setFace(CircleGlyphButton::Face::playPause(m_paused));
    m_backButton->setVisible(all);
}

void OverlayFooter::setPaused(bool paused)
{
    m_paused = paused;
    m_playPauseButton->setFace(CircleGlyphButton::Face::playPause(paused));
}

void OverlayFooter::backToList()
{
    // The session stays: only the voice follower stops, and the list opens on the current page.
    m_recognizer.setIsListening(false);
    m_recognizer.tearDownSession();
    m_content.setIsNotesMode(false);
    m_content.setShowPagePicker(true);
}
