// A new draw arriving while the window runs: the real ssc-server simulates one every few
// seconds, the program's clock picks it up and every part of the window follows.
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "app/program_parts.h"
#include "app/toolkit.h"
#include "app/window_widgets.h"
#include "app_server.h"
#include "gui_support.h"

using namespace sscplan;

namespace {

// The clock polls at most every 6 s and only after the announced time; a draw every 8 s is
// therefore seen within about 20 s.
constexpr int kNewDrawWaitMs = 45000;

QString q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

class LiveDrawTest : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void newDrawReachesLabelsHistoryAndPlan() {
        QTemporaryDir store;
        AppServer server(store.path(), {QStringLiteral("--simulate-every"), QStringLiteral("8")});
        QVERIFY2(server.started(), "ssc-server did not start");

        ScopedWorkDirectory work;
        // One-period rows: the new draw settles the open row, hit or miss.
        writeGbkFile(work.settingsPath(), "[Zindra平刷后二直选单式]\r\n公式期数=1\r\n");
        FakePorts fakes;
        Program program({server.initEndpoint(), deadEndpoint()}, fakes.ports());
        QVERIFY(program.start());
        ProgramParts& parts = program.parts();
        MainWindow* window = program.window();
        QCOMPARE(parts.state.formulaPeriods, 1);
        const DrawRecord first = parts.drawHistory[0];

        QStringList countdownTexts;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QString text = window->countdownLabel()->text();
            if (countdownTexts.isEmpty() || countdownTexts.back() != text) countdownTexts << text;
        });
        watch.start(20);
        QVERIFY(QTest::qWaitFor([&] { return parts.drawHistory.size() == 51; }, kNewDrawWaitMs));
        QTest::qWait(400);
        watch.stop();

        QVERIFY(countdownTexts.contains(QStringLiteral("正在开奖……")));
        const QRegularExpression countdown(QStringLiteral("^\\d\\d+：\\d\\d$"));
        QVERIFY(countdown.match(countdownTexts.back()).hasMatch());

        const DrawRecord& latest = parts.currentDraw.latest;
        QCOMPARE(latest.numbers.size(), std::size_t{5});
        QVERIFY(latest.periodNo != first.periodNo);
        QCOMPARE(parts.drawHistory[0], latest);
        QCOMPARE(parts.drawHistory[1], first);
        QCOMPARE(window->periodLabel()->text(), q(displayPeriod(latest)));
        for (int k = 1; k <= 5; ++k) {
            QCOMPARE(window->digitLabel(k)->text(), q(latest.numbers.substr(k - 1, 1)));
        }
        QTreeWidget* history = window->history();
        QCOMPARE(history->topLevelItemCount(), 51);
        QCOMPARE(history->topLevelItem(0)->text(0), q(displayPeriod(latest)));
        QCOMPARE(history->topLevelItem(0)->text(1), q(latest.numbers));
        QCOMPARE(history->topLevelItem(1)->text(0), q(displayPeriod(first)));

        // The new draw settled the row that was open, and the statistics count the rows.
        const QString plan = window->planBox()->toPlainText();
        const QStringList lines = plan.split(QLatin1Char('\n'));
        const QString verdict = q(latest.periodNo + "-" + latest.numbers + "→");
        int settledByNewDraw = 0, hits = 0, misses = 0, open = 0;
        for (const QString& line : lines) {
            if (line.contains(verdict)) ++settledByNewDraw;
            if (line.endsWith(QStringLiteral("→中"))) ++hits;
            if (line.endsWith(QStringLiteral("→无"))) ++misses;
            if (line.endsWith(QStringLiteral("等开"))) ++open;
        }
        QCOMPARE(settledByNewDraw, 1);
        QCOMPARE(open, 1);
        const QString statistics = QStringLiteral("当前计划统计：总计%1期，中%2期，挂%3期，")
                                       .arg(hits + misses + open)
                                       .arg(hits)
                                       .arg(misses);
        QVERIFY2(plan.contains(statistics), qPrintable(statistics));
        QVERIFY(plan.endsWith(QStringLiteral("彩票有风险，投注需谨慎！")));
        QVERIFY(fakes.messages.shown.empty());
    }
};

int main(int argc, char** argv) {
    prepareToolkit();
    ToolkitArguments arguments(argv[0]);
    QApplication application(arguments.argc(), arguments.argv());
    configureApplication();
    LiveDrawTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "live_draw_test.moc"
