#pragma once

#include "editor/model/slashcommands.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class AnimatedValue;
class HighlightingTextEditor;
class QKeyEvent;

// The palette's list: a category header before each run of rows of one category, then the rows
// (symbol, label and "/trigger"), the selected one tinted. It scrolls without a bar: by the
// wheel, and to centre the selected row whenever the scroll tick changes. As a window it never
// takes the keyboard and is cut to its rounded outline.
class SlashCommandPopupView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int panelWidth = 250;
    static constexpr int maximumHeight = 300;

    explicit SlashCommandPopupView(QWidget *parent = nullptr);

    void setContent(const QList<SlashCommand> &commands, int selectedIndex, int scrollTick);
    const QList<SlashCommand> &commands() const { return m_commands; }
    int selectedIndex() const { return m_selectedIndex; }
    // Row `index` as shown now, scroll included; empty for an index outside the list.
    QRect rowRect(int index) const;
    double scrollOffset() const;
    // Headers and rows with their padding: what a list of `commands` needs to show without
    // scrolling.
    static int contentHeight(const QList<SlashCommand> &commands);

    std::function<void(const SlashCommand &)> onSelect;
    std::function<void(int)> onHoverIndex;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    struct Item
    {
        int top = 0;
        int height = 0;
        int row = -1; // -1: the header of the category of the row after it
        QString header;
    };

    static QList<Item> layoutItems(const QList<SlashCommand> &commands, int *contentHeight);
    int rowAt(const QPoint &position) const;
    double maximumScroll() const;
    void scrollTo(double offset);

    QList<SlashCommand> m_commands;
    QList<Item> m_items;
    int m_contentHeight = 0;
    int m_selectedIndex = 0;
    int m_scrollTick = 0;
    int m_hoveredRow = -1;
    AnimatedValue *m_scroll = nullptr;
};

// The "/" command palette of a script editor: what it lists, which row is selected and which
// range of the text a chosen command replaces. The editor hands it every edit, caret move and
// key first; it shows its list next to the caret while the editor keeps the keyboard.
class SlashCommandPalette : public QObject
{
    Q_OBJECT

public:
    struct Range
    {
        int start = 0;
        int length = 0;
    };

    explicit SlashCommandPalette(HighlightingTextEditor *editor);
    ~SlashCommandPalette() override;

    // The list is on screen.
    bool isOpen() const;
    std::optional<Range> range() const { return m_range; }
    const QList<SlashCommand> &filteredCommands() const { return m_filtered; }
    int selectedCommandIndex() const { return m_selected; }
    // The list's window; null until it first opens.
    SlashCommandPopupView *panel() const { return m_panel; }

    // After every edit of the text: opens, filters or closes for the query before the caret.
    void updateQuery();
    // The "/" button: every command, for the empty range at `position`.
    void openAt(int position);
    // Closes when the caret leaves the "/" and its query.
    void caretMoved(int caret);
    // Up, Down, Return, Tab and Esc while the list is on screen; true when the key was used.
    bool handleKey(const QKeyEvent &event);
    bool wantsKey(const QKeyEvent &event) const;
    // Closes and forgets the range: nothing chosen later applies to the text.
    void close();
    void insertCommand(const SlashCommand &command);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void show();
    void refresh();
    void place();
    void select(int index);
    // The list's content set, and its height brought to what it lists.
    void applyContent();
    std::optional<QRect> caretScreenRect() const;

    HighlightingTextEditor *const m_editor;
    QPointer<SlashCommandPopupView> m_panel;
    QPointer<QWidget> m_watchedWindow;
    std::optional<Range> m_range;
    QList<SlashCommand> m_filtered;
    int m_selected = 0;
    int m_scrollTick = 0;
};
