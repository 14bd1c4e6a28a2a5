// The desktop program's window driven against the real ssc-server on loopback ports, with
// message boxes, the browser and the program end answered by fakes.
#include <QAbstractButton>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QSlider>
#include <QTimer>
#include <QToolTip>
#include <QTreeWidget>
#include <QWebEngineView>
#include <QtTest>
#include <cstdio>

#include "app/program_parts.h"
#include "app/qt_ports.h"
#include "app/toolkit.h"
#include "app/window_widgets.h"
#include "app_server.h"
#include "common/text.h"
#include "gui_support.h"
#include "tests/fakes/fake_app_server.h"

using namespace sscplan;

namespace {

constexpr int kWaitMs = 20000;
const char* const kWarning = "彩票有风险，投注需谨慎！";
const char* const kTitle = "Zindra平刷后二直选单式";

QString q(const std::string& text) { return QString::fromStdString(text); }

template <typename T>
T* child(QWidget* window, const char* name) {
    return window->findChild<T*>(QString::fromUtf8(name));
}

void click(QWidget* window, const char* name) {
    auto* button = child<QAbstractButton>(window, name);
    QVERIFY2(button, name);
    button->click();
}

QString textOf(QObject* object) {
    if (auto* label = qobject_cast<QLabel*>(object)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(object)) return button->text();
    if (auto* spin = qobject_cast<QAbstractSpinBox*>(object)) return spin->text();
    if (auto* edit = qobject_cast<QPlainTextEdit*>(object)) return edit->toPlainText();
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        return items.join(QLatin1Char(','));
    }
    return {};
}

// The value stored under `key` in the edition's section, read back from the GBK file.
std::string storedValue(const std::string& path, const std::string& key) {
    const auto utf8 = gbkToUtf8(fileBytes(path));
    if (!utf8) return "<not GBK>";
    const QString text = q(*utf8);
    const int section = text.indexOf(QStringLiteral("[%1]").arg(QString::fromUtf8(kTitle)));
    if (section < 0) return {};
    const QRegularExpression line(QStringLiteral("^%1\\s*=\\s*(.*)$").arg(q(key)),
                                  QRegularExpression::MultilineOption);
    const auto match = line.match(text, section);
    return match.hasMatch() ? match.captured(1).trimmed().toStdString() : std::string();
}

// Whether a navigation the page makes by script after start-up is handed to the browser.
bool runScript(QWidget* panel, const QString& script) {
    auto* view = qobject_cast<QWebEngineView*>(panel);
    if (!view) return false;
    view->page()->runJavaScript(script);
    return true;
}

