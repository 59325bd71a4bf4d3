#pragma once

#include "overlay/pagelist.h"

// The page list of the floating panels: a header and one row per page, at the floating sizes.
class FloatingPageList : public PageList
{
    Q_OBJECT

public:
    explicit FloatingPageList(OverlayContent &content, QWidget *parent = nullptr);

protected:
    void paintHeader(QPainter &painter) const override;
};
