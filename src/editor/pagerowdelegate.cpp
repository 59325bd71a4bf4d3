#include "pagerowdelegate.h"

#include "editor/model/editorcontroller.h"
#include "editor/model/pagelistmodel.h"
#include "settings/displaytext.h"
#include "settings/localization.h"
#include "settings/palette.h"
#include "uikit/painting.h"

#include <QGlyphRun>
#include <QLineEdit>
#include <QPainter>
#include <QShortcut>
#include <QTextLayout>

#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

constexpr int rowGap = 1;
constexpr QMargins rowPadding{6, 5, 6, 5};
constexpr int rowRadius = 6;
constexpr int snippetGap = 2;
// A row is measured with its whole title, never shorter than what it shows.
constexpr qreal unbounded = 1e6;

// Whether the letters on either side of `at` join (as Arabic letters do) and would be drawn
// apart if shaped as two runs. Marks between them are looked through.
bool joinsAcross(QStringView text, qsizetype at)
{
    qsizetype before = at - 1;
    while (before >= 0 && text[before].joiningType() == QChar::Joining_Transparent)
        --before;
    qsizetype after = at;
    while (after < text.size() && text[after].joiningType() == QChar::Joining_Transparent)
        ++after;
    if (before < 0 || after >= text.size())
        return false;
    const QChar::JoiningType left = text[before].joiningType();
    const QChar::JoiningType right = text[after].joiningType();
    return (left == QChar::Joining_Dual || left == QChar::Joining_Left
            || left == QChar::Joining_Causing)
           && (right == QChar::Joining_Dual || right == QChar::Joining_Right
               || right == QChar::Joining_Causing);
}

// One line of a row, laid out whole with its match marked by a format, cut with "…" to the
// width it is given. The text engine shapes the two sides of a format change apart: where
// letters join across it, a zero-width joiner on each side keeps them joined.
class RowLine
{
public:
    RowLine(const QString &text, const QFont &font, qreal width, Qt::LayoutDirection direction,
            std::optional<QTextLayout::FormatRange> mark = std::nullopt)
    {
        m_width = width;
        qreal natural = layOut(text, font, direction, mark);
        // The match's bolder font makes the line wider than the metrics of its own font say:
        // the room shrinks by what is still over.
        for (qreal room = width; natural > width && room > 0; room -= natural - width + 1) {
            const QString shown = QFontMetricsF(font).elidedText(text, Qt::ElideRight, room);
            std::optional<QTextLayout::FormatRange> kept = mark;
            if (kept) {
                const qsizetype length = shown.size() - (shown.endsWith(u'\u2026') ? 1 : 0);
                kept->length = int(std::clamp<qsizetype>(length - kept->start, 0, kept->length));
            }
            natural = layOut(shown, font, direction, kept);
        }
        const QTextLine line = m_layout.lineAt(0);
        m_above = line.ascent();
        m_below = line.descent();
        // Stacked marks and tall scripts may reach past even their own font's line.
        for (const QGlyphRun &run : m_layout.glyphRuns()) {
            const QRawFont font = run.rawFont();
            const QList<quint32> glyphs = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            for (qsizetype i = 0; i < glyphs.size(); ++i) {
                const QRectF ink = font.boundingRect(glyphs.at(i)).translated(positions.at(i));
                m_above = std::max(m_above, line.ascent() - ink.top());
                m_below = std::max(m_below, ink.bottom() - line.ascent());
            }
        }
    }

    // How far the line reaches above and below its baseline.
    qreal above() const { return m_above; }
    qreal below() const { return m_below; }

    // Draws the line with its top `above()` over the baseline at `top`.
    void draw(QPainter *painter, QPointF topLeft) const
    {
        m_layout.draw(painter, topLeft + QPointF(0, m_above - m_layout.lineAt(0).ascent()));
    }

private:
    // Lays the text out on one line; returns its natural width.
    qreal layOut(QString text, const QFont &font, Qt::LayoutDirection direction,
                 std::optional<QTextLayout::FormatRange> mark)
    {
        if (mark && mark->length > 0) {
            const qsizetype end = mark->start + mark->length;
            if (joinsAcross(text, end)) {
                text.insert(end, u"\u200d\u200d"_s);
                ++mark->length;
            }
            if (joinsAcross(text, mark->start)) {
                text.insert(mark->start, u"\u200d\u200d"_s);
                ++mark->start;
                ++mark->length;
            }
        }
        m_layout.clearLayout();
        m_layout.setText(text);
        m_layout.setFont(font);
        QTextOption option;
        option.setTextDirection(direction);
        option.setAlignment(direction == Qt::RightToLeft ? Qt::AlignRight : Qt::AlignLeft);
        option.setWrapMode(QTextOption::NoWrap);
        m_layout.setTextOption(option);
        m_layout.setFormats(mark && mark->length > 0 ? QList{*mark}
                                                     : QList<QTextLayout::FormatRange>{});
        m_layout.beginLayout();
        QTextLine line = m_layout.createLine();
        line.setLineWidth(m_width);
        m_layout.endLayout();
        return line.naturalTextWidth();
    }

    QTextLayout m_layout;
    qreal m_width = 0;
    qreal m_above = 0;
    qreal m_below = 0;
};

