// Runs the desktop program's composition root against the endpoints given on the command
// line: the exit-code test and the start-up measurements use it, since the program itself
// reads no arguments. Message boxes are answered OK and printed as "message: TEXT".
//
//   sscplan_probe PRIMARY FALLBACK [--quit-after-ms N] [--screenshot FILE]
//
// Prints "shown-at-ms: T" (CLOCK_MONOTONIC) when the main window has been shown.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <string>

#include "app/main_window.h"
#include "app/program.h"
#include "app/toolkit.h"
#include "platform/ports.h"

namespace {

class PrintingMessageBoxes final : public sscplan::MessageBoxes {
  public:
    void inform(const std::string& text) override {
        std::printf("message: %s\n", text.c_str());
        std::fflush(stdout);
    }
    bool confirm(const std::string& text) override {
        inform(text);
        return true;
    }
};

long long monotonicMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s PRIMARY FALLBACK [--quit-after-ms N] [--screenshot FILE]\n",
                     argv[0]);
        return 2;
    }
    int quitAfterMs = -1;
    std::string screenshot;
    for (int i = 3; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--quit-after-ms") quitAfterMs = std::stoi(argv[i + 1]);
        if (option == "--screenshot") screenshot = argv[i + 1];
    }

    sscplan::prepareToolkit();
    sscplan::ToolkitArguments arguments(argv[0]);
    QApplication application(arguments.argc(), arguments.argv());
    sscplan::configureApplication();

    PrintingMessageBoxes messages;
    sscplan::ProgramPorts ports;
    ports.messages = &messages;
    sscplan::Program program({argv[1], argv[2]}, ports);
    if (!program.start()) return 0;
    std::printf("shown-at-ms: %lld\n", monotonicMs());
    std::fflush(stdout);
    if (quitAfterMs >= 0) {
        QTimer::singleShot(quitAfterMs, &application, [&] {
            if (!screenshot.empty())
                program.window()->grab().save(QString::fromStdString(screenshot));
            QCoreApplication::quit();
        });
    }
    QCoreApplication::exec();
    return 0;
}
