#include "slashcommandpalette.h"

#include "editor/highlightingtexteditor.h"
#include "platform/fonts.h"
#include "settings/palette.h"
#include "uikit/animation.h"
#include "uikit/icons.h"
#include "uikit/painting.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int padding = 6;
constexpr int rowHeight = 36; // 26 for the symbol's frame, 5 above and below
constexpr int spacing = 1;
constexpr int cornerRadius = 12;
const QColor background(24, 24, 26);

QFont headerFont()
{
    QFont font = Fonts::systemFont(9.5, QFont::DemiBold);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.8);
    return font;
}

} // namespace

SlashCommandPopupView::SlashCommandPopupView(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_scroll(new AnimatedValue(0, this))
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    // Edge pixels that the outline's mask keeps are this colour, never black.
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, background);
    setPalette(colours);
    resize(panelWidth, 44);
    connect(m_scroll, &AnimatedValue::valueChanged, this, qOverload<>(&QWidget::update));
}

void SlashCommandPopupView::setContent(const QList<SlashCommand> &commands, int selectedIndex,
                                       int scrollTick)
{
    m_commands = commands;
    m_selectedIndex = selectedIndex;
    m_items = layoutItems(m_commands, &m_contentHeight);
    if (scrollTick != m_scrollTick) {
        m_scrollTick = scrollTick;
        const QRect row = rowRect(selectedIndex);
        if (!row.isNull()) {
            const double centred = row.center().y() + scrollOffset() - height() / 2.0;
            const double target = std::clamp(centred, 0.0, maximumScroll());
            if (isVisible())
                m_scroll->animateTo(target, AnimationTiming::easeOut(0.12));
            else
                m_scroll->setValue(target);
        }
    }
    scrollTo(scrollOffset());
    update();
}

QList<SlashCommandPopupView::Item>
SlashCommandPopupView::layoutItems(const QList<SlashCommand> &commands, int *contentHeight)
{
    QList<Item> items;
    const int headerText = QFontMetrics(headerFont()).height();
    int y = padding;
    for (int i = 0; i < commands.size(); ++i) {
        if (i == 0 || commands[i].category != commands[i - 1].category) {
            const int above = i == 0 ? 4 : 10;
            const int height = above + headerText + 3;
            items.append(
                {y, height, -1, slashCommandCategoryTitle(commands[i].category).toUpper()});
            y += height + spacing;
        }
        items.append({y, rowHeight, i, {}});
        y += rowHeight + spacing;
    }
    *contentHeight = y - (items.isEmpty() ? 0 : spacing) + padding;
    return items;
}

int SlashCommandPopupView::contentHeight(const QList<SlashCommand> &commands)
{
    int height = 0;
    layoutItems(commands, &height);
    return height;
}

QRect SlashCommandPopupView::rowRect(int index) const
{
    for (const Item &item : m_items) {
        if (item.row == index && index >= 0)
            return QRect(padding, item.top - int(std::lround(scrollOffset())),
                         width() - 2 * padding, item.height);
    }
    return {};
}

double SlashCommandPopupView::scrollOffset() const
{
    return m_scroll->value();
}

double SlashCommandPopupView::maximumScroll() const
{
    return std::max(0, m_contentHeight - height());
}

void SlashCommandPopupView::scrollTo(double offset)
{
    const double clamped = std::clamp(offset, 0.0, maximumScroll());
    if (clamped != m_scroll->value() && !m_scroll->isAnimating())
        m_scroll->setValue(clamped);
}

int SlashCommandPopupView::rowAt(const QPoint &position) const
{
    for (int i = 0; i < m_commands.size(); ++i) {
        if (rowRect(i).contains(position))
            return i;
    }
    return -1;
}

