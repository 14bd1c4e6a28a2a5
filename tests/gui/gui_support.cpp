#include "gui_support.h"

#include <QApplication>
#include <QDir>
#include <fstream>
#include <sstream>

#include "app/program_parts.h"
#include "common/text.h"

ScopedWorkDirectory::ScopedWorkDirectory() : previous_(QDir::currentPath()) {
    QDir::setCurrent(directory_.path());
}

ScopedWorkDirectory::~ScopedWorkDirectory() { QDir::setCurrent(previous_); }

ShowWatcher::ShowWatcher(sscplan::ProgramParts& parts) : parts_(parts) {
    qApp->installEventFilter(this);
}

ShowWatcher::~ShowWatcher() { qApp->removeEventFilter(this); }

bool ShowWatcher::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched == parts_.window.get()) {
        ++mainWindowShows;
        loadingOpenWhenShown = parts_.loading.window() != nullptr;
    }
    return false;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeGbkFile(const std::string& path, const std::string& utf8) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << gbk(utf8);
}

std::string gbk(const std::string& utf8) { return sscplan::utf8ToGbk(utf8).value_or(""); }
