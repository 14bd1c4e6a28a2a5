#include "app/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QTreeWidget>

#include "app/main_view.h"
#include "app/startup_sequence.h"
#include "app/web_panel.h"
#include "app/window_widgets.h"
#include "common/text.h"
#include "plans/plan_board.h"
#include "platform/settings_file.h"

namespace sscplan {
namespace {

constexpr int kTopLineHeight = 33;
const char* const kFormulaPeriodsKey = "公式期数";
const char* const kBetCountKey = "选择注数";
constexpr std::int32_t kDefaultFormulaPeriods = 3;

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height) {
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(left, top, width, height);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, int left, int top, int width, int height,
              const char* text) {
    auto* result =
        place(new QLabel(QString::fromUtf8(text), parent), name, left, top, width, height);
    return result;
}

QPushButton* button(QWidget* parent, const char* name, int left, int top, int width, int height,
                    const char* text) {
    auto* result =
        place(new QPushButton(QString::fromUtf8(text), parent), name, left, top, width, height);
    result->setCursor(Qt::PointingHandCursor);
    return result;
}

QToolButton* pictureButton(QWidget* parent, const char* name, int left, const char* image) {
    auto* result = place(new QToolButton(parent), name, left, 0, 28, kTopLineHeight);
    result->setIcon(QIcon(QString::fromUtf8(image)));
    result->setIconSize(QSize(28, kTopLineHeight));
    result->setAutoRaise(true);
    result->setFocusPolicy(Qt::NoFocus);
    return result;
}

QWidget* canvas(QWidget* parent, const char* name, int left, int top, int width, int height) {
    return place(new QWidget(parent), name, left, top, width, height);
}

void paintWhite(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, QColor(255, 255, 255));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

const char* const kStyle = R"(
QLabel#透明标签_窗口标题 { color: white; font-size: 15px; font-weight: bold; }
QLabel#透明标签1, QLabel#透明标签2 { color: white; font-size: 17px; font-weight: bold;
    qproperty-alignment: AlignCenter; }
QLabel[digit="true"] { color: white; font-size: 20px; font-weight: bold;
    qproperty-alignment: AlignCenter; }
QLabel#透明标签_当前期号 { color: #7d0b12; font-weight: bold; }
QLabel#透明标签_开奖时间 { color: #c8161d; font-size: 18px; font-weight: bold;
    qproperty-alignment: AlignCenter; }
QLabel#标签1 { background: #f6e7d2; color: #5a3b1a; }
QPushButton { background: #c8161d; color: white; border: none; border-radius: 3px; }
QPushButton:hover { background: #e0262e; }
QPushButton:pressed { background: #8f0e14; }
QToolButton { border: none; }
QToolButton:hover { background: rgba(255, 255, 255, 40); }
QAbstractSpinBox#编辑框_注数 { padding: 0; font-size: 11px; border: 1px solid #d9c3a5; }
QAbstractSpinBox#编辑框_注数::up-button, QAbstractSpinBox#编辑框_注数::down-button { width: 9px; }
QPlainTextEdit#编辑框_计划 { border: 1px solid #d9c3a5; background: white; }
QTreeWidget#超级列表框_历史开奖 { border: none; background: white; }
)";

}  // namespace

MainWindow::MainWindow(WindowServices services)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Window), s_(std::move(services)) {
    background_ = QPixmap(QStringLiteral(":/images/background.png"));
    setFixedSize(1000, 667);
    move(50, 50);
    setStyleSheet(QString::fromUtf8(kStyle));
    buildControls();
}

MainWindow::~MainWindow() { delete planBoxPort_; }

