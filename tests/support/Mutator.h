#pragma once
// Seeded damage to good files, for the readers of outside data. Round r
// makes 1 to 4 edits (overwrite, bit flip, cut, insert, 32-bit word, 0xFFFF)
// from a generator seeded with (seed, r) alone, so a failing round is named
// and MUTATION_ROUND=r runs only that one.

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QTest>

#include <cstring>
#include <functional>

namespace mutator {

inline QByteArray damaged(const QList<QByteArray> &corpus, quint32 seed, int round)
{
    const quint32 key[2] = {seed, quint32(round)};
    QRandomGenerator rng(key);
    QByteArray b = corpus[rng.bounded(int(corpus.size()))];
    const int edits = 1 + rng.bounded(4);
    for (int e = 0; e < edits; ++e) {
        const int at = b.isEmpty() ? 0 : rng.bounded(int(b.size()));
        switch (rng.bounded(6)) {
        case 0: if (!b.isEmpty()) b[at] = char(rng.bounded(256)); break;
        case 1: if (!b.isEmpty()) b[at] = char(b[at] ^ (1 << rng.bounded(8))); break;
        case 2: b.truncate(at); break;
        case 3: b.insert(at, char(rng.bounded(256))); break;
        case 4: if (b.size() >= at + 4) { const quint32 v = rng.generate(); std::memcpy(b.data() + at, &v, 4); } break;
        default: if (b.size() >= at + 2) { b[at] = char(0xFF); b[at + 1] = char(0xFF); } break;
        }
    }
    return b;
}

// True when MUTATION_ROUND asks for one round: counts over a whole run mean
// nothing then.
inline bool replaying()
{
    return qEnvironmentVariableIsSet("MUTATION_ROUND");
}

// Runs check on rounds 0 .. rounds - 1 (or on the one round MUTATION_ROUND
// names) and stops at the first round whose check fails the test.
inline void run(const QList<QByteArray> &corpus, quint32 seed, int rounds,
                const std::function<void(const QByteArray &)> &check)
{
    const int only = qEnvironmentVariableIntValue("MUTATION_ROUND");
    for (int round = replaying() ? only : 0; round < (replaying() ? only + 1 : rounds); ++round) {
        check(damaged(corpus, seed, round));
        if (QTest::currentTestFailed()) {
            qWarning("mutation round %d of seed %u failed; MUTATION_ROUND=%d runs it alone", round, seed, round);
            return;
        }
    }
}

} // namespace mutator
