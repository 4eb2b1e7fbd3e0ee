// Candidate tables and counts, result lines and their order, the list rules, the progress caption.

#include "searchfixture.h"

#include "progress.h"

#include <QtTest>

#include <algorithm>
#include <cmath>

using namespace fixture;
using search::Mode;
using search::RowInput;
Q_DECLARE_METATYPE(search::RowInput)

namespace {

// Ticked rows per position as "C:1-10 W:1-12 D:1-8 G:1-4" style ranges, several runs allowed.
search::CandidateTables tablesTicked(const QString &ticks)
{
    search::RosterInput input = rosterOf(Mode::PointsPerWeek);
    for (const QString &part : ticks.split(' ', Qt::SkipEmptyParts)) {
        auto &rows = input.rows[std::size_t(QStringLiteral("CWDG").indexOf(part[0]))];
        for (const QString &run : part.mid(2).split(',', Qt::SkipEmptyParts))
            for (int r = run.section('-', 0, 0).toInt(); r <= run.section('-', 1, 1).toInt(); ++r)
                rows[std::size_t(r - 1)].ticked = true;
    }
    return search::buildCandidates(input);
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT

private slots:
    void teamCount_data()
    {
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QList<int>>("lastRows");
        QTest::addColumn<double>("exact");
        QTest::addColumn<QString>("countText"); // in single precision, as the caption shows it
        QTest::newRow("full roster") << "C:1-20 W:1-20 D:1-15 G:1-15" << QList<int>{20, 20, 15, 15} << 6282753750.0
                                     << "6,282,753,536";
        QTest::newRow("part ticked") << "C:1-10 W:1-12 D:1-8 G:1-4" << QList<int>{10, 12, 8, 4} << 4989600.0 << "4,989,600";
        QTest::newRow("Centres rows 1-2 only")
            << "C:1-2 W:1-12 D:1-8 G:1-4" << QList<int>{2, 12, 8, 4} << 110880.0 << "110,880";
        QTest::newRow("Winger row 1 held") << "C:1-2 W:2-10 D:1-3 G:1-1" << QList<int>{2, 10, 3, 1} << 84.0 << "84";
        QTest::newRow("Defence rows 1-2 held") << "C:1-2 W:1-4 D:3-7 G:1-1" << QList<int>{2, 4, 7, 1} << 5.0 << "5";
        QTest::newRow("no Goalie ticked") << "C:1-2 W:1-4 D:1-3" << QList<int>{2, 4, 3, 1} << 1.0 << "1";
        QTest::newRow("gap after Centre row 5") << "C:1-5,7-9 W:1-4 D:1-3 G:1-1" << QList<int>{5, 4, 3, 1} << 10.0 << "10";
    }

    void teamCount()
    {
        QFETCH(QString, ticked);
        QFETCH(QList<int>, lastRows);
        QFETCH(double, exact);
        const auto tables = tablesTicked(ticked);
        QCOMPARE((QList<int>{tables[Position::C].last, tables[Position::W].last, tables[Position::D].last,
                             tables[Position::G].last}),
                 lastRows);
        QCOMPARE(search::exactTeamCount(tables), exact);
        QTEST(search::groupedNumber(float(exact)), "countText");
        // Costs of 0 lie below every band: the search skips every team and still counts it.
        search::SortedLines lines;
        search::SearchState state{5};
        int len = 0;
        search::ResultList list(lines, state, len);
        search::PickDefence(tables, state, list);
        QCOMPARE(double(state.Examined), exact);
    }

    // Expected: a group's first cost, any other cost, the goalie's cost, the points.
    void cellValues_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<RowInput>("row");
        QTest::addColumn<QList<double>>("expected");
        const int game = int(Mode::PointsPerGame), week = int(Mode::PointsPerWeek);
        auto row = [](const char *cost, const char *points, const char *rate) { return RowInput{cost, points, rate, true}; };
        QTest::newRow("game: plain") << game << row("7", "1.25", "3.75") << QList<double>{7, 7, 7, 1.25};
        QTest::newRow("week: plain") << week << row("7", "1.25", "3.75") << QList<double>{7, 7, 7, 3.75};
        QTest::newRow("10.5 rounds to 10") << week << row("10.5", "1", "3") << QList<double>{10, 10.5, 10, 3};
        QTest::newRow("11.5 rounds to 12") << week << row("11.5", "1", "3") << QList<double>{12, 11.5, 12, 3};
        QTest::newRow("game: empty points") << game << row("5", "", "0") << QList<double>{5, 5, 5, 0};
        QTest::newRow("week: letters for cost") << week << row("abc", "1", "2") << QList<double>{0, 0, 0, 2};
        QTest::newRow("week: empty rate") << week << row("5", "1", "") << QList<double>{5, 5, 5, 0};
        QTest::newRow("first cost beyond 16 bits counts in full")
            << week << row("9E99", "1", "1") << QList<double>{9e99, 9e99, 9e99, 1};
        QTest::newRow("group separator") << week << row("1,50", "1", "1") << QList<double>{150, 150, 150, 1};
        QTest::newRow("8 significant digits") << week << row("1.2345678", "1", "1") << QList<double>{1, 1.2345678, 1, 1};
    }