void MainWindow::buildControls() {
    titleLabel_ = label(this, "透明标签_窗口标题", 9, 4, 806, 24, "Velmor重庆时时彩计划全能版");
    minimiseButton_ = pictureButton(this, "图形按钮2", 944, ":/images/minimise.png");
    closeButton_ = pictureButton(this, "图形按钮1", 972, ":/images/close.png");
    connect(minimiseButton_, &QToolButton::clicked, this, [this] { onMinimise(); });
    connect(closeButton_, &QToolButton::clicked, this, [this] { onClose(); });

    label(this, "透明标签1", 7, 37, 83, 32, "实时开奖");
    periodLabel_ = label(this, "透明标签_当前期号", 14, 108, 154, 16, "当前期号:00000000-00");
    for (int k = 0; k < 5; ++k) {
        const QByteArray name = QStringLiteral("透明标签_开奖%1").arg(k + 1).toUtf8();
        digitLabels_[k] = label(this, name.constData(), 193 + 60 * k, 99, 27, 28, "0");
        digitLabels_[k]->setProperty("digit", true);
    }
    label(this, "透明标签17", 50, 170, 115, 16, "开奖剩余时间：");
    countdownLabel_ = label(this, "透明标签_开奖时间", 184, 166, 152, 24, "00：00：00");

    drawTimer_ = new QTimer(this);
    drawTimer_->setObjectName(QStringLiteral("时钟_剩余开奖时间"));
    connect(drawTimer_, &QTimer::timeout, this, [this] {
        if (s_.onDrawTimer) s_.onDrawTimer();
    });

    planBox_ = place(new PlanTextEdit(this), "编辑框_计划", 5, 222, 530, 396);
    planBoxPort_ = new QtPlanBox(*planBox_);

    // Created after the plan box: the period panel stands on top of it.
    periodPanel_ = canvas(this, "画板_期数设置", 332, 222, 186, 32);
    label(periodPanel_, "透明标签7", 12, 4, 77, 24, "公式期数设置");
    formulaCombo_ = place(new QComboBox(periodPanel_), "组合框_公式期数", 89, 5, 40, 20);
    formulaCombo_->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    switchButton_ = button(periodPanel_, "超级按钮_期数切换", 128, 0, 57, 31, "切换");
    connect(switchButton_, &QPushButton::clicked, this, [this] { applyFormulaPeriods(); });

    buildBetPanel();

    cleanButton_ = button(this, "超级按钮_清理计划", 176, 621, 146, 34, "清理计划并重新获取");
    copyButton_ = button(this, "超级按钮_复制", 457, 622, 57, 31, "复制");
    connect(cleanButton_, &QPushButton::clicked, this, [this] { onCleanPlan(); });
    connect(copyButton_, &QPushButton::clicked, this, [this] { onCopyPlan(); });

    label(this, "透明标签2", 546, 37, 182, 32, "历史开奖");
    label(this, "标签1", 546, 69, 180, 25, "     开奖期号        开奖号");
    history_ = place(new QTreeWidget(this), "超级列表框_历史开奖", 546, 93, 180, 562);
    history_->setColumnCount(2);
    history_->setHeaderLabels({QStringLiteral("开奖期号"), QStringLiteral("开奖号")});
    history_->setHeaderHidden(true);  // 标签1 stands above the list as its header line
    history_->setColumnWidth(0, 100);
    history_->setColumnWidth(1, 62);
    history_->setRootIsDecorated(false);
    history_->setUniformRowHeights(true);
    history_->setSelectionMode(QAbstractItemView::SingleSelection);
    history_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    webPanel_ = createWebPanel(
        this, [this] { return s_.state.startupDone; }, s_.urls);
    place(webPanel_, "超文本浏览框1", 736, 42, 259, 613);
}

void MainWindow::buildBetPanel() {
    betPanel_ = canvas(this, "画板1", 5, 272, 531, 60);
    betPanel_->hide();
    betBar_ = place(new QSlider(Qt::Horizontal, betPanel_), "多功能条1", 19, 24, 368, 16);
    betEdit_ = place(new BetCountEdit(betPanel_), "编辑框_注数", 392, 23, 32, 19);
    betEdit_->setText(QStringLiteral("25"));
    label(betPanel_, "透明标签5", 443, 22, 17, 20, "注");
    confirmBetButton_ = button(betPanel_, "按钮_修改注数", 457, 22, 60, 20, "确认修改");
    connect(betBar_, &QSlider::valueChanged, this, [this](int value) { onBetBarMoved(value); });
    betEdit_->setFocusLostHandler([this] { onBetEditLostFocus(); });
    connect(confirmBetButton_, &QPushButton::clicked, this, [this] { onConfirmBetCount(); });
}

SettingsFile MainWindow::settings() const { return SettingsFile(s_.state.settingsPath); }

