#pragma once

#include <memory>
#include <span>

#include "app/app_state.h"
#include "app/draw_timer.h"
#include "app/loading_window.h"
#include "app/main_view.h"
#include "app/main_window.h"
#include "app/program.h"
#include "app/qt_ports.h"
#include "app/startup_sequence.h"
#include "common/edition.h"
#include "draws/draw_clock.h"
#include "draws/draw_record.h"
#include "plans/plan_board.h"
#include "plans/plan_engine.h"
#include "plans/plan_prototypes.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/http_curl.h"
#include "platform/process.h"
#include "platform/program_ports.h"
#include "server/cloud_client.h"
#include "server/init_settings.h"
#include "update/update_check.h"

namespace sscplan {

// Ends the process at once with the code. The process's memory, windows and the web
// engine's helper processes go with it; nothing of the user's is left half-written,
// because every write of user data is atomic.
class ImmediateProgramEnd final : public ProgramEnd {
  public:
    [[noreturn]] void end(int exitCode) override;
};

// The loading window as the update check closes it.
class LoadingCloser final : public LoadingWindowCloser {
  public:
    explicit LoadingCloser(LoadingScreen& loading) : loading_(loading) {}
    void closeLoadingWindow() override { loading_.close(); }

  private:
    LoadingScreen& loading_;
};

// Every process-wide object of the program, each created once by Program. Members are
// declared in their order of creation.
struct ProgramParts {
    ProgramParts(Endpoints endpoints, const ProgramPorts& ports, EditionInfo fixedEdition);

    // Fixed before anything else exists.
    Endpoints endpoints;
    bool betRangeFound = true;  // set while the edition below is derived
    EditionInfo edition;
    AppState state;

    // Platform ports: the program's own, or what a test put in their place.
    QtMessageBoxes qtMessages;
    QtEventPump events;
    SystemClock clock;
    QtUrlOpener qtUrls;
    PosixProcessStarter posixProcesses;
    ImmediateProgramEnd immediateEnd;
    PosixFileStore files;
    CurlGlobal curl;
    CurlTransport transport;
    MessageBoxes& messages;
    UrlOpener& urls;
    ProcessStarter& processes;
    ProgramEnd& programEnd;

    // The process-wide objects in their order of creation; some are handed references to
    // objects declared after them, which they keep without using them while being built.
    MainView view;
    CloudClient client;
    InitSettings settings;
    PlanBoard board;
    LoadingWindow loading;
    LoadingCloser loadingCloser;
    UpdateCheck update;
    StartupSequence startup;
    DrawClock drawClock;
    DrawPair currentDraw;
    DrawHistory drawHistory;
    PlanEngine engine;
    PlanPrototypes prototypes;
    DrawTimerHandler drawTimer;

    // Loaded by the edition initialiser; destroyed when start-up fails or the program ends.
    std::unique_ptr<MainWindow> window;
};

}  // namespace sscplan
