#pragma once

#include <QPixmap>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "app/app_state.h"
#include "app/qt_ports.h"
#include "app/startup_host.h"
#include "common/edition.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QTimer;
class QToolButton;
class QTreeWidget;
class BetCountEdit;
class PlanTextEdit;

namespace sscplan {

class MainView;
class MessageBoxes;
class PlanBoard;
class SettingsFile;
class StartupSequence;
class UrlOpener;

// What the main window's handlers work with. Every reference outlives the window.
struct WindowServices {
    const EditionInfo& edition;
    AppState& state;
    MainView& view;
    LoadingScreen& loading;
    StartupSequence& startup;
    PlanBoard& board;
    MessageBoxes& messages;
    UrlOpener& urls;
    std::function<void()> onDrawTimer;  // every tick of the countdown timer
    std::function<void()> onClosed;     // the close button: the program ends
};

// The program's main window: frameless, 1000 × 667 at (50, 50), every control named by
// its objectName. Created hidden; onCreated runs the visible start-up.
class MainWindow final : public QWidget, public StartupHost {
  public:
    explicit MainWindow(WindowServices services);
    ~MainWindow() override;

    // The creation handler: settings, loading window, both start-up phases; on success
    // the window is shown and true returned. On false the caller destroys the window.
    bool onCreated();

    void applyFormulaPeriods() override;
    void setWebAddress(const std::string& url) override;

    // Handlers of the controls.
    void onBetBarMoved(int position);
    void onBetEditLostFocus();
    void onConfirmBetCount();
    void onCleanPlan();
    void onCopyPlan();
    void onMinimise();
    void onClose();

    // Where the copy confirmation pops up, in screen coordinates: the middle of the copy
    // button's top edge.
    QPoint balloonPoint() const;

    QLabel* titleLabel() const { return titleLabel_; }
    QLabel* periodLabel() const { return periodLabel_; }
    QLabel* digitLabel(int k) const { return digitLabels_[k - 1]; }  // k = 1..5
    QLabel* countdownLabel() const { return countdownLabel_; }
    QTimer* drawTimer() const { return drawTimer_; }
    QComboBox* formulaCombo() const { return formulaCombo_; }
    QSlider* betBar() const { return betBar_; }
    BetCountEdit* betEdit() const { return betEdit_; }
    PlanTextEdit* planBox() const { return planBox_; }
    QTreeWidget* history() const { return history_; }
    QWidget* webPanel() const { return webPanel_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void buildControls();
    void buildBetPanel();
    void setUpBetPanel();
    SettingsFile settings() const;

    WindowServices s_;
    QPixmap background_;
    QPoint dragOffset_;
    bool dragging_ = false;

    QLabel* titleLabel_ = nullptr;
    QToolButton* minimiseButton_ = nullptr;
    QToolButton* closeButton_ = nullptr;
    QLabel* periodLabel_ = nullptr;
    QLabel* digitLabels_[5] = {};
    QLabel* countdownLabel_ = nullptr;
    QTimer* drawTimer_ = nullptr;
    QWidget* periodPanel_ = nullptr;
    QComboBox* formulaCombo_ = nullptr;
    QPushButton* switchButton_ = nullptr;
    QWidget* betPanel_ = nullptr;
    QSlider* betBar_ = nullptr;
    BetCountEdit* betEdit_ = nullptr;
    QPushButton* confirmBetButton_ = nullptr;
    PlanTextEdit* planBox_ = nullptr;
    QPushButton* cleanButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QTreeWidget* history_ = nullptr;
    QWidget* webPanel_ = nullptr;
    QtPlanBox* planBoxPort_ = nullptr;
};

}  // namespace sscplan
