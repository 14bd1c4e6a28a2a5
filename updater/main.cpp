// The updater: started by the desktop program with five arguments (title, version, offered
// version, update address, program file name), it replaces the program file beside itself
// with the signed update and starts it.
//
// With SSCPLAN_UPDATER_NONINTERACTIVE=1 a failure is printed on stderr instead of being
// shown in a message box, so that it can run unattended.

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "platform/process.h"
#include "platform/run_directory.h"
#include "update/update_public_key.h"
#include "updater/core/updater_job.h"
#include "updater/updater_window.h"

namespace {

constexpr int kUpdateFailed = 1;
constexpr int kBadArguments = 2;

bool nonInteractive() {
    const char* value = std::getenv("SSCPLAN_UPDATER_NONINTERACTIVE");
    return value != nullptr && std::string(value) == "1";
}

int reportFailure(const std::string& message, int exitCode, QWidget* parent) {
    std::cerr << "sscplan-updater: " << message << "\n";
    if (!nonInteractive()) {
        QMessageBox::warning(parent, QString::fromUtf8("信息："), QString::fromStdString(message));
    }
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    // Qt would read options of its own among ours; it gets only the program name.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication application(qtArgc, qtArgv);

    const std::optional<sscplan::UpdaterRequest> request =
        sscplan::parseUpdaterArguments(arguments);
    if (!request) return reportFailure(sscplan::kUpdaterBadArguments, kBadArguments, nullptr);

    sscplan::UpdaterWindow window(*request);
    window.show();
    int exitCode = 0;
    QTimer::singleShot(0, &window, [&] {
        sscplan::CurlDownloader downloader;
        sscplan::PosixProcessStarter processes;
        const auto progress = [&](std::uint64_t received, std::uint64_t total) {
            window.showProgress(received, total);
            QApplication::processEvents();
        };
        const sscplan::UpdaterOutcome outcome =
            sscplan::runUpdater(*request, sscplan::runDirectory(), sscplan::updatePublicKey(),
                                downloader, processes, progress);
        if (!outcome.started) exitCode = reportFailure(outcome.message, kUpdateFailed, &window);
        QApplication::quit();
    });
    application.exec();
    return exitCode;
}