    void cellValues()
    {
        QFETCH(int, mode);
        QFETCH(RowInput, row);
        QFETCH(QList<double>, expected);
        search::RosterInput input = rosterOf(Mode(mode));
        for (auto &rows : input.rows)
            rows[0] = row;
        const auto t = search::buildCandidates(input);
        QCOMPARE((QList<double>{t[Position::C].firstCost[1], t[Position::W].cost[1], t[Position::G].firstCost[1],
                                t[Position::D].pts[1]}),
                 expected);
    }

    // Points rounded half up from their 7 significant digits, so a sum stored as 1.00499995 shows
    // as the 1.005 it reads; costs keep 7 significant digits.
    void resultLine_data()
    {
        QTest::addColumn<float>("pts");
        QTest::addColumn<float>("cost");
        QTest::addColumn<QString>("head"); // the line before its rows
        QTest::newRow("whole points") << 38.f << 902.f << "38. -- 902";
        QTest::newRow("one decimal") << 123.5f << 123.5f << "123.5 -- 123.5";
        QTest::newRow("below one") << 0.75f << 0.75f << ".75 -- 0.75";
        QTest::newRow("rounded to two decimals") << 41.256f << 41.256f << "41.26 -- 41.256";
        QTest::newRow("reads 2.675") << 2.675f << 1000.5f << "2.68 -- 1000.5";
        QTest::newRow("reads 1.005") << 1.005f << 1.f << "1.01 -- 1";
        QTest::newRow("9.999 carries") << 9.999f << 10.f << "10. -- 10";
        QTest::newRow("zero") << 0.f << 0.f << ". -- 0";
        QTest::newRow("negative") << -1.5f << -3.f << "-1.5 -- -3";
        QTest::newRow("cost of 7 significant digits") << 50.f << 12345.67f << "50. -- 12345.67";
        // Beyond 10^15 only 7 digits are the points' own; the float holds 1234567008616448.
        QTest::newRow("points of 16 digits") << 1.234567e15f << 950.f << "1234567000000000. -- 950";
    }

    void resultLine()
    {
        QFETCH(float, pts);
        QFETCH(float, cost);
        QFETCH(QString, head);
        QCOMPARE(QString::fromStdString(search::resultLine(pts, cost, {1, 2, 3, 4, 5, 6, 1, 2, 3, 2})),
                 head + " -- 1 2 - 3 4 5 6 - 1 2 3 - 2");
    }

    // The percentage 0.75 shows half up; the rate is per second of the 2-second tick.
    void progressCaption()
    {
        QCOMPARE(search::progressCaption(3, 0, 400, "400"), "3 / 400 = 0.8%.  \n2 per second\n4.4min left");
        QCOMPARE(search::progressCaption(1000, 1000, 4000, "4,000"), "1,000 / 4,000 = 25.0%.  \n0 per second\n");
    }

    // Lines in character-code order ("10.5" before "9.75") in blocks that split, one by one or in
    // batches across the block size; the changes a view hears of rebuild the list when replayed.
    void sortedLines_data()
    {
        QTest::addColumn<int>("batchSize"); // 0: one by one
        QTest::newRow("one by one") << 0;
        QTest::newRow("batches of one line") << 1;
        QTest::newRow("a few") << 7;
        QTest::newRow("more than a block") << 1500;
        QTest::newRow("all at once") << 6000;
    }

    void sortedLines()
    {
        QFETCH(int, batchSize);
        search::SortedLines lines;
        std::vector<std::string> replay, all; // replay: the lines as the changes place them
        std::string removed;
        unsigned x = 777;
        for (int i = 0; i < 6000; ++i) {
            x = x * 1103515245u + 12345u;
            all.push_back(std::to_string(x % 1000) + (x % 3 ? ".5 -- 950 -- 1 2 - 1 2 3 " : ". -- 950 -- ")
                          + std::to_string(x % 700));
        }
        const std::size_t step = std::size_t(std::max(batchSize, 1));
        for (std::size_t from = 0; from < all.size(); from += step) {
            const std::size_t to = std::min(all.size(), from + step);
            if (batchSize == 0)
                lines.insert(all[from]);
            else
                lines.insertBatch({all.begin() + std::ptrdiff_t(from), all.begin() + std::ptrdiff_t(to)});
            const auto changes = lines.takeChanges();
            QVERIFY(changes);
            for (const auto &change : *changes) {
                QVERIFY(change.inserted);
                replay.insert(replay.begin() + change.index, std::string());
            }
            for (std::size_t i = 0; i < replay.size(); ++i)
                if (replay[i].empty())
                    replay[i] = std::string(lines.at(i));
            if (from == 0) { // a line goes between batches, as in a Top 35 trim
                removed = std::string(lines.first());
                lines.removeFirst();
                lines.takeChanges();
                replay.erase(replay.begin());
            }
        }
        const std::size_t longest = std::max_element(all.begin(), all.end(), [](auto &a, auto &b) {
                                        return a.size() < b.size();
                                    })->size();
        std::sort(all.begin(), all.end());
        all.erase(std::find(all.begin(), all.end(), removed));
        QCOMPARE(lines.size(), all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            QCOMPARE(std::string(lines.at(i)), all[i]);
            QCOMPARE(replay[i], all[i]);
        }
        QCOMPARE(lines.longestLine().size(), longest);
    }

