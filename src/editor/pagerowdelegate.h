#pragma once

#include "platform/fonts.h"

#include <QHash>
#include <QStyledItemDelegate>

class EditorController;

// A row of the pages sidebar: the title (its match bold in the accent colour), a snippet of the
// text under it when only the text matched, on a light plate while its page is current.
// Everything it draws comes from the model's roles: a row never reads its page.
class PageRowDelegate : public QStyledItemDelegate
{
public:
    PageRowDelegate(EditorController &controller, QObject *parent);

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &) const override;
    // The field keeps the controller's text; the view's own commit and close are not used.
    void setEditorData(QWidget *, const QModelIndex &) const override {}
    void setModelData(QWidget *, QAbstractItemModel *, const QModelIndex &) const override {}

protected:
    bool eventFilter(QObject *, QEvent *) override { return false; }

private:
    void paintContent(QPainter *painter, const QRect &content, const QModelIndex &index,
                      bool selected) const;

    EditorController &m_controller;
    // Row heights by what the rows show.
    mutable QHash<QString, int> m_heights;
    const QFont m_plainTitle = Fonts::systemFont(13, QFont::Normal);
    const QFont m_run = Fonts::systemFont(12, QFont::Normal);
    const QFont m_selectedRun = Fonts::systemFont(12, QFont::DemiBold);
    const QFont m_match = Fonts::systemFont(12, QFont::Bold);
    const QFont m_snippet = Fonts::systemFont(10, QFont::Normal);
};
