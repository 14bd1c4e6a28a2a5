#include "app/main_view.h"

#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>

#include "app/main_window.h"
#include "app/window_widgets.h"
#include "common/text.h"

namespace sscplan {

void MainView::showDrawTime(const std::string& text) {
    if (!window_) return;
    window_->countdownLabel()->setText(QString::fromStdString(text));
}

void MainView::addHistoryRow(const std::string& period, const std::string& numbers) {
    if (!window_) return;
    auto* row = new QTreeWidgetItem();
    row->setText(0, QString::fromStdString(period));
    window_->history()->insertTopLevelItem(0, row);
    row->setText(1, QString::fromStdString(numbers));
}

void MainView::showCurrentDraw(const std::string& period, const std::string& digits) {
    if (!window_) return;
    window_->periodLabel()->setText(QString::fromStdString(period));
    const std::vector<std::string> characters = splitCharacters(digits);
    for (int k = 1; k <= 5; ++k) {
        const std::string character =
            k <= static_cast<int>(characters.size()) ? characters[k - 1] : std::string();
        window_->digitLabel(k)->setText(QString::number(textToInt(character)));
    }
}

void MainView::setCountdownStopped(bool stopped) {
    if (!window_) return;
    QTimer* timer = window_->drawTimer();
    if (stopped) {
        timer->stop();
        timer->setInterval(0);
    } else if (!timer->isActive() || timer->interval() != 100) {
        timer->start(100);
    }
}

std::int32_t MainView::formulaPeriodChoice() const {
    if (!window_ || window_->formulaCombo()->currentIndex() < 0) return 0;
    return textToInt(window_->formulaCombo()->currentText().toStdString());
}

std::int32_t MainView::betCount() const {
    if (!window_) return 0;
    return textToInt(window_->betEdit()->text().toStdString());
}

void MainView::setBetCount(std::int32_t n) {
    if (!window_) return;
    window_->betEdit()->setText(QString::number(n));
}

}  // namespace sscplan
