// SPDX-License-Identifier: MIT
// Result lines, the progress caption and the sorted lines.
#include "format.h"
#include "progress.h"
#include "resultlist.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>

using roster::Position;

class TestResults : public QObject {
    Q_OBJECT

private slots:
    // Points round half up from 7 significant digits (1.00499995 reads 1.005); costs keep 7 digits.
    void resultLine_data()
    {
        QTest::addColumn<float>("pts");
        QTest::addColumn<float>("cost");
        QTest::addColumn<QString>("head"); // the line before its rows
        QTest::newRow("below one") << 0.75f << 0.75f << ".75 -- 0.75";
        QTest::newRow("reads 1.005") << 1.005f << 1.f << "1.01 -- 1";
        QTest::newRow("reads 1.004") << 1.004f << 1.f << "1. -- 1";
        QTest::newRow("9.999 carries") << 9.999f << 10.f << "10. -- 10";
        QTest::newRow("zero") << 0.f << 0.f << ". -- 0";
        QTest::newRow("one") << 1.f << 1.f << "1. -- 1";
        QTest::newRow("cost below 1E-4") << 5.f << 1e-5f << "5. -- 1E-05";
        QTest::newRow("cost of ten million") << 5.f << 1e7f << "5. -- 1E+07";
        QTest::newRow("cost of 1E10") << 5.f << 1e10f << "5. -- 1E+10";
        QTest::newRow("negative") << -1.5f << -3.f << "-1.5 -- -3";
        QTest::newRow("negative, rounding to zero") << -0.001f << 1.f << ". -- 1";
        QTest::newRow("a billionth") << 1e-9f << 1.f << ". -- 1";
        QTest::newRow("5 thousandths: half a hundredth, up") << 0.005f << 1.f << ".01 -- 1";
        QTest::newRow("cost of 7 significant digits") << 50.f << 12345.67f << "50. -- 12345.67";
        QTest::newRow("points of 5 whole digits") << 12345.67f << 1.f << "12345.67 -- 1";
        QTest::newRow("points of 7 whole digits") << 1234567.f << 1.f << "1234567. -- 1";
        QTest::newRow("cost of 21 digits") << 5.f << 1e20f << "5. -- 1E+20";
        // Beyond 10^15 only 7 digits are the points' own; the float holds 1234567008616448.
        QTest::newRow("points of 16 digits") << 1.234567e15f << 950.f << "1234567000000000. -- 950";
        QTest::newRow("16 digits, the 7th rounded up") << 1.2345675e15f << 950.f << "1234568000000000. -- 950";
        QTest::newRow("16 digits, negative") << -1.234567e15f << 950.f << "-1234567000000000. -- 950";
        QTest::newRow("points of 21 digits") << 1e20f << 950.f << "100000000000000000000. -- 950";
    }

    void resultLine()
    {
        QFETCH(float, pts);
        QFETCH(float, cost);
        QFETCH(QString, head);
        QCOMPARE(QString::fromStdString(search::resultLine(pts, cost, {1, 2, 3, 4, 5, 6, 1, 2, 3, 2})),
                 head + " -- 1 2 - 3 4 5 6 - 1 2 3 - 2");
        // Two-digit rows keep both digits, and the rows read back as they were written.
        const search::TeamRows rows{9, 10, 11, 19, 20, 1, 10, 14, 15, 15};
        const std::string line = search::resultLine(pts, cost, rows);
        QCOMPARE(QString::fromStdString(line), head + " -- 9 10 - 11 19 20 1 - 10 14 15 - 15");
        QCOMPARE(search::rowsOfLine(line), std::optional(rows));
        // Seen through a view of a longer text, as the list's own store holds its lines: nothing
        // after the view is read.
        QCOMPARE(search::rowsOfLine(std::string_view(line + "9").substr(0, line.size())), std::optional(rows));
        // Eleven rows, or a row that is no number, make no team.
        for (const char *odd : {"1. -- 1 -- 1 2 - 3 4 5 6 - 7 8 9 - 1 2", "1. -- 1 -- 1 2 - 3 4 5 6 - 7 8 9 - x"})
            QCOMPARE(search::rowsOfLine(odd), std::nullopt);
    }

    // The percentage 0.75 shows half up; the rate is per second of the 2-second tick.
    void progressCaption()
    {
        QCOMPARE(search::progressCaption(3, 0, 400, "400"), "3 / 400 = 0.8%.  \n2 per second\n4.4min left");
        // One team in a tick of two seconds still gives an estimate: 396 teams left, 13.2 minutes.
        QCOMPARE(search::progressCaption(4, 3, 400, "400").section(u'\n', 2), "13.2min left");
        // 99.9975% rounds up through every digit; 0.0025% keeps its leading zeros.
        QVERIFY(search::progressCaption(39999, 0, 40000, "40,000").startsWith("39,999 / 40,000 = 100.0%."));
        QVERIFY(search::progressCaption(1, 0, 40000, "40,000").startsWith("1 / 40,000 = 0.0%."));
        // No team in the tick: a rate of 0, unsigned, and no estimate.
        QCOMPARE(search::progressCaption(5, 5, 400, "400"), "5 / 400 = 1.3%.  \n0 per second\n");
    }

