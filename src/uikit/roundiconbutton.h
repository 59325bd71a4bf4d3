#pragma once

#include <QAbstractButton>

// The label of the small round minimise, close and duplicate buttons: the symbol, bold, in
// white 0.5 on a white 0.1 disc of diameter `side`, centred in `rect`.
void roundIconLabel(QPainter *painter, const QRectF &rect, const QString &symbol, double side,
                    double symbolSize);

// A plain button showing a round icon label; it is exactly `side` points square and reacts only
// inside its disc. Pressing it changes nothing in its look.
class RoundIconButton : public QAbstractButton
{
    Q_OBJECT

public:
    RoundIconButton(const QString &symbol, double side, double symbolSize,
                    QWidget *parent = nullptr);

    QString symbol() const { return m_symbol; }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    QString m_symbol;
    double m_side = 0;
    double m_symbolSize = 0;
};
