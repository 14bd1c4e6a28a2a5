#include "updater/updater_window.h"

#include <QVBoxLayout>

namespace sscplan {

UpdaterWindow::UpdaterWindow(const UpdaterRequest& request)
    : heading_(new QLabel(this)), bar_(new QProgressBar(this)) {
    setObjectName("窗口_更新器");
    setWindowTitle(QString::fromStdString(request.title));
    heading_->setObjectName("标签_正在更新");
    heading_->setText(
        QString::fromStdString("正在更新\n" + request.version + " → " + request.offeredVersion));
    heading_->setAlignment(Qt::AlignCenter);
    bar_->setObjectName("进度条_下载");
    bar_->setRange(0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading_);
    layout->addWidget(bar_);
    setFixedSize(320, 110);
}

void UpdaterWindow::showProgress(std::uint64_t received, std::uint64_t total) {
    if (total == 0) return;
    bar_->setRange(0, 1000);
    bar_->setValue(static_cast<int>(received * 1000 / total));
}

}  // namespace sscplan
