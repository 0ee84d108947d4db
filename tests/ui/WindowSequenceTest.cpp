// The window sequence engine over a seeded run of short sequences: after every action the
// window shows what a freshly opened one shows, its title tells the truth about unsaved
// changes, undo then redo changes nothing, and no dialog stays open.

#include <QElapsedTimer>
#include <QtTest>

#include "UiHarness.h"
#include "WindowSequence.h"

using namespace brivant;
using namespace brivant::uitest;

class WindowSequenceTest : public QObject {
    Q_OBJECT

  private slots:
    void seededSequences() {
        std::uint32_t first = 1;
#if defined(BRIVANT_SANITIZED)
        // The sanitizers slow every action several times over: fewer runs keep the test
        // program within its time. (The compiler's own macro for this is gcc's alone: with
        // clang the sanitizer build ran all of them.)
        std::uint32_t count = 100;
#else
        std::uint32_t count = 400;
#endif
        // A longer or other run for a search: BRIVANT_WINDOW_SEEDS=first,count.
        if (const QByteArray env = qgetenv("BRIVANT_WINDOW_SEEDS"); !env.isEmpty()) {
            const QList<QByteArray> parts = env.split(',');
            first = parts.value(0).toUInt();
            count = parts.value(1, QByteArray::number(count)).toUInt();
        }
        QElapsedTimer clock;
        clock.start();
        int actions = 0;
        QStringList findings;
        for (std::uint32_t seed = first; seed < first + count && findings.size() < 5; ++seed) {
            // Mostly short runs, now and then a long one.
            const int steps = seed % 25 == 0 ? kMaxWindowSteps : 1 + static_cast<int>(seed * 7 % 6);
            const WindowOutcome out = RunWindowSequence(seed, steps);
            actions += static_cast<int>(out.steps.size());
            if (out.finding)
                findings << QStringLiteral("seed %1\n").arg(seed) +
                                QString::fromStdString(out.Text());
        }
        qInfo("window sequences: %u runs from seed %u, %d actions, %lld ms", count, first, actions,
              static_cast<long long>(clock.elapsed()));
        if (!findings.isEmpty()) QFAIL(qPrintable(findings.join(QStringLiteral("\n"))));
    }
};

UI_TEST(WindowSequenceTest);
#include "WindowSequenceTest.moc"
