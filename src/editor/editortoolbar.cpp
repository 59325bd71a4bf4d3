#include "editortoolbar.h"

#include "document/brivelservice.h"
#include "editor/model/editorcontroller.h"
#include "platform/fonts.h"
#include "settings/displaytext.h"
#include "settings/localization.h"
#include "uikit/animation.h"
#include "uikit/fade.h"
#include "uikit/icons.h"
#include "uikit/localizedtext.h"
#include "uikit/painting.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>

#include <algorithm>

namespace {

const QColor primary(255, 255, 255, int(0.85 * 255));
const QColor secondary(255, 255, 255, int(0.55 * 255));
const QColor quaternary(255, 255, 255, int(0.10 * 255));

void paintSymbol(QPainter &p, const QString &name, const QRectF &rect, const QColor &color,
                 double size, QFont::Weight weight)
{
    Icons::paint(&p, name, rect, color, size, weight);
}

// White 6 % in a capsule with a hairline of white 10 % inside it.
class Capsule : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25);
        const double radius = r.height() / 2;
        p.setPen(QPen(QColor(255, 255, 255, int(0.10 * 255)), 0.5));
        p.setBrush(QColor(255, 255, 255, int(0.06 * 255)));
        p.drawRoundedRect(r, radius, radius);
    }
};

// A bezel-less symbol button in a 28 × 20 frame, optionally with a hover background.
class SymbolButton : public QAbstractButton
{
public:
    SymbolButton(const QString &symbol, bool hoverBackground, QWidget *parent)
        : QAbstractButton(parent)
        , m_symbol(symbol)
        , m_hoverBackground(hoverBackground)
    {
        setFixedSize(28, 20);
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        if (m_hoverBackground && isEnabled() && underMouse()) {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(255, 255, 255, int(0.10 * 255)));
            p.drawRoundedRect(rect(), 5, 5);
        }
        paintSymbol(p, m_symbol, rect(), isEnabled() ? primary : quaternary, 10, QFont::DemiBold);
    }

private:
    QString m_symbol;
    bool m_hoverBackground;
};

// The gear and "Ajustes" side by side, 20 points high. Beside the sidebar at the window's
// minimum width, with the search open, the header runs short: once the title is down to its
// least, the label gives way and the gear stays.
class SettingsButton : public QAbstractButton
{
public:
    explicit SettingsButton(QWidget *parent)
        : QAbstractButton(parent)
    {
        setFont(Fonts::systemFont(11, QFont::Medium));
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setFixedHeight(20);
        LocalizedText::follow(this, "text", [this] {
            setText(localizedString("Ajustes"));
            updateGeometry();
        });
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::NoFocus);
    }

    QSize sizeHint() const override
    {
        return {gearWidth + 4 + QFontMetrics(font()).horizontalAdvance(text()), 20};
    }
    QSize minimumSizeHint() const override { return {gearWidth, 20}; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        const bool labelled = width() >= sizeHint().width();
        paintSymbol(p, QStringLiteral("gearshape"),
                    QRectF(labelled ? 0 : (width() - gearWidth) / 2.0, 0, gearWidth, height()),
                    primary, 10, QFont::DemiBold);
        if (!labelled)
            return;
        p.setPen(primary);
        p.drawText(rect().adjusted(gearWidth + 4, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   text());
    }

private:
    static constexpr int gearWidth = 14;
};

QHBoxLayout *capsuleRow(Capsule *capsule, int horizontal, int vertical, int spacing = 0)
{
    auto *row = new QHBoxLayout(capsule);
    row->setContentsMargins(horizontal, vertical, horizontal, vertical);
    row->setSpacing(spacing);
    return row;
}

// The page title as a button: the text alone on one line, from the side it reads from, in the
// label colour. It asks for the whole title's width but takes what the header can spare,
// eliding the rest: however long the title, it never widens the window.
class TitleButton : public QAbstractButton
{
public:
    explicit TitleButton(QWidget *parent)
        : QAbstractButton(parent)
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        setFocusPolicy(Qt::NoFocus);
    }

    QSize sizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {metrics.horizontalAdvance(oneLine()) + 2, metrics.height() + 4};
    }

    QSize minimumSizeHint() const override
    {
        const QFontMetrics metrics(font());
        return {std::min(sizeHint().width(), metrics.horizontalAdvance(u"W…"_qs) + 2),
                metrics.height() + 4};
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(primary);
        p.setFont(font());
        drawTextLine(p, rect(), text());
    }

private:
    // A title keeps any line breaks it was given; one line shows them as spaces.
    QString oneLine() const { return DisplayText::oneLine(text()); }
};

// A borderless field on the toolbar's dark capsules: no panel of its own, text in the label
// colour.
void makePlainField(QLineEdit *field)
{
    field->setFrame(false);
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, primary);
    field->setPalette(colours);
}

} // namespace

