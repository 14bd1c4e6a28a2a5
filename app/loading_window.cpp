#include "app/loading_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QPixmap>
#include <QWidget>

namespace sscplan {
namespace {

class LoadingWidget final : public QWidget {
  public:
    explicit LoadingWidget(std::function<void()> onUserClose)
        : onUserClose_(std::move(onUserClose)) {}

  protected:
    void closeEvent(QCloseEvent* event) override {
        event->accept();
        if (onUserClose_) onUserClose_();
    }

  private:
    std::function<void()> onUserClose_;
};

}  // namespace

LoadingWindow::LoadingWindow(std::string caption, std::function<void()> onUserClose)
    : caption_(std::move(caption)), onUserClose_(std::move(onUserClose)) {}

LoadingWindow::~LoadingWindow() { delete window_; }

bool LoadingWindow::show(const std::string& text) {
    if (window_) return false;
    auto* window = new LoadingWidget(onUserClose_);
    window->setObjectName(QStringLiteral("加载窗口"));
    window->setWindowTitle(QString::fromStdString(caption_));
    window->setFixedSize(300, 184);
    window->move(50, 50);
    window->setAutoFillBackground(true);
    window->setStyleSheet(QStringLiteral("QWidget#加载窗口 { background: #fbf4ea; }"));

    auto* picture = new QLabel(window);
    picture->setObjectName(QStringLiteral("图片框1"));
    picture->setGeometry(0, 51, 300, 93);
    picture->setPixmap(QPixmap(QStringLiteral(":/images/loading.png")));

    auto* label = new QLabel(window);
    label->setObjectName(QStringLiteral("标签1"));
    label->setGeometry(0, 144, 300, 40);
    label->setAlignment(Qt::AlignCenter);
    label->setText(QString::fromStdString(text));

    window_ = window;
    window->show();
    // Paint the window before start-up blocks on the server.
    QCoreApplication::processEvents();
    return true;
}

bool LoadingWindow::close() {
    if (!window_) return false;
    QWidget* window = window_;
    window_ = nullptr;
    delete window;
    return true;
}

}  // namespace sscplan
