#include "onboarding/celebrationmath.h"

#include <QTest>

using namespace Celebration;

class TestCelebrationMath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Index 0's ten draws and the piece they make in a 720-point-wide container.
    void firstPiece()
    {
        QCOMPARE(confettiSeed(0), 11000033u);
        Mulberry32 random(confettiSeed(0));
        const double draws[]{0.169968, 0.629297, 0.871569, 0.653705, 0.337535,
                             0.813425, 0.756633, 0.018892, 0.541490, 0.798105};
        for (const double expected : draws)
            QVERIFY2(std::abs(random.next() - expected) < 1e-6,
                     qPrintable(QString::number(expected)));

        const ConfettiPiece piece = ConfettiPiece::make(0, QSizeF(720, 560));
        QVERIFY(std::abs(piece.startX - 122.38) < 0.01);
        QVERIFY(std::abs(piece.drift - 7.76) < 0.01);
        QVERIFY(std::abs(piece.duration - 9.42) < 0.01);
        QVERIFY(std::abs(piece.delay + 3.92) < 0.01);
        QVERIFY(std::abs(piece.rot1 - 373.60) < 0.01);
        QCOMPARE(piece.shape(), ConfettiPiece::Shape::rectangle);
        QCOMPARE(piece.colorRoll, 4);
        QVERIFY(!piece.hasGlow());

        // p = 0 above the top, invisible; p = 0.5 halfway down, fully visible.
        QCOMPARE(piece.centre(0), QPointF(piece.startX, -20));
        QCOMPARE(piece.opacity(0), 0.0);
        QCOMPARE(piece.centre(0.5), QPointF(piece.startX + piece.drift / 2, 620 / 2.0 - 20));
        QCOMPARE(piece.opacity(0.5), 1.0);
    }

    // One fall per duration, starting mid-fall by the negative delay; seeds never trap, however
    // many pieces.
    void fallsAndSeeds()
    {
        const ConfettiPiece piece = ConfettiPiece::make(0, QSizeF(720, 560));
        const double atStart = piece.progress(0);
        QVERIFY(std::abs(atStart - (-piece.delay / piece.duration)) < 1e-9);
        QVERIFY(std::abs(piece.progress(piece.duration) - atStart) < 1e-9);
        QVERIFY(std::abs(piece.progress(piece.duration / 4) - (atStart + 0.25)) < 1e-9);
        for (const int index : {4283, 4284, 100000, 2147483647}) {
            const ConfettiPiece far = ConfettiPiece::make(index, QSizeF(0.5, 10));
            QVERIFY(far.startX >= 0 && far.startX < 1);
            QVERIFY(far.colorRoll >= 0 && far.colorRoll <= 5);
        }
    }

    // The check mark grows along its length.
    void checkGlyph()
    {
        QVERIFY(checkGlyphPath(44, 0).isEmpty());
        const QPainterPath whole = checkGlyphPath(88, 1);
        QCOMPARE(whole.elementCount(), 3);
        QCOMPARE(QPointF(whole.elementAt(2)), QPointF(66, 28));
        const double total = whole.length();
        QVERIFY(std::abs(checkGlyphPath(88, 0.5).length() - total / 2) < 1e-6);
    }
};

QTEST_GUILESS_MAIN(TestCelebrationMath)
#include "tst_celebrationmath.moc"
