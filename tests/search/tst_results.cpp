// SPDX-License-Identifier: MIT
// Candidate tables, counts, result lines, the list rules, the progress caption, why nothing was listed.
#include "searchfixture.h"

#include "emptyresult.h"
#include "progress.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <set>

using search::Mode;
using search::RowInput;
Q_DECLARE_METATYPE(search::RowInput)

class TestResults : public QObject {
    Q_OBJECT

private slots:
    // Ticked rows as "C:1-5,7-9 W:1-4" ranges; the last row each position's search reaches.
    void teamCount_data()
    {
        QTest::addColumn<QString>("ticked");
        QTest::addColumn<QList<int>>("lastRows");
        QTest::addColumn<double>("exact");
        QTest::addColumn<QString>("countText"); // in single precision, as the caption shows it
        QTest::newRow("full roster") << "C:1-20 W:1-20 D:1-15 G:1-15" << QList<int>{20, 20, 15, 15} << 6282753750.0
                                     << "6,282,753,536";
        QTest::newRow("part ticked") << "C:1-10 W:1-12 D:1-8 G:1-4" << QList<int>{10, 12, 8, 4} << 4989600.0 << "4,989,600";
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
        search::RosterInput input = rosterOf(Mode::PointsPerWeek);
        for (const QString &part : ticked.split(' '))
            for (const QString &run : part.mid(2).split(','))
                for (int r = run.section('-', 0, 0).toInt(); r <= run.section('-', 1, 1).toInt(); ++r)
                    input.rows[std::size_t(QStringLiteral("CWDG").indexOf(part[0]))][std::size_t(r - 1)].ticked = true;
        const auto tables = search::buildCandidates(input);
        for (Position p : roster::AllPositions)
            QCOMPARE(tables[p].last, lastRows[roster::index(p)]);
        QCOMPARE(search::exactTeamCount(tables), exact);
        QTEST(search::groupedNumber(float(exact)), "countText");
        // Costs of 0 lie below every band: the search skips every team and still counts it.
        search::SortedLines lines;
        search::SearchState state{5};
        search::ResultList list(lines, state);
        search::PickDefence(tables, state, list);
        QCOMPARE(double(state.Examined), exact);
    }

    void cellValues_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<RowInput>("row");
        QTest::addColumn<QList<double>>("expected"); // a group's first cost, another, the goalie's, the points
        const int game = int(Mode::PointsPerGame), week = int(Mode::PointsPerWeek);
        auto row = [](const char *cost, const char *points, const char *rate) { return RowInput{cost, points, rate, true}; };
        QTest::newRow("game: plain") << game << row("7", "1.25", "3.75") << QList<double>{7, 7, 7, 1.25};
        QTest::newRow("week: plain") << week << row("7", "1.25", "3.75") << QList<double>{7, 7, 7, 3.75};
        QTest::newRow("10.5 rounds to 10") << week << row("10.5", "1", "3") << QList<double>{10, 10.5, 10, 3};
        QTest::newRow("11.5 rounds to 12") << week << row("11.5", "1", "3") << QList<double>{12, 11.5, 12, 3};
        QTest::newRow("game: empty points") << game << row("5", "", "0") << QList<double>{5, 5, 5, 0};
        QTest::newRow("week: letters for cost") << week << row("abc", "1", "2") << QList<double>{0, 0, 0, 2};
        QTest::newRow("9E99 counts in full") << week << row("9E99", "1", "1") << QList<double>{9e99, 9e99, 9e99, 1};
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

    // Points round half up from 7 significant digits (1.00499995 reads 1.005); costs keep 7 digits.
    void resultLine_data()
    {
        QTest::addColumn<float>("pts");
        QTest::addColumn<float>("cost");
        QTest::addColumn<QString>("head"); // the line before its rows
        QTest::newRow("whole points") << 38.f << 902.f << "38. -- 902";
        QTest::newRow("below one") << 0.75f << 0.75f << ".75 -- 0.75";
        QTest::newRow("rounded to two decimals") << 41.256f << 41.256f << "41.26 -- 41.256";
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
        // Two-digit rows keep both digits, and the rows read back as they were written.
        const search::TeamRows rows{9, 10, 11, 19, 20, 1, 10, 14, 15, 15};
        const std::string line = search::resultLine(pts, cost, rows);
        QCOMPARE(QString::fromStdString(line), head + " -- 9 10 - 11 19 20 1 - 10 14 15 - 15");
        QCOMPARE(search::rowsOfLine(line), std::optional(rows));
    }

    // The percentage 0.75 shows half up; the rate is per second of the 2-second tick.
    void progressCaption()
    {
        QCOMPARE(search::progressCaption(3, 0, 400, "400"), "3 / 400 = 0.8%.  \n2 per second\n4.4min left");
        QCOMPARE(search::progressCaption(1000, 1000, 4000, "4,000"), "1,000 / 4,000 = 25.0%.  \n0 per second\n");
        // One team in a tick of two seconds still gives an estimate: 396 teams left, 13.2 minutes.
        QCOMPARE(search::progressCaption(4, 3, 400, "400").section(u'\n', 2), "13.2min left");
    }

