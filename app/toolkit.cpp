#include "app/toolkit.h"

#include <unistd.h>
#include <QApplication>
#include <QFont>
#include <QQuickWindow>

// The pictures live in a static library: their registration has to be pulled in by name,
// from the global namespace.
static void registerPictures() { Q_INIT_RESOURCE(app); }

namespace sscplan {

ToolkitArguments::ToolkitArguments(const char* programName) {
    texts_.emplace_back(programName && *programName ? programName : "sscplan");
    if (::geteuid() == 0) {
        texts_.emplace_back("--webEngineArgs");
        texts_.emplace_back("--no-sandbox");
    }
    for (std::string& text : texts_) pointers_.push_back(text.data());
    pointers_.push_back(nullptr);
    argc_ = static_cast<int>(texts_.size());
}

void prepareToolkit() {
    // The web panel is a small page: Qt Quick's software renderer draws it without an
    // OpenGL context, so no GL driver (a software one, without a GPU) is loaded at all.
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

void configureApplication() {
    registerPictures();
    QApplication::setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
    QApplication::setQuitOnLastWindowClosed(false);
}

}  // namespace sscplan