void SlashCommandPopupView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF outline = rect();
    p.fillRect(rect(), background);
    p.save();
    p.setClipPath(roundedRectPath(outline, cornerRadius));
    const int scroll = int(std::lround(scrollOffset()));
    const QFont header = headerFont();
    const QFont trigger = Fonts::monospacedSystemFont(10, QFont::Normal);
    for (const Item &item : std::as_const(m_items)) {
        const int top = item.top - scroll;
        if (top > height() || top + item.height < 0)
            continue;
        if (item.row < 0) {
            p.setFont(header);
            p.setPen(whiteAt(0.35));
            const QRect text(padding + 10, top, width() - 2 * padding - 20, item.height - 3);
            p.drawText(text, Qt::AlignLeft | Qt::AlignBottom, item.header);
            continue;
        }
        const SlashCommand &command = m_commands[item.row];
        const bool selected = item.row == m_selectedIndex;
        const QRectF row(padding, top, width() - 2 * padding, item.height);
        if (selected) {
            p.setPen(Qt::NoPen);
            p.setBrush(accentTeal(0.12));
            p.drawPath(roundedRectPath(row, 7));
        }
        const QRectF symbol(row.left() + 7, row.top() + 5, 26, 26);
        p.setPen(Qt::NoPen);
        p.setBrush(selected ? accentTeal(0.16) : whiteAt(0.06));
        p.drawPath(roundedRectPath(symbol, 6));
        Icons::paint(&p, command.icon, symbol, selected ? accentTeal() : whiteAt(0.55), 12,
                     QFont::Medium);

        const QString slashTrigger = u'/' + command.trigger;
        p.setFont(trigger);
        const int triggerWidth = QFontMetrics(trigger).horizontalAdvance(slashTrigger);
        const QRectF triggerBox(row.right() - 7 - triggerWidth, row.top(), triggerWidth,
                                row.height());
        p.setPen(whiteAt(0.28));
        p.drawText(triggerBox, Qt::AlignVCenter | Qt::AlignLeft, slashTrigger);

        const QFont label = Fonts::systemFont(12.5, selected ? QFont::DemiBold : QFont::Normal);
        p.setFont(label);
        p.setPen(selected ? whiteAt(0.95) : whiteAt(0.78));
        const QRectF labelBox(symbol.right() + 10, row.top(),
                              triggerBox.left() - 8 - symbol.right() - 10, row.height());
        p.drawText(
            labelBox, Qt::AlignVCenter | Qt::AlignLeft,
            QFontMetrics(label).elidedText(command.label, Qt::ElideRight, int(labelBox.width())));
    }
    p.restore();
    QPen border(whiteAt(0.08), 0.5);
    strokeInsideRoundedRect(&p, outline, cornerRadius, border);
}

void SlashCommandPopupView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // No compositor draws the corners clear: the window is cut to its outline.
    setMask(QRegion(roundedRectPath(rect(), cornerRadius).toFillPolygon().toPolygon()));
    scrollTo(scrollOffset());
}

void SlashCommandPopupView::mouseMoveEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position().toPoint());
    if (row == m_hoveredRow)
        return;
    m_hoveredRow = row;
    if (row >= 0 && onHoverIndex)
        onHoverIndex(row);
}

void SlashCommandPopupView::mouseReleaseEvent(QMouseEvent *event)
{
    const int row = rowAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && row >= 0 && onSelect)
        onSelect(m_commands[row]);
}

void SlashCommandPopupView::wheelEvent(QWheelEvent *event)
{
    const double delta = event->pixelDelta().isNull() ? event->angleDelta().y() / 120.0 * 36
                                                      : event->pixelDelta().y();
    m_scroll->setValue(std::clamp(scrollOffset() - delta, 0.0, maximumScroll()));
    event->accept();
}

SlashCommandPalette::SlashCommandPalette(HighlightingTextEditor *editor)
    : QObject(editor)
    , m_editor(editor)
{
    connect(editor, &HighlightingTextEditor::slashMenuRequested, this,
            &SlashCommandPalette::openAt);
    // The list hides itself when another program becomes active; the range stays until the next
    // edit decides anew.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive && m_panel)
                    m_panel->hide();
            });
    editor->installEventFilter(this);
}

SlashCommandPalette::~SlashCommandPalette()
{
    delete m_panel;
}

bool SlashCommandPalette::isOpen() const
{
    return m_panel && m_panel->isVisible() && !m_filtered.isEmpty();
}

void SlashCommandPalette::updateQuery()
{
    const int caret = m_editor->editorCaretPosition();
    const int from = std::max(0, caret - slashQueryLookBehind());
    const QString before = m_editor->textRange(from, caret);
    const std::optional<SlashQuery> found = slashQuery(before, caret - from);
    if (!found) {
        close();
        return;
    }
    m_range = Range{from + found->start, found->length};
    m_filtered = filteredSlashCommands(found->query);
    if (m_filtered.isEmpty()) {
        close();
        return;
    }
    m_selected = std::min(m_selected, int(m_filtered.size()) - 1);
    ++m_scrollTick;
    if (isOpen()) {
        refresh();
    } else {
        m_selected = 0;
        show();
    }
}