    // Lines ranked by points, ties by text ("9.75" before "10.5", "12.5 -- 1" before "12.5 -- 2"),
    // the closing counts after them, against a sorted model: lines one by one or in batches,
    // the weakest removed now and then, read in sequence, backwards and at random, and lines found
    // again after the changes by what they show. Ties differ only past the sixteen characters the
    // tie key holds, or in characters outside those of a team line ("inf", "9x" after "9E", "9!"
    // after "9 "), and equal lines repeat.
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
                               "9! -- 5"};
        std::vector<Line> all;
        std::multiset<Line> model; // lines repeat
        std::size_t longest = 0;
        for (unsigned i = 0, x = 777; i < unsigned(count); ++i) {
            x = x * 1103515245u + 12345u;
            const float pts = float((x >> 8) % unsigned(distinctPoints)) / 8; // texts of one to three whole digits
            std::string line = search::pointsText(pts) + " -- " + rests[(x >> 4) % std::size(rests)]
                               + std::to_string(i % 900);
            longest = std::max(longest, line.size());
            all.emplace_back(pts, std::move(line));
        }
        search::SortedLines lines;
        lines.appendClosing("6000");
        QRandomGenerator random(7);
        std::vector<search::SortedLines::Anchor> anchors;
        auto check = [&] {
            const std::vector<Line> sorted(model.begin(), model.end());
            QCOMPARE(lines.teamCount(), sorted.size());
            QCOMPARE(lines.size(), sorted.size() + 1);
            for (const auto &anchor : anchors) { // found again, or where it stood when it went
                std::size_t where = 0;
                const auto row = lines.rowOf(anchor, &where);
                const Line line{anchor.points, anchor.text};
                const auto it = std::lower_bound(sorted.begin(), sorted.end(), line);
                const bool kept = anchor.closing || (it != sorted.end() && *it == line);
                QCOMPARE(bool(row), kept);
                QCOMPARE(where, anchor.closing ? sorted.size() : std::size_t(it - sorted.begin()));
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
            QCOMPARE(std::string(lines.at(sorted.size())), "6000");
            anchors.clear();
            for (int k = 0; k < 8; ++k)
                anchors.push_back(lines.anchorAt(random.bounded(quint32(sorted.size() + 1))));
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
        QCOMPARE(lines.longestLine().size(), longest);
        search::cutToTop35(lines); // the closing line is no team: it stays, after the 35 best
        while (model.size() > 35)
            model.erase(model.begin());
        check();
    }

    // Batched lines wait for a merge and count towards the cap; a tick while they wait cuts them too.
    void batchedListing()
    {
        search::SortedLines lines;
        search::SearchState state;
        bool ticked = false;
        search::ResultList list(lines, state);
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
        list.yield = [&] { // one click on the box, as the window makes it, while 11 lines wait
            if (!ticked) {
                ticked = true;
                search::cutToTop35(lines);
            }
        };
        list.listTeam(20, 900, {1, 2, 3, 4, 5, 6, 1, 2, 3, 1});
        QCOMPARE(lines.size(), std::size_t(35)); // the best 35 of all 51 lines, as without waiting
        QCOMPARE(lines.firstPoints(), 45.f);
    }

    // The list rules against a model: lines ranked by points, the weakest dropped, the target
    // raised to the exact points of the line that is then the weakest.
    void listRulesAgainstModel_data()
    {
        QTest::addColumn<int>("seed");
        QTest::addColumn<float>("lowest"); // points of the weakest team
        QTest::addColumn<float>("step");   // points rise in such steps, 12 of them
        for (int seed = 1; seed <= 12; ++seed) {
            // Points across 10 and 100, where the texts' order is not the points' order, and in
            // steps no text shows (ties of the text, not of the points).
            const float lowest = seed % 3 == 0 ? 9.f : seed % 3 == 1 ? 98.5f : 40.5f;
            const float step = seed % 2 ? 0.25f : 0.001f;
            QTest::newRow(qPrintable(QStringLiteral("seed %1 from %2").arg(seed).arg(lowest))) << seed << lowest << step;
        }
    }
    void listRulesAgainstModel()
    {
        QFETCH(int, seed);
        QFETCH(float, lowest);
        QFETCH(float, step);
        QRandomGenerator random{quint32(seed)};
        search::SortedLines lines;
        search::SearchState state;
        state.Target = lowest - 1;
        bool ticked = true;
        search::ResultList list(lines, state);
        list.top35Ticked = [&] { return ticked; };

        std::vector<std::pair<float, std::string>> model;
        float modelTarget = state.Target;
        for (int team = 0; team < 400; ++team) {
            if (random.bounded(25) == 0) { // a click on the box, then the pair's yield
                ticked = !ticked;
                if (ticked) { // ticking cuts the list to its best 35, leaving the target
                    search::cutToTop35(lines);
                    while (model.size() > 35)
                        model.erase(model.begin());
                }
                list.yieldToEvents();
            }
            const float pts = lowest + float(random.bounded(12)) * step;
            const float cost = random.bounded(2) ? 950.f : 12345.67f;
            search::TeamRows rows{};
            for (int &row : rows)
                row = 1 + random.bounded(12);
            if (pts <= modelTarget)
                continue;
            const std::pair<float, std::string> line{pts, search::resultLine(pts, cost, rows)};
            list.listTeam(pts, cost, rows);

            model.insert(std::upper_bound(model.begin(), model.end(), line), line);
            if (ticked && model.size() > 35) {
                model.erase(model.begin());
                modelTarget = model.front().first;
            }
            QCOMPARE(lines.size(), model.size());
            QCOMPARE(std::string(lines.at(0)), model.front().second);
            QCOMPARE(state.Target, modelTarget);
        }
        for (std::size_t i = 0; i < model.size(); ++i)
            QCOMPARE(std::string(lines.at(i)), model[i].second);
    }

    // Teams of `tens` cost 10 (Goalie row 1, 0.5 points) or 12 (Goalie row 2, 4 points); Centres
    // add 3, 4 or 5 points, the rest 7. The cheapest and dearest teams as the search sums them:
    // first costs rounded to whole numbers, halves to even, and held rows in every team.
    void explanation_data()
    {
        QTest::addColumn<QString>("roster");
        QTest::addColumn<int>("cashLimit");
        QTest::addColumn<int>("minSpend");
        QTest::addColumn<float>("target");
        QTest::addColumn<bool>("stopped");
        QTest::addColumn<int>("budget"); // milliseconds
        QTest::addColumn<QString>("sentence");
        const QString tens = "C:1/1,1/2,1/3 W:1,1,1,1 D:1,1,1 G:1/0.5,3/4";
        const auto row = [](const char *name, const QString &roster, int cashLimit, int minSpend, float target,
                            const QString &sentence, bool stopped = false, int budget = 1000) {
            QTest::newRow(name) << roster << cashLimit << minSpend << target << stopped << budget << sentence;
        };
        const QString rounded = "C:2.5,1.5,9,9 W:1,1,1,1 D:1,1,1 G:0.5,7"; // Centres 2+1.5 or 9+9, the Goalie 0 or 7
        row("rounded first costs: the cheapest", rounded, 10, 5, 0,
            "No team's cost lies inside the spending band (above 5 and below 10): the cheapest possible team costs 10.5.");
        row("rounded first costs: the dearest", rounded, 40, 32, 0,
            "No team's cost lies inside the spending band (above 32 and below 40): the dearest possible team costs 32.");
        row("a held Centre", "C:!5,1,2,3 W:1,1,1,1 D:1,1,1 G:1", 14, 5, 0,
            "No team's cost lies inside the spending band (above 5 and below 14): the cheapest possible team costs 14.");
        row("negative and fractional costs", "C:-3,0.25,4 W:1,1,1,1,-2 D:1,1,1 G:2,-1.5", 20, 13, 0,
            "No team's cost lies inside the spending band (above 13 and below 20): the dearest possible team costs 13.");
        row("stopped", tens, 11, 9, 20, "The search was stopped before it listed any team.", true);
        row("the band between two costs", tens, 12, 10, 0,
            "No team's cost lies inside the spending band (above 10 and below 12): the nearest possible teams cost 10 and "
            "12.");
        row("a floor at the money plus one", tens, 12, 12, 0,
            "No team can cost more than 12 and less than 12: the minimum percentage asks for more than the money.");
        row("best inside the band below the target", tens, 11, 9, 20,
            "The best team inside the spending band (above 9 and below 11) scores 12.5, not above the target 20.");
        row("no time to look", tens, 11, 9, 20.5f,
            "No team inside the spending band (above 9 and below 11) scores above the target 20.5.", false, 0);
    }
    void explanation()
    {
        QFETCH(QString, roster);
        QFETCH(int, cashLimit);
        QFETCH(int, minSpend);
        QFETCH(float, target);
        QFETCH(bool, stopped);
        QFETCH(int, budget);
        const search::SearchState finished{qint16(cashLimit), qint16(minSpend), target, 0, stopped};
        QTEST(search::emptyResultExplanation(tablesOf(roster), finished, {}, std::chrono::milliseconds(budget)), "sentence");
    }

    // Working out why costs a search of its own: it hands the window its yields, and a Stop
    // pressed in one of them ends it with the sentence of a stopped search.
    void explanationYieldsAndStops()
    {
        const auto tables = tablesOf("C:1,1,1,1,1,1 W:1,1,1,1,1,1,1,1 D:1,1,1,1,1 G:1,1,1");
        search::SearchState finished{20, 0, 1000};
        int yields = 0;
        const QString sentence = search::emptyResultExplanation(tables, finished, [&] {
            if (++yields == 3)
                finished.StopRequested = true;
        });
        QCOMPARE(yields, 3);
        QCOMPARE(sentence, "The search was stopped before it listed any team.");
    }
};

QTEST_GUILESS_MAIN(TestResults)
#include "tst_results.moc"
