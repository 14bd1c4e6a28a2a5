#include "app/program.h"

#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "app/program_parts.h"
#include "platform/run_directory.h"
#include "update/leftover_updater.h"
#include "updater/updater_image.h"

#ifndef SSCPLAN_PRIMARY_HOST
#define SSCPLAN_PRIMARY_HOST "127.0.0.1"
#endif

namespace sscplan {

Endpoints fixedEndpoints() {
    return {std::string("http://") + SSCPLAN_PRIMARY_HOST + ":19300/appinit.php",
            "http://127.0.0.1:19200/"};
}

void ImmediateProgramEnd::end(int exitCode) {
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

namespace {

EditionInfo derivedEdition(EditionInfo edition, bool& betRangeFound) {
    betRangeFound = deriveBetRange(edition);
    return edition;
}

template <typename Port>
Port& chosen(Port* replacement, Port& own) {
    return replacement ? *replacement : own;
}

}  // namespace

ProgramParts::ProgramParts(Endpoints endpointsIn, const ProgramPorts& ports,
                           EditionInfo fixedEdition)
    : endpoints(std::move(endpointsIn)),
      edition(derivedEdition(std::move(fixedEdition), betRangeFound)),
      state{updaterPathIn(runDirectory()), {}, 0, false},
      messages(chosen(ports.messages, static_cast<MessageBoxes&>(qtMessages))),
      urls(chosen(ports.urls, static_cast<UrlOpener&>(qtUrls))),
      processes(chosen(ports.processes, static_cast<ProcessStarter&>(posixProcesses))),
      programEnd(chosen(ports.programEnd, static_cast<ProgramEnd&>(immediateEnd))),
      client(transport, clock, events),
      board(engine, drawHistory, clock, events, edition.planName,
            [this] { return state.formulaPeriods; }),
      loading(edition.title, [this] { programEnd.end(0); }),
      loadingCloser(loading),
      update(edition, state.updaterPath, updaterImage(),
             UpdateCheckPorts{loadingCloser, events, messages, files, processes, programEnd}),
      startup(StartupServices{edition, endpoints, client, settings, loading, messages, events,
                              update, board, engine, drawClock, drawHistory, view}),
      drawClock(client, clock),
      engine(clock, prototypes),
      drawTimer(drawClock, view, events, board, currentDraw, drawHistory) {
    prototypes.setMessageBoxes(&messages);
}

Program::Program(Endpoints endpoints, ProgramPorts ports, std::optional<EditionInfo> edition)
    : parts_(std::make_unique<ProgramParts>(std::move(endpoints), ports,
                                            edition ? std::move(*edition) : thisEdition())) {}

Program::~Program() {
    if (parts_->window) parts_->view.bind(nullptr);
    parts_->window.reset();
}

void Program::loadMainWindow() {
    ProgramParts& p = *parts_;
    // Module initialisers, in their order: the leftover updater, then the edition, which
    // ends by loading the main window.
    removeLeftoverUpdater(p.files, p.state.updaterPath);
    if (!p.betRangeFound) p.messages.inform(kBetRangeSearchFailed);

    p.window = std::make_unique<MainWindow>(WindowServices{
        p.edition, p.state, p.view, p.loading, p.startup, p.board, p.messages, p.urls,
        [&p] { p.drawTimer.onDrawTimer(); }, [] { QCoreApplication::quit(); }});
    p.view.bind(p.window.get());
}

bool Program::start() {
    ProgramParts& p = *parts_;
    if (!p.window) loadMainWindow();
    if (p.window->onCreated()) return true;
    p.view.bind(nullptr);
    p.window.reset();
    return false;
}

int Program::run() {
    if (start()) QCoreApplication::exec();
    return 0;
}

MainWindow* Program::window() const { return parts_->window.get(); }

}  // namespace sscplan