// A title or a snippet reads in the direction of its own text.
Qt::LayoutDirection directionOf(const QString &text)
{
    return text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight;
}

std::optional<QTextLayout::FormatRange> titleMark(const QModelIndex &index, const QFont &font)
{
    const int start = index.data(PageListModel::TitleMatchStartRole).toInt();
    if (start < 0)
        return std::nullopt;
    QTextLayout::FormatRange mark;
    mark.start = start;
    mark.length = index.data(PageListModel::TitleMatchLengthRole).toInt();
    mark.format.setFont(font);
    mark.format.setForeground(accentTeal());
    return mark;
}

} // namespace

PageRowDelegate::PageRowDelegate(EditorController &controller, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_controller(controller)
{}

QSize PageRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString title = DisplayText::oneLine(index.data(Qt::DisplayRole).toString());
    const QString snippet = index.data(PageListModel::SnippetRole).toString();
    const auto mark = titleMark(index, m_match);
    const QString key = title + u'\n' + snippet + u'\n' + QString::number(mark ? mark->start : -1)
                        + u',' + QString::number(mark ? mark->length : 0);
    int height = m_heights.value(key, -1);
    if (height < 0) {
        // Laying a row out is too costly to do again for every row each time the list is
        // laid out; a handful of titles holds the whole list.
        if (m_heights.size() > 4096)
            m_heights.clear();
        const RowLine titleLine(title, mark ? m_run : m_plainTitle, unbounded, directionOf(title),
                                mark);
        qreal content = titleLine.above() + titleLine.below();
        if (!snippet.isEmpty()) {
            const RowLine snippetLine(snippet, m_snippet, unbounded, directionOf(snippet));
            content += snippetGap + snippetLine.above() + snippetLine.below();
        }
        height = rowPadding.top() + int(std::ceil(content)) + rowPadding.bottom();
        m_heights.insert(key, height);
    }
    return QSize(option.rect.width(), height + 2 * rowGap);
}

void PageRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                            const QModelIndex &index) const
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    const QRectF plate = QRectF(option.rect).adjusted(0, rowGap, 0, -rowGap);
    const bool selected = index.data(PageListModel::SelectedRole).toBool();
    if (selected) {
        painter->setPen(Qt::NoPen);
        painter->setBrush(whiteAt(0.1));
        painter->drawPath(roundedRectPath(plate, rowRadius));
    }
    // The keyboard's place in the list.
    if ((option.state & QStyle::State_HasFocus) && option.widget && option.widget->hasFocus())
        strokeInsideRoundedRect(painter, plate, rowRadius, QPen(accentTeal(0.8), 1));
    if (!index.data(PageListModel::RenamingRole).toBool())
        paintContent(painter, plate.toRect().marginsRemoved(rowPadding), index, selected);
    painter->restore();
}

QWidget *PageRowDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                       const QModelIndex &) const
{
    auto *field = new QLineEdit(parent);
    field->setFont(Fonts::systemFont(12, QFont::Normal));
    field->setFrame(false);
    QPalette colours = field->palette();
    colours.setColor(QPalette::Base, Qt::transparent);
    colours.setColor(QPalette::Text, whiteAt(0.85));
    field->setPalette(colours);
    field->setPlaceholderText(localizedString("Nombre"));
    field->setText(DisplayText::editableTitle(m_controller.renameText()));
    EditorController *controller = &m_controller;
    connect(field, &QLineEdit::textEdited, controller, &EditorController::setRenameText);
    // Return stores, Esc closes; moving the focus elsewhere leaves the field open.
    connect(field, &QLineEdit::returnPressed, controller, &EditorController::commitRename);
    auto *escape
        = new QShortcut(QKeySequence(Qt::Key_Escape), field, nullptr, nullptr, Qt::WidgetShortcut);
    connect(escape, &QShortcut::activated, controller, &EditorController::cancelRename);
    return field;
}

void PageRowDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                           const QModelIndex &) const
{
    editor->setGeometry(option.rect.adjusted(0, rowGap, 0, -rowGap)
                            .marginsRemoved(QMargins(rowPadding.left(), 0, rowPadding.right(), 0)));
}

void PageRowDelegate::paintContent(QPainter *painter, const QRect &content,
                                   const QModelIndex &index, bool selected) const
{
    const QString title = DisplayText::oneLine(index.data(Qt::DisplayRole).toString());
    const auto mark = titleMark(index, m_match);
    const QFont &font = !mark ? m_plainTitle : selected ? m_selectedRun : m_run;
    const RowLine titleLine(title, font, content.width(), directionOf(title), mark);
    painter->setPen(whiteAt(selected ? 0.85 : 0.55));
    titleLine.draw(painter, content.topLeft());
    const QString snippet = index.data(PageListModel::SnippetRole).toString();
    if (snippet.isEmpty())
        return;
    const RowLine snippetLine(snippet, m_snippet, content.width(), directionOf(snippet));
    painter->setPen(whiteAt(0.25));
    snippetLine.draw(painter, QPointF(content.left(), content.top() + titleLine.above()
                                                          + titleLine.below() + snippetGap));
}