    // Lines ranked by points, ties by text ("9.75" before "10.5", "12.5 -- 1" before "12.5 -- 2"),
    // the closing counts after them, against a sorted model: lines one by one or in batches,
    // the weakest removed now and then, read in sequence, backwards and at random, and lines found
    // again after the changes by what they show. Ties differ only past the sixteen characters the
    // tie key holds, or in characters outside those of a team line ("inf", "9x" after "9E", "9!"
    // after "9 ", "!5" after " 5"), and equal lines repeat.
    void sortedLines_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("batchSize"); // 0: one by one
        QTest::addColumn<int>("distinctPoints");
        QTest::newRow("one by one") << 6000 << 0 << 1000;
        QTest::newRow("one by one, few points") << 6000 << 0 << 3;
        QTest::newRow("batches of 7") << 6000 << 7 << 40;
        QTest::newRow("batches of 1500") << 6000 << 1500 << 1000;
        QTest::newRow("batches of 1500, few points") << 6000 << 1500 << 2;
        QTest::newRow("one batch") << 6000 << 100000 << 5;
        QTest::newRow("runs that stop merging") << 400000 << 8192 << 1000;
    }

    void sortedLines()
    {
        QFETCH(int, count);
        QFETCH(int, batchSize);
        QFETCH(int, distinctPoints);
        using Line = std::pair<float, std::string>;
        const char *rests[] = {"950 -- 1 2 - 3 4 5 6 - 7 8 9 - ",
                               "950 -- 1 2 - 3 4 5 6 - 7 8 9 - 1",
                               "95 -- ",
                               "950 -- 1",
                               "inf -- 1 2 - ",
                               "nan -- 3",
                               "9x -- 1",
                               "950 -- 1 2 - 3 4 5 6 - 7 8 9 -",
                               "1E+07 -- 2",
                               "9E -- 5",
                               "9 -- 5",
                               "9! -- 5",
                               " 5",
                               "!5"};
        std::vector<Line> all;
        std::multiset<Line> model; // lines repeat
        std::string longest;       // the first of the longest lines, in the order they come
        for (unsigned i = 0, x = 777; i < unsigned(count); ++i) {
            x = x * 1103515245u + 12345u;
            const float pts = float((x >> 8) % unsigned(distinctPoints)) / 8; // texts of one to three whole digits
            std::string line = search::pointsText(pts) + " -- " + rests[(x >> 4) % std::size(rests)]
                               + std::to_string(i % 900);
            if (line.size() > longest.size())
                longest = line;
            all.emplace_back(pts, std::move(line));
        }
        search::SortedLines lines;
        lines.appendClosing("6000");
        lines.appendClosing("examined");
        QRandomGenerator random(7);
        std::vector<search::SortedLines::Anchor> anchors;
        auto check = [&] {
            const std::vector<Line> sorted(model.begin(), model.end());
            QCOMPARE(lines.teamCount(), sorted.size());
            QCOMPARE(lines.size(), sorted.size() + 2);
            for (const auto &anchor : anchors) { // found again, or where it stood when it went
                std::size_t where = 0;
                const auto row = lines.rowOf(anchor, &where);
                const Line line{anchor.points, anchor.text};
                const auto it = std::lower_bound(sorted.begin(), sorted.end(), line);
                const bool kept = anchor.closing || (it != sorted.end() && *it == line);
                QCOMPARE(row, kept ? std::optional(where) : std::nullopt);
                QCOMPARE(where, anchor.closing ? sorted.size() + *anchor.closing : std::size_t(it - sorted.begin()));
            }
            for (int k = 0; k < 20 && !sorted.empty(); ++k) {
                const std::size_t i = random.bounded(quint32(sorted.size()));
                QCOMPARE(std::string(lines.at(i)), sorted[i].second);
            }
            for (std::size_t i = 0; i < sorted.size(); i += 1 + sorted.size() / 200) // runs forward and back
                for (std::size_t j = i; j < std::min(sorted.size(), i + 3); ++j)
                    QCOMPARE(std::string(lines.at(j)), sorted[j].second);
            for (std::size_t j = std::min<std::size_t>(sorted.size(), 5); j-- > 0;)
                QCOMPARE(std::string(lines.at(j)), sorted[j].second);
            QVERIFY(lines.at(sorted.size()) == "6000" && lines.at(sorted.size() + 1) == "examined");
            anchors.clear();
            for (int k = 0; k < 8; ++k)
                anchors.push_back(lines.anchorAt(random.bounded(quint32(sorted.size() + 2))));
            if (!sorted.empty())
                QCOMPARE(lines.firstPoints(), sorted.front().first);
        };
        const std::size_t step = std::size_t(std::max(batchSize, 1));
        int round = 0;
        for (std::size_t from = 0; from < all.size(); from += step) {
            const std::size_t to = std::min(all.size(), from + step);
            if (batchSize == 0) {
                lines.insert(all[from].first, all[from].second);
            } else {
                std::vector<search::SortedLines::TeamLine> batch;
                for (std::size_t i = from; i < to; ++i)
                    batch.push_back({all[i].first, all[i].second});
                lines.insertBatch(batch);
            }
            model.insert(all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(to));
            for (quint32 n = random.bounded(3); n > 0 && !model.empty(); --n) { // as a Top 35 trim does
                lines.removeFirst();
                model.erase(model.begin());
            }
            if (++round % 13 == 1 || to == all.size())
                check();
        }
        QCOMPARE(lines.longestLine(), longest);
        search::cutToTop35(lines); // the closing line is no team: it stays, after the 35 best
        while (model.size() > 35)
            model.erase(model.begin());
        check();
        // Cleared, the list starts afresh: no line of before is found again or comes back.
        const auto closing = lines.anchorAt(lines.size() - 1), team = lines.anchorAt(0);
        lines.clear();
        QVERIFY(!lines.rowOf(closing) && !lines.rowOf(team));
        lines.insert(1, "1. -- 9");
        lines.appendClosing("1");
        QVERIFY(lines.size() == 2 && lines.at(0) == "1. -- 9" && !lines.rowOf(team) && !lines.rowOf(closing));
        QCOMPARE(lines.longestLine(), "1. -- 9");
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