EditorToolbar::EditorToolbar(EditorController &controller, BrivelService &service, QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_service(service)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(8, 14, 8, 8);
    row->setSpacing(8);

    auto *navigation = new Capsule(this);
    auto *navigationRow = capsuleRow(navigation, 2, 2);
    m_previousButton = new SymbolButton(QStringLiteral("chevron.left"), false, navigation);
    auto *divider = new QFrame(navigation);
    divider->setFixedSize(1, 14);
    divider->setAutoFillBackground(true);
    QPalette dividerColour = divider->palette();
    dividerColour.setColor(QPalette::Window, QColor(255, 255, 255, 26));
    divider->setPalette(dividerColour);
    m_nextButton = new SymbolButton(QStringLiteral("chevron.right"), false, navigation);
    navigationRow->addWidget(m_previousButton);
    navigationRow->addWidget(divider);
    navigationRow->addWidget(m_nextButton);
    row->addWidget(navigation);

    const QFont titleFont = Fonts::systemFont(13, QFont::Bold);
    m_titleButton = new TitleButton(this);
    m_titleButton->setFont(titleFont);
    m_titleButton->setCursor(Qt::PointingHandCursor);
    m_titleField = new QLineEdit(this);
    m_titleField->setFont(titleFont);
    makePlainField(m_titleField);
    m_titleField->setMaximumWidth(180);
    LocalizedText::bind(m_titleField, "placeholderText", "Título");
    row->addWidget(m_titleButton);
    row->addWidget(m_titleField);
    row->addStretch(1);

    auto *actions = new Capsule(this);
    auto *actionsRow = capsuleRow(actions, 2, 2);
    m_deleteButton = new SymbolButton(QStringLiteral("trash"), true, actions);
    m_copyButton = new SymbolButton(QStringLiteral("doc.on.doc"), true, actions);
    m_addButton = new SymbolButton(QStringLiteral("plus"), true, actions);
    LocalizedText::bind(m_addButton, "toolTip", "Agregar nueva página");
    actionsRow->addWidget(m_deleteButton);
    actionsRow->addWidget(m_copyButton);
    actionsRow->addWidget(m_addButton);
    row->addWidget(actions);

    auto *settings = new Capsule(this);
    m_settingsButton = new SettingsButton(settings);
    capsuleRow(settings, 8, 2)->addWidget(m_settingsButton);
    row->addWidget(settings);

    auto *searchClosed = new Capsule(this);
    m_searchButton = new SymbolButton(QStringLiteral("magnifyingglass"), false, searchClosed);
    capsuleRow(searchClosed, 2, 2)->addWidget(m_searchButton);
    row->addWidget(searchClosed);

    auto *searchBox = new Capsule(this);
    m_searchBox = searchBox;
    searchBox->setFixedWidth(130);
    auto *searchRow = capsuleRow(searchBox, 8, 4, 4);
    auto *searchIcon = new QLabel(searchBox);
    searchIcon->setFixedSize(12, 16);
    QPixmap glass(searchIcon->size() * devicePixelRatio());
    glass.setDevicePixelRatio(devicePixelRatio());
    glass.fill(Qt::transparent);
    {
        QPainter p(&glass);
        paintSymbol(p, QStringLiteral("magnifyingglass"), QRectF(0, 0, 12, 16), secondary, 10,
                    QFont::Medium);
    }
    searchIcon->setPixmap(glass);
    m_searchField = new QLineEdit(searchBox);
    m_searchField->setFont(Fonts::systemFont(11, QFont::Medium));
    makePlainField(m_searchField);
    LocalizedText::bind(m_searchField, "placeholderText", "Buscar");
    auto *clearButton = new SymbolButton(QStringLiteral("xmark.circle.fill"), false, searchBox);
    clearButton->setFixedSize(14, 16);
    searchRow->addWidget(searchIcon);
    searchRow->addWidget(m_searchField, 1);
    searchRow->addWidget(clearButton);
    row->addWidget(searchBox);
    connect(&controller, &EditorController::isSearchOpenChanged, searchClosed,
            [searchClosed, this] { searchClosed->setVisible(!m_controller.isSearchOpen()); });
    searchClosed->setVisible(!controller.isSearchOpen());

    connect(m_previousButton, &QAbstractButton::clicked, &controller,
            &EditorController::goToPreviousPage);
    connect(m_nextButton, &QAbstractButton::clicked, &controller, &EditorController::goToNextPage);
    connect(m_titleButton, &QAbstractButton::clicked, &controller,
            &EditorController::beginToolbarTitleEdit);
    connect(m_titleField, &QLineEdit::textEdited, &controller,
            &EditorController::setToolbarTitleText);
    connect(m_titleField, &QLineEdit::returnPressed, &controller,
            &EditorController::commitToolbarTitle);
    // Escape ends the edit like Return does.
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_titleField, nullptr, nullptr,
                                 Qt::WidgetShortcut);
    connect(escape, &QShortcut::activated, &controller, &EditorController::commitToolbarTitle);
    connect(m_deleteButton, &QAbstractButton::clicked, &controller,
            qOverload<>(&EditorController::requestDeletePage));
    connect(m_copyButton, &QAbstractButton::clicked, &controller, &EditorController::copyPageText);
    connect(m_addButton, &QAbstractButton::clicked, &controller,
            &EditorController::appendEmptyPage);
    connect(m_settingsButton, &QAbstractButton::clicked, &controller,
            &EditorController::openSettings);
    connect(m_searchButton, &QAbstractButton::clicked, &controller,
            &EditorController::openToolbarSearch);
    connect(clearButton, &QAbstractButton::clicked, &controller,
            &EditorController::closeToolbarSearch);
    connect(m_searchField, &QLineEdit::textEdited, &controller,
            &EditorController::setToolbarSearchText);
    // The header's buttons never take the keys: once a button has done its work, typing goes on
    // in the text, as it does after the title's Return or Escape.
    const auto returnFocusToText = [this] { m_controller.setIsTextFocused(true); };
    for (QAbstractButton *button :
         std::initializer_list<QAbstractButton *>{m_previousButton, m_nextButton, m_deleteButton,
                                                  m_copyButton, m_addButton, clearButton})
        connect(button, &QAbstractButton::clicked, this, returnFocusToText);
    connect(m_titleField, &QLineEdit::returnPressed, this, returnFocusToText);
    connect(escape, &QShortcut::activated, this, returnFocusToText);

    connect(&service, &BrivelService::pagesChanged, this, &EditorToolbar::refresh);
    connect(&service, &BrivelService::pageTitlesChanged, this, &EditorToolbar::refresh);
    connect(&service, &BrivelService::currentPageIndexChanged, this, &EditorToolbar::refresh);
    connect(&controller, &EditorController::isEditingToolbarTitleChanged, this,
            &EditorToolbar::syncTitleEdit);
    connect(&controller, &EditorController::toolbarTitleTextChanged, this,
            &EditorToolbar::syncTitleEdit);
    connect(&controller, &EditorController::isToolbarTitleFocusedChanged, this,
            &EditorToolbar::syncTitleEdit);
    connect(&controller, &EditorController::isSearchOpenChanged, this, &EditorToolbar::syncSearch);
    connect(&controller, &EditorController::toolbarSearchTextChanged, this,
            &EditorToolbar::syncSearch);
    connect(&controller, &EditorController::isSearchFieldFocusedChanged, this,
            &EditorToolbar::syncSearch);
    m_titleField->installEventFilter(this);
    m_searchField->installEventFilter(this);
    refresh();
    syncTitleEdit();
    syncSearch();
}