void SlashCommandPalette::openAt(int position)
{
    m_range = Range{position, 0};
    m_filtered = allSlashCommands();
    m_selected = 0;
    ++m_scrollTick;
    if (isOpen())
        refresh();
    else
        show();
}

void SlashCommandPalette::caretMoved(int caret)
{
    if (m_range && (caret < m_range->start || caret > m_range->start + m_range->length))
        close();
}

bool SlashCommandPalette::wantsKey(const QKeyEvent &event) const
{
    if (!isOpen() || (event.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)))
        return false;
    switch (event.key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    case Qt::Key_Tab:
        return !(event.modifiers() & Qt::ShiftModifier);
    default:
        return false;
    }
}

bool SlashCommandPalette::handleKey(const QKeyEvent &event)
{
    if (!wantsKey(event))
        return false;
    switch (event.key()) {
    case Qt::Key_Up:
        select(std::max(0, m_selected - 1));
        break;
    case Qt::Key_Down:
        select(std::min(int(m_filtered.size()) - 1, m_selected + 1));
        break;
    case Qt::Key_Escape:
        close();
        break;
    default: // Return and Tab
        if (m_selected >= 0 && m_selected < m_filtered.size())
            insertCommand(m_filtered[m_selected]);
        break;
    }
    return true;
}

void SlashCommandPalette::select(int index)
{
    m_selected = index;
    ++m_scrollTick;
    refresh();
}

void SlashCommandPalette::close()
{
    if (m_panel)
        m_panel->hide();
    m_range.reset();
    m_filtered.clear();
    m_selected = 0;
}

void SlashCommandPalette::insertCommand(const SlashCommand &command)
{
    if (!m_range)
        return;
    const Range range = *m_range;
    close();
    m_editor->replaceText(range.start, range.length, command.insertion);
}

void SlashCommandPalette::show()
{
    const std::optional<QRect> caret = caretScreenRect();
    if (!caret)
        return;
    if (!m_panel) {
        // A window of its own, so it may reach past the editor's window; the editor's child for
        // its lifetime only.
        m_panel = new SlashCommandPopupView(m_editor);
        m_panel->onSelect = [this](const SlashCommand &command) { insertCommand(command); };
        m_panel->onHoverIndex = [this](int index) {
            if (index != m_selected && index < m_filtered.size()) {
                m_selected = index;
                refresh();
            }
        };
    }
    applyContent();
    place();
    if (m_watchedWindow != m_editor->window()) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = m_editor->window();
        m_watchedWindow->installEventFilter(this);
    }
    m_panel->show();
}

void SlashCommandPalette::refresh()
{
    if (!m_panel)
        return;
    // Placed anew: a list above the caret that got shorter still ends just above it.
    applyContent();
    place();
}

void SlashCommandPalette::applyContent()
{
    // A few rows under their headers are taller than the estimate: the list grows to show them
    // all rather than scroll, up to its maximum.
    const int height = std::max(slashPanelHeight(m_filtered),
                                std::min(SlashCommandPopupView::contentHeight(m_filtered),
                                         SlashCommandPopupView::maximumHeight));
    m_panel->resize(SlashCommandPopupView::panelWidth, height);
    m_panel->setContent(m_filtered, m_selected, m_scrollTick);
}

void SlashCommandPalette::place()
{
    const std::optional<QRect> caret = caretScreenRect();
    if (!caret || !m_panel)
        return;
    const QScreen *screen = QGuiApplication::screenAt(caret->center());
    if (!screen)
        screen = m_editor->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const std::optional<QRect> available
        = screen ? std::optional<QRect>(screen->availableGeometry()) : std::nullopt;
    m_panel->move(slashPanelPosition(*caret, m_panel->size(), available));
}

std::optional<QRect> SlashCommandPalette::caretScreenRect() const
{
    if (!m_range || !m_editor->isVisible())
        return std::nullopt;
    const QRect caret = m_editor->caretRect(m_range->start);
    return QRect(m_editor->viewport()->mapToGlobal(caret.topLeft()), caret.size());
}

bool SlashCommandPalette::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_editor && event->type() == QEvent::Hide) {
        close();
    } else if (watched == m_watchedWindow) {
        // Reading puts the window away: the list goes with it, and its range with the list.
        if (event->type() == QEvent::Hide
            || (event->type() == QEvent::WindowStateChange && m_watchedWindow->isMinimized()))
            close();
        else if (event->type() == QEvent::Move && isOpen())
            place();
    }
    return QObject::eventFilter(watched, event);
}