bool MainWindow::onCreated() {
    s_.state.settingsPath = QDir::currentPath().toStdString() + "/配置.ini";
    settings().clearReadOnly();

    // A saved count outside 1 to 3 would leave the choice empty and start-up without a
    // plan; it is read as the default.
    std::int32_t periods = textToInt(settings().read(s_.edition.title, kFormulaPeriodsKey, "3"));
    if (periods < 1 || periods > 3) periods = kDefaultFormulaPeriods;
    formulaCombo_->setCurrentIndex(periods - 1);

    s_.loading.show("正在连接服务器……");
    setWindowTitle(QString::fromStdString(s_.edition.title));
    titleLabel_->setText(QString::fromStdString(s_.edition.title));
    paintWhite(periodPanel_);
    history_->clear();

    if (!s_.startup.connect(*this, *planBoxPort_) || !s_.startup.loadData(*this)) return false;

    s_.view.setCountdownStopped(false);
    s_.state.startupDone = true;
    s_.loading.close();
    setUpBetPanel();
    show();
    raise();
    activateWindow();
    // The plan text arrived while the box had no size yet: scroll its end into view now.
    planBox_->ensureCursorVisible();
    return true;
}

void MainWindow::setUpBetPanel() {
    if (s_.edition.planName.empty()) return;
    background_ = QPixmap(QStringLiteral(":/images/background.png"));
    update();
    paintWhite(betPanel_);
    betPanel_->show();
    betPanel_->move(planBox_->pos());
    const int gap = betPanel_->height() + 11;
    planBox_->setGeometry(planBox_->x(), betPanel_->y() + gap, planBox_->width(),
                          planBox_->height() - gap);
    periodPanel_->move(periodPanel_->x(), planBox_->y());

    betBar_->setRange(s_.edition.minBets, s_.edition.maxBets);
    betEdit_->setLimits(s_.edition.minBets, s_.edition.maxBets);
    betBar_->setValue(s_.edition.minBets);
    const std::string saved =
        settings().read(s_.edition.title, kBetCountKey, defaultBetCountText(s_.edition));
    betBar_->setValue(textToInt(saved));
    // The bar does not report a position that did not change; the box shows it anyway.
    onBetBarMoved(betBar_->value());
    s_.board.applyBetCount(betBar_->value());
}

void MainWindow::applyFormulaPeriods() {
    const std::int32_t n = s_.view.formulaPeriodChoice();
    if (n == s_.state.formulaPeriods) return;
    s_.state.formulaPeriods = n;
    settings().write(s_.edition.title, kFormulaPeriodsKey, std::to_string(n));
    s_.board.regenerate(s_.state.formulaPeriods);
}

void MainWindow::setWebAddress(const std::string& url) { setWebPanelAddress(webPanel_, url); }

void MainWindow::onBetBarMoved(int position) { betEdit_->setText(QString::number(position)); }

void MainWindow::onBetEditLostFocus() {
    betBar_->setValue(textToInt(betEdit_->text().toStdString()));
}

void MainWindow::onConfirmBetCount() {
    const std::int32_t n = s_.view.betCount();
    if (n < s_.edition.minBets) {
        s_.view.setBetCount(s_.edition.minBets);
    } else if (n > s_.edition.maxBets) {
        s_.view.setBetCount(s_.edition.maxBets);
    }
    s_.board.applyBetCount(s_.view.betCount());
    settings().write(s_.edition.title, kBetCountKey, std::to_string(s_.view.betCount()));
    s_.messages.inform("更改获取注数成功！");
}

void MainWindow::onCleanPlan() {
    s_.board.regenerate(s_.state.formulaPeriods);
    s_.messages.inform("清理成功！计划已经重新获取。");
}

QPoint MainWindow::balloonPoint() const {
    const double x = pos().x() + copyButton_->x() + copyButton_->width() / 2.0;
    return QPoint(static_cast<int>(x), pos().y() + copyButton_->y());
}

void MainWindow::onCopyPlan() {
    QApplication::clipboard()->setText(planBox_->toPlainText());
    QToolTip::showText(balloonPoint(), QStringLiteral("已复制到剪辑版"), this);
}

void MainWindow::onMinimise() { showMinimized(); }

void MainWindow::onClose() {
    hide();
    if (s_.onClosed) s_.onClosed();
}

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background_);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < kTopLineHeight) {
        dragging_ = true;
        dragOffset_ = event->globalPosition().toPoint() - pos();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - dragOffset_);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
    dragging_ = false;
    QWidget::mouseReleaseEvent(event);
}

}  // namespace sscplan