bool EditorToolbar::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::Resize || event->type() == QEvent::LayoutRequest)
        fitTitle();
    return handled;
}

// A row short of room takes the same from every control, so a long title would cost "Ajustes"
// its label while the title could still give way. The title gets only what the other controls
// leave at their full widths; below its least, the others give way as before.
void EditorToolbar::fitTitle()
{
    const auto *row = static_cast<QBoxLayout *>(layout());
    int others = 0;
    int gaps = 0;
    for (int i = 0; i < row->count(); ++i) {
        QLayoutItem *item = row->itemAt(i);
        if (item->widget() == m_titleButton || item->isEmpty())
            continue;
        others += item->sizeHint().width();
        ++gaps;
    }
    const QMargins margins = row->contentsMargins();
    const int room = width() - margins.left() - margins.right() - others - gaps * row->spacing();
    m_titleButton->setMaximumWidth(std::max(room, m_titleButton->minimumSizeHint().width()));
}

bool EditorToolbar::eventFilter(QObject *watched, QEvent *event)
{
    // Focus the fields lose is handed back, so that the next request is a real change.
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_titleField)
            m_controller.setIsToolbarTitleFocused(false);
        else if (watched == m_searchField)
            m_controller.setIsSearchFieldFocused(false);
    }
    return QWidget::eventFilter(watched, event);
}

void EditorToolbar::refresh()
{
    m_previousButton->setEnabled(m_controller.canGoToPreviousPage());
    m_nextButton->setEnabled(m_controller.canGoToNextPage());
    m_deleteButton->setEnabled(m_service.pages().size() >= 2);
    LocalizedText::bind(m_titleButton, "text",
                        [this] { return m_service.title(m_service.currentPageIndex()); });
}

void EditorToolbar::syncTitleEdit()
{
    const bool editing = m_controller.isEditingToolbarTitle();
    m_titleButton->setVisible(!editing);
    m_titleField->setVisible(editing);
    // A title too long to show is cut in the field, and replaced only if the user edits it.
    if (const QString shown = DisplayText::editableTitle(m_controller.toolbarTitleText());
        m_titleField->text() != shown)
        m_titleField->setText(shown);
    if (editing && m_controller.isToolbarTitleFocused())
        m_titleField->setFocus();
    else if (!editing && m_titleField->hasFocus())
        m_titleField->clearFocus();
}

void EditorToolbar::syncSearch()
{
    const bool open = m_controller.isSearchOpen();
    if (m_searchBox->isHidden() == open)
        fadeWidget(m_searchBox, open, AnimationTiming::easeInOut(0.2));
    if (m_searchField->text() != m_controller.toolbarSearchText())
        m_searchField->setText(m_controller.toolbarSearchText());
    if (open && m_controller.isSearchFieldFocused())
        m_searchField->setFocus();
}
