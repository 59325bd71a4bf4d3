#pragma once

#include "overlay/pagelist.h"

// The page list of the pinned panel: a header with the key hints and one row per page, at the
// pinned sizes.
class PagePickerView : public PageList
{
    Q_OBJECT

public:
    explicit PagePickerView(OverlayContent &content, QWidget *parent = nullptr);
    QSize sizeHint() const override;

    // The height the pinned panel gives a list of `pageCount` pages where `available` is its
    // room: no taller than the list, and ending under a whole row.
    static double fittedHeight(int pageCount, double available);

protected:
    void paintHeader(QPainter &painter) const override;
    void refresh() override;
};