// The value of a script run in the panel's page; invalid when no answer came in time.
QVariant evaluate(QWebEngineView* view, const QString& script) {
    // Shared: an answer may still arrive after this gave up waiting.
    auto answer = std::make_shared<std::optional<QVariant>>();
    view->page()->runJavaScript(script, [answer](const QVariant& value) { *answer = value; });
    if (!QTest::qWaitFor([&] { return answer->has_value(); }, 2000)) return {};
    return **answer;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AppServer> server_;
    QTemporaryDir serverStore_;

    std::unique_ptr<Program> makeProgram(FakePorts& fakes, Endpoints endpoints,
                                         std::optional<EditionInfo> edition = std::nullopt) {
        return std::make_unique<Program>(std::move(endpoints), fakes.ports(), std::move(edition));
    }
    Endpoints serverOnly() const { return {server_->initEndpoint(), deadEndpoint()}; }

  private Q_SLOTS:
    void initTestCase() {
        // Simulated draws a day apart: no new draw changes the window while a test runs.
        server_ = std::make_unique<AppServer>(
            serverStore_.path(),
            QStringList{QStringLiteral("--simulate-every"), QStringLiteral("86400")});
        QVERIFY2(server_->started(), "ssc-server did not start");
    }

    void controlsStandAtTheirPlacesBeforeStartup() {
        FakePorts fakes;
        auto program = makeProgram(fakes, serverOnly());
        program->loadMainWindow();
        MainWindow* window = program->window();
        QVERIFY(window);
        QCOMPARE(window->geometry(), QRect(50, 50, 1000, 667));
        QVERIFY(window->windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(!window->isVisible());

        struct Row {
            const char* name;
            const char* kind;
            QRect geometry;
            const char* text;
        };
        const Row rows[] = {
            {"透明标签_窗口标题", "QLabel", {9, 4, 806, 24}, "Velmor重庆时时彩计划全能版"},
            {"图形按钮2", "QToolButton", {944, 0, 28, 33}, ""},
            {"图形按钮1", "QToolButton", {972, 0, 28, 33}, ""},
            {"透明标签1", "QLabel", {7, 37, 83, 32}, "实时开奖"},
            {"透明标签_当前期号", "QLabel", {14, 108, 154, 16}, "当前期号:00000000-00"},
            {"透明标签_开奖1", "QLabel", {193, 99, 27, 28}, "0"},
            {"透明标签_开奖2", "QLabel", {253, 99, 27, 28}, "0"},
            {"透明标签_开奖3", "QLabel", {313, 99, 27, 28}, "0"},
            {"透明标签_开奖4", "QLabel", {373, 99, 27, 28}, "0"},
            {"透明标签_开奖5", "QLabel", {433, 99, 27, 28}, "0"},
            {"透明标签17", "QLabel", {50, 170, 115, 16}, "开奖剩余时间："},
            {"透明标签_开奖时间", "QLabel", {184, 166, 152, 24}, "00：00：00"},
            {"画板_期数设置", "QWidget", {332, 222, 186, 32}, ""},
            {"画板1", "QWidget", {5, 272, 531, 60}, ""},
            {"编辑框_计划", "QPlainTextEdit", {5, 222, 530, 396}, ""},
            {"超级按钮_清理计划", "QPushButton", {176, 621, 146, 34}, "清理计划并重新获取"},
            {"超级按钮_复制", "QPushButton", {457, 622, 57, 31}, "复制"},
            {"透明标签2", "QLabel", {546, 37, 182, 32}, "历史开奖"},
            {"标签1", "QLabel", {546, 69, 180, 25}, "     开奖期号        开奖号"},
            {"超级列表框_历史开奖", "QTreeWidget", {546, 93, 180, 562}, ""},
            {"超文本浏览框1", "QWebEngineView", {736, 42, 259, 613}, ""},
            {"透明标签7", "QLabel", {12, 4, 77, 24}, "公式期数设置"},
            {"组合框_公式期数", "QComboBox", {89, 5, 40, 20}, "1,2,3"},
            {"超级按钮_期数切换", "QPushButton", {128, 0, 57, 31}, "切换"},
            {"多功能条1", "QSlider", {19, 24, 368, 16}, ""},
            {"编辑框_注数", "QAbstractSpinBox", {392, 23, 32, 19}, "25"},
            {"透明标签5", "QLabel", {443, 22, 17, 20}, "注"},
            {"按钮_修改注数", "QPushButton", {457, 22, 60, 20}, "确认修改"},
        };
        QStringList expectedNames;
        for (const Row& row : rows) {
            const QString name = QString::fromUtf8(row.name);
            expectedNames << name;
            auto* widget = window->findChild<QWidget*>(name);
            QVERIFY2(widget, row.name);
            QVERIFY2(widget->inherits(row.kind), row.name);
            QCOMPARE(widget->geometry(), row.geometry);
            QCOMPARE(textOf(widget), QString::fromUtf8(row.text));
        }
        // Nothing else of ours carries a name.
        for (QWidget* widget : window->findChildren<QWidget*>()) {
            const QString name = widget->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) continue;
            QVERIFY2(expectedNames.contains(name), qPrintable(name));
        }
        // The two canvases hold their controls.
        QCOMPARE(child<QWidget>(window, "组合框_公式期数")->parentWidget()->objectName(),
                 QStringLiteral("画板_期数设置"));
        QCOMPARE(child<QWidget>(window, "多功能条1")->parentWidget()->objectName(),
                 QStringLiteral("画板1"));
        QVERIFY(child<QWidget>(window, "画板1")->isHidden());

        auto* timer = window->findChild<QTimer*>(QStringLiteral("时钟_剩余开奖时间"));
        QVERIFY(timer);
        QVERIFY(!timer->isActive());
        QCOMPARE(timer->interval(), 0);

        auto* history = child<QTreeWidget>(window, "超级列表框_历史开奖");
        QCOMPARE(history->columnCount(), 2);
        QCOMPARE(history->headerItem()->text(0), QStringLiteral("开奖期号"));
        QCOMPARE(history->headerItem()->text(1), QStringLiteral("开奖号"));
        QCOMPARE(history->columnWidth(0), 100);
        QCOMPARE(history->columnWidth(1), 62);
        QCOMPARE(child<QWidget>(window, "编辑框_计划")->contextMenuPolicy(), Qt::NoContextMenu);
        QVERIFY(fakes.messages.shown.empty());
    }

    // One start-up, then the handlers on the running window.
    void startupShowsDrawsAndPlanAndTheHandlersWork() {
        ScopedWorkDirectory work;
        FakePorts fakes;
        auto program = makeProgram(fakes, serverOnly());
        ProgramParts& parts = program->parts();
        ShowWatcher watcher(parts);
        QVERIFY(program->start());
        MainWindow* window = program->window();

        // Start-up.
        QVERIFY(fakes.messages.shown.empty());
        QCOMPARE(watcher.mainWindowShows, 1);
        QVERIFY(!watcher.loadingOpenWhenShown);
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QString::fromUtf8(kTitle));
        QCOMPARE(window->titleLabel()->text(), QString::fromUtf8(kTitle));
        QVERIFY(parts.state.startupDone);

        QCOMPARE(parts.drawHistory.size(), std::size_t{50});
        QTreeWidget* history = window->history();
        QCOMPARE(history->topLevelItemCount(), 50);
        for (int row : {0, 1, 49}) {
            const DrawRecord& draw = parts.drawHistory[static_cast<std::size_t>(row)];
            QVERIFY(!draw.numbers.empty());
            QCOMPARE(history->topLevelItem(row)->text(0), q(displayPeriod(draw)));
            QCOMPARE(history->topLevelItem(row)->text(1), q(draw.numbers));
        }
        QVERIFY(parts.drawHistory[0].periodNo > parts.drawHistory[1].periodNo ||
                parts.drawHistory[0].date > parts.drawHistory[1].date);

        const DrawRecord& latest = parts.drawClock.published().latest;
        QCOMPARE(latest.numbers.size(), std::size_t{5});
        QCOMPARE(window->periodLabel()->text(), q(displayPeriod(latest)));
        for (int k = 1; k <= 5; ++k) {
            QCOMPARE(window->digitLabel(k)->text(), q(latest.numbers.substr(k - 1, 1)));
        }

        const QString plan = window->planBox()->toPlainText();
        QVERIFY(plan.endsWith(QString::fromUtf8(kWarning)));
        QVERIFY(plan.contains(QStringLiteral("后二单式47注")));
        QVERIFY(plan.contains(QStringLiteral("等开")));

        // The bet-count panel took the plan box's top; first run: count 3, bar 47.
        QCOMPARE(window->planBox()->geometry(), QRect(5, 293, 530, 325));
        QCOMPARE(child<QWidget>(window, "画板1")->geometry(), QRect(5, 222, 531, 60));
        QVERIFY(child<QWidget>(window, "画板1")->isVisible());
        QCOMPARE(child<QWidget>(window, "画板_期数设置")->geometry(), QRect(332, 293, 186, 32));
        QCOMPARE(window->formulaCombo()->currentText(), QStringLiteral("3"));
        QCOMPARE(window->betBar()->minimum(), 25);
        QCOMPARE(window->betBar()->maximum(), 70);
        QCOMPARE(window->betBar()->value(), 47);
        QCOMPARE(window->betEdit()->text(), QStringLiteral("47"));
        QCOMPARE(parts.board.planSpecText(), std::string("后二单式47注"));
        QCOMPARE(parts.state.formulaPeriods, 3);
        QCOMPARE(storedValue(work.settingsPath(), "公式期数"), std::string("3"));
        QCOMPARE(storedValue(work.settingsPath(), "选择注数"), std::string());

        // The countdown runs.
        QVERIFY(window->drawTimer()->isActive());
        QCOMPARE(window->drawTimer()->interval(), 100);
        const QRegularExpression countdown(QStringLiteral("^(\\d\\d+：\\d\\d|正在开奖……)$"));
        QVERIFY(QTest::qWaitFor(
            [&] { return countdown.match(window->countdownLabel()->text()).hasMatch(); }, 3000));

        // The web panel loaded the server's page during start-up without opening anything.
        auto* panel = qobject_cast<QWebEngineView*>(window->webPanel());
        QVERIFY(panel);
        const QUrl advert(q(parts.settings.advert1));
        QVERIFY(advert.isValid() && !advert.isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return panel->url() == advert; }, kWaitMs));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return evaluate(panel, QStringLiteral("document.readyState == 'complete' && "
                                                      "document.querySelector('a[href]') != null"))
                    .toBool();
            },
            kWaitMs));
        QVERIFY(fakes.urls.opened.empty());

        // Afterwards a followed link goes to the browser; the panel keeps its page.
        QVERIFY(runScript(panel, QStringLiteral("document.querySelector('a[href]').click();")));
        QVERIFY(QTest::qWaitFor([&] { return fakes.urls.opened.size() == 1; }, kWaitMs));
        QVERIFY(q(fakes.urls.opened[0]).startsWith(server_->baseUrl()));
        QVERIFY(runScript(panel, QStringLiteral("window.open('http://127.0.0.1:9/new');")));
        QVERIFY(QTest::qWaitFor([&] { return fakes.urls.opened.size() == 2; }, kWaitMs));
        QCOMPARE(fakes.urls.opened[1], std::string("http://127.0.0.1:9/new"));
        QVERIFY(runScript(panel, QStringLiteral("location.href = 'http://127.0.0.1:9/moved';")));
        QVERIFY(QTest::qWaitFor([&] { return fakes.urls.opened.size() == 3; }, kWaitMs));
        QTest::qWait(200);
        QCOMPARE(panel->url(), advert);

        // Copy: the whole plan on the clipboard, the balloon at the button's top middle.
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        click(window, "超级按钮_复制");
        QCOMPARE(clipboard->text(), window->planBox()->toPlainText());
        QCOMPARE(QToolTip::text(), QStringLiteral("已复制到剪辑版"));
        QCOMPARE(window->balloonPoint(), window->pos() + QPoint(457 + 57 / 2, 622));

        // Typing, pasting and input-method text leave the plan box unchanged; cut copies.
        PlanTextEdit* box = window->planBox();
        const QString before = box->toPlainText();
        box->setFocus();
        clipboard->setText(QStringLiteral("粘贴的文字"));
        QTest::keyClicks(box, QStringLiteral("abc 123"));
        QKeyEvent chinese(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("中"));
        QApplication::sendEvent(box, &chinese);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(box, Qt::Key_Return);
        QTest::keyClick(box, Qt::Key_Backspace);
        QInputMethodEvent commit;
        commit.setCommitString(QStringLiteral("输入法"));
        QApplication::sendEvent(box, &commit);
        QCOMPARE(box->toPlainText(), before);
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        clipboard->clear();
        QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(clipboard->text(), before);
        QCOMPARE(box->toPlainText(), before);

        // The bar and the edit box keep in step; the edit box's text is free until confirmed.
        window->betBar()->setValue(60);
        QCOMPARE(window->betEdit()->text(), QStringLiteral("60"));
        window->betEdit()->setText(QStringLiteral("33"));
        window->onBetEditLostFocus();
        QCOMPARE(window->betBar()->value(), 33);
        window->betEdit()->setText(QStringLiteral("100"));
        QCOMPARE(window->betEdit()->text(), QStringLiteral("100"));

        // "确认修改" clamps, rebuilds, stores and tells.
        click(window, "按钮_修改注数");
        QCOMPARE(window->betEdit()->text(), QStringLiteral("70"));
        QCOMPARE(parts.board.planSpecText(), std::string("后二单式70注"));
        QVERIFY(box->toPlainText().contains(QStringLiteral("后二单式70注")));
        QCOMPARE(fakes.messages.shown, std::vector<std::string>{"更改获取注数成功！"});
        QVERIFY(fileBytes(work.settingsPath()).find(gbk("[Zindra平刷后二直选单式]")) !=
                std::string::npos);
        QVERIFY(fileBytes(work.settingsPath()).find(gbk("选择注数")) != std::string::npos);
        QCOMPARE(storedValue(work.settingsPath(), "选择注数"), std::string("70"));
        window->betEdit()->setText(QStringLiteral("无"));
        click(window, "按钮_修改注数");
        QCOMPARE(window->betEdit()->text(), QStringLiteral("25"));
        QCOMPARE(storedValue(work.settingsPath(), "选择注数"), std::string("25"));
        QCOMPARE(fakes.messages.shown.size(), std::size_t{2});

        // "切换" stores a changed count without a message, and does nothing when unchanged.
        window->formulaCombo()->setCurrentIndex(1);
        click(window, "超级按钮_期数切换");
        QCOMPARE(parts.state.formulaPeriods, 2);
        QCOMPARE(storedValue(work.settingsPath(), "公式期数"), std::string("2"));
        QVERIFY(box->toPlainText().contains(QStringLiteral("→")));
        QCOMPARE(fakes.messages.shown.size(), std::size_t{2});
        QFile::remove(q(work.settingsPath()));
        click(window, "超级按钮_期数切换");
        QVERIFY(!QFile::exists(q(work.settingsPath())));

        // The clean-up rebuilds and tells.
        click(window, "超级按钮_清理计划");
        QCOMPARE(fakes.messages.shown.back(), std::string("清理成功！计划已经重新获取。"));
        QVERIFY(box->toPlainText().endsWith(QString::fromUtf8(kWarning)));

        // The top line drags the frameless window; below it nothing moves.
        const QPoint start = window->pos();
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(400, 10),
                          QPointF(start + QPoint(400, 10)), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(window, &press);
        QMouseEvent move(QEvent::MouseMove, QPointF(400, 10), QPointF(start + QPoint(450, 40)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(450, 40),
                            QPointF(start + QPoint(450, 40)), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(window, &release);
        QCOMPARE(window->pos(), start + QPoint(50, 30));
        QMouseEvent lowPress(QEvent::MouseButtonPress, QPointF(400, 200),
                             QPointF(window->pos() + QPoint(400, 200)), Qt::LeftButton,
                             Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &lowPress);
        QMouseEvent lowMove(QEvent::MouseMove, QPointF(400, 200),
                            QPointF(window->pos() + QPoint(500, 300)), Qt::NoButton, Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(window, &lowMove);
        QCOMPARE(window->pos(), start + QPoint(50, 30));

        // Minimise and close.
        click(window, "图形按钮2");
        QVERIFY(window->windowState() & Qt::WindowMinimized);
        click(window, "图形按钮1");
        QVERIFY(!window->isVisible());
        QVERIFY(fakes.programEnd.codes.empty());
    }

    void savedCountsOutsideTheirRangesAndOtherSectionsKept() {
        ScopedWorkDirectory work;
        writeGbkFile(work.settingsPath(),
                     "; 其他版本的设置\r\n[其他版本]\r\n公式期数=1\r\n\r\n"
                     "[Zindra平刷后二直选单式]\r\n公式期数=7\r\n选择注数=９０\r\n");
        FakePorts fakes;
        auto program = makeProgram(fakes, serverOnly());
        QVERIFY(program->start());
        MainWindow* window = program->window();
        ProgramParts& parts = program->parts();
        // 7 reads as the default 3; full-width ９０ is 90, held at the bar's end 70.
        QCOMPARE(window->formulaCombo()->currentText(), QStringLiteral("3"));
        QCOMPARE(parts.state.formulaPeriods, 3);
        QCOMPARE(window->betBar()->value(), 70);
        QCOMPARE(parts.board.planSpecText(), std::string("后二单式70注"));
        QVERIFY(window->planBox()->toPlainText().contains(QStringLiteral("等开")));
        QCOMPARE(storedValue(work.settingsPath(), "公式期数"), std::string("3"));
        const std::string bytes = fileBytes(work.settingsPath());
        QVERIFY(bytes.find(gbk("[其他版本]")) != std::string::npos);
        QVERIFY(bytes.find(gbk("; 其他版本的设置")) != std::string::npos);
        QVERIFY(gbkToUtf8(bytes).has_value());
    }

    void primaryDownFallbackUpStartsWithoutMessage() {
        ScopedWorkDirectory work;
        FakePorts fakes;
        auto program = makeProgram(fakes, {deadEndpoint(), server_->initEndpoint()});
        QVERIFY(program->start());
        QVERIFY(fakes.messages.shown.empty());
        QCOMPARE(program->window()->history()->topLevelItemCount(), 50);
    }

    void bothEndpointsDownShowOneMessageAndNoWindow() {
        ScopedWorkDirectory work;
        FakePorts fakes;
        auto program = makeProgram(fakes, {deadEndpoint(), deadEndpoint()});
        program->loadMainWindow();
        ShowWatcher watcher(program->parts());
        QVERIFY(!program->start());
        QCOMPARE(
            fakes.messages.shown,
            std::vector<std::string>{"初始化连接服务器失败！：服务器访问失败! 错误代码：9999"});
        QCOMPARE(watcher.mainWindowShows, 0);
        QVERIFY(!program->window());
        QVERIFY(!program->parts().loading.window());
    }

    void bothEndpointsDownEndTheProcessWithCodeZero() {
        QProcess probe;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        probe.setProcessEnvironment(environment);
        probe.setWorkingDirectory(QDir::tempPath());
        probe.start(QStringLiteral(PROBE_PATH), {q(deadEndpoint()), q(deadEndpoint())});
        QVERIFY(probe.waitForFinished(kWaitMs));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        QCOMPARE(probe.exitCode(), 0);
        const QString output = QString::fromUtf8(probe.readAllStandardOutput());
        QCOMPARE(output, QStringLiteral(
                             "message: 初始化连接服务器失败！：服务器访问失败! 错误代码：9999\n"));
    }

    void failedDrawQueryShowsBothMessagesAndEnds() {
        // A server whose "init" points the draw queries at an address where nothing listens.
        testing::FakeAppServer fake;
        auto data = fake.initData();
        data["drawurl"] = deadEndpoint();
        fake.setInitData(data);
        ScopedWorkDirectory work;
        FakePorts fakes;
        auto program = makeProgram(fakes, {fake.initUrl(), deadEndpoint()});
        QVERIFY(!program->start());
        QCOMPARE(fakes.messages.shown,
                 (std::vector<std::string>{
                     "查询最近开奖数据失败！获取最新开奖数据失败!服务器访问失败! 错误代码：9999",
                     "获取网络开奖数据失败！"}));
        QVERIFY(!program->window());
    }

    void editionWithoutBetRangeKeepsTheLayout() {
        ScopedWorkDirectory work;
        FakePorts fakes;
        EditionInfo edition = thisEdition();
        edition.planSpec = "单式25-70注";  // fewer than four characters before the range
        auto program = makeProgram(fakes, serverOnly(), edition);
        QVERIFY(program->start());
        MainWindow* window = program->window();
        QCOMPARE(fakes.messages.shown, std::vector<std::string>{"正则搜索失败！"});
        QVERIFY(program->parts().edition.planName.empty());
        QVERIFY(child<QWidget>(window, "画板1")->isHidden());
        QCOMPARE(window->planBox()->geometry(), QRect(5, 222, 530, 396));
        QCOMPARE(child<QWidget>(window, "画板_期数设置")->geometry(), QRect(332, 222, 186, 32));
        QVERIFY(window->planBox()->toPlainText().endsWith(QString::fromUtf8(kWarning)));
    }

    void newerVersionOfferedIsDeclinedOrHandedOver() {
        QTemporaryDir store;
        const QString offer = store.filePath(QStringLiteral("update.bin"));
        for (const QString& file : {offer, offer + QStringLiteral(".sig")}) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write("update");
        }
        AppServer offering(store.path(), {QStringLiteral("--offer-version"), QStringLiteral("9.9"),
                                          QStringLiteral("--offer-file"), offer});
        QVERIFY(offering.started());
        const std::string prompt = std::string(kTitle) + "已经更新至9.9\r\n点击确定立即更新";
        ScopedWorkDirectory work;
        std::string updaterPath;
        {
            FakePorts fakes;
            auto program = makeProgram(fakes, {offering.initEndpoint(), deadEndpoint()});
            QVERIFY(!program->start());
            QCOMPARE(fakes.messages.shown, std::vector<std::string>{prompt});
            QVERIFY(fakes.processes.started.empty());
            QVERIFY(fakes.programEnd.codes.empty());
            QVERIFY(!program->window());
        }
        {
            FakePorts fakes;
            fakes.messages.confirmAnswer = true;
            auto program = makeProgram(fakes, {offering.initEndpoint(), deadEndpoint()});
            updaterPath = program->parts().state.updaterPath;
            QVERIFY(!program->start());
            QCOMPARE(fakes.processes.started, std::vector<std::string>{updaterPath});
            QCOMPARE(fakes.programEnd.codes, std::vector<int>{0});
            QVERIFY(QFile::exists(q(updaterPath)));
        }
        {
            // The next start removes the updater left behind.
            FakePorts fakes;
            auto program = makeProgram(fakes, serverOnly());
            program->loadMainWindow();
            QVERIFY(!QFile::exists(q(updaterPath)));
        }
    }

    void userClosingTheLoadingWindowEndsTheProgram() {
        ScopedWorkDirectory work;
        FakePorts fakes;
        auto program = makeProgram(fakes, serverOnly());
        LoadingWindow& loading = program->parts().loading;
        QVERIFY(!loading.close());
        QTimer::singleShot(0, [&] {
            QVERIFY(loading.window());
            QCOMPARE(loading.window()->findChild<QLabel*>(QStringLiteral("标签1"))->text(),
                     QStringLiteral("正在连接服务器……"));
            QCOMPARE(loading.window()->pos(), QPoint(50, 50));
            QCOMPARE(loading.window()->size(), QSize(300, 184));
            QVERIFY(!loading.show("again"));
            loading.window()->close();
        });
        program->start();
        QCOMPARE(fakes.programEnd.codes, std::vector<int>{0});
    }

    void onlyWebAddressesLeaveForTheBrowser() {
        struct Row {
            const char* url;
            bool leaves;
        };
        const Row rows[] = {
            {"http://127.0.0.1/a", true},
            {"HTTPS://example.invalid/", true},
            {"file:///etc/passwd", false},
            {"javascript:alert(1)", false},
            {"ftp://127.0.0.1/", false},
            {"", false},
            {"http://", false},
            {"mailto:a@b.invalid", false},
        };
        for (const Row& row : rows) QVERIFY2(isWebAddress(row.url) == row.leaves, row.url);
    }
};

int main(int argc, char** argv) {
    prepareToolkit();
    ToolkitArguments arguments(argv[0]);
    QApplication application(arguments.argc(), arguments.argv());
    configureApplication();
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