    // With batching, the lines wait until a merge, count towards the cap while they wait, and
    // ticking the box in a yield that did not merge still trims a merged list.
    void batchedListing()
    {
        search::SortedLines lines;
        search::SearchState state;
        int len = 0;
        bool ticked = false;
        search::ResultList list(lines, state, len);
        list.batchLines = true;
        list.top35Ticked = [&] { return ticked; };
        list.capacity = 50;
        for (int i = 1; i <= 40; ++i)
            list.listTeam(float(40 + (i * 7) % 40), 900, {1, 2, 3, 4, 5, 6, 1, 2, 3, 1});
        QCOMPARE(lines.size(), std::size_t(0));
        list.mergePending();
        QCOMPARE(lines.size(), std::size_t(40));
        for (int i = 0; i < 10; ++i)
            list.listTeam(30, 900, {1, 2, 3, 4, 5, 6, 1, 2, 3, 1});
        QVERIFY(!state.StopRequested);
        list.listTeam(30, 900, {1, 2, 3, 4, 5, 6, 1, 2, 3, 1});
        QVERIFY(list.full() && state.StopRequested);
        state.StopRequested = false;
        list.capacity = 100;
        list.yield = [&] { ticked = true; };
        list.listTeam(20, 900, {1, 2, 3, 4, 5, 6, 1, 2, 3, 1});
        QCOMPARE(lines.size(), std::size_t(50)); // merged, then one line trimmed
        QCOMPARE(QString::fromStdString(std::string(lines.first())).left(2), "30");
    }

    // The list rules against a model of their own, on teams with many equal points, texts of one
    // to six characters across the trim, and the Top 35 box clicked between teams. The model keeps
    // lines in order, equal ones in arrival, drops the first beyond 35 while ticked, and reads
    // PtsLen and the target (halves to even) from the first line.
    void listRulesAgainstModel_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<float>("lowest"); // points of the weakest team, in quarters up from here
        for (int seed = 1; seed <= 12; ++seed) {
            const float lowest = seed % 3 == 0 ? 9.f : seed % 3 == 1 ? 98.5f : 40.5f;
            QTest::newRow(qPrintable(QStringLiteral("seed %1 from %2").arg(seed).arg(lowest))) << seed << lowest;
        }
    }
    void listRulesAgainstModel()
    {
        QFETCH(int, seed);
        QFETCH(float, lowest);
        QRandomGenerator random{quint32(seed)};
        search::SortedLines lines;
        search::SearchState state;
        state.Target = lowest - 1;
        int len = 0;
        bool ticked = true;
        search::ResultList list(lines, state, len);
        list.top35Ticked = [&] { return ticked; };

        std::vector<std::string> model;
        int modelLen = 0;
        float modelTarget = state.Target;
        for (int team = 0; team < 400; ++team) {
            if (random.bounded(25) == 0) { // a click on the box, then the pair's yield
                ticked = !ticked;
                if (ticked) { // ticking cuts the list to 35 from the top, leaving the target
                    search::cutToTop35(lines);
                    while (model.size() > 35)
                        model.erase(model.begin());
                }
                list.yieldToEvents();
            }
            // Quarters keep the points exact; they reach the 5-character texts (100.25, 41.25).
            const float pts = lowest + float(random.bounded(12)) / 4;
            const float cost = random.bounded(2) ? 950.f : 12345.67f;
            search::TeamRows rows{};
            for (int &row : rows)
                row = 1 + random.bounded(2);
            if (pts <= modelTarget)
                continue;
            const std::string line = search::resultLine(pts, cost, rows);
            list.listTeam(pts, cost, rows);

            model.insert(std::upper_bound(model.begin(), model.end(), line), line);
            if (ticked && model.size() > 35) {
                model.erase(model.begin());
                const std::string &first = model.front();
                for (std::size_t k = 1; k <= 6 && k <= first.size(); ++k)
                    if (first[k - 1] == ' ') {
                        modelLen = int(k) - 1;
                        break;
                    }
                if (modelLen > 0)
                    modelTarget = float(std::nearbyint(std::stod(first.substr(0, std::size_t(modelLen)))));
            }
            QCOMPARE(lines.size(), model.size());
            QCOMPARE(std::string(lines.first()), model.front());
            QCOMPARE(len, modelLen);
            QCOMPARE(state.Target, modelTarget);
        }
        for (std::size_t i = 0; i < model.size(); ++i)
            QCOMPARE(std::string(lines.at(i)), model[i]);
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
