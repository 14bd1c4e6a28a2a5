#pragma once

#include <string>

#include "app/app_state.h"
#include "app/startup_host.h"
#include "draws/draw_record.h"

namespace sscplan {

class CloudClient;
class DrawClock;
class DrawView;
class EventPump;
class MessageBoxes;
class PlanBoard;
class PlanBox;
class PlanEngine;
class UpdateCheck;
struct EditionInfo;
struct InitSettings;

// Everything the two start-up phases work with. Every reference outlives the sequence.
struct StartupServices {
    const EditionInfo& edition;
    const Endpoints& endpoints;
    CloudClient& client;
    InitSettings& settings;
    LoadingScreen& loading;
    MessageBoxes& messages;
    EventPump& events;
    UpdateCheck& update;
    PlanBoard& board;
    PlanEngine& engine;
    DrawClock& clock;
    DrawHistory& history;
    DrawView& view;
};

// The two phases between the creation of the hidden main window and its first showing.
// Each failing step has told the user why before false comes back.
class StartupSequence {
  public:
    explicit StartupSequence(StartupServices services) : s_(services) {}

    // Phase one: the server connection (primary, then fallback endpoint), the update
    // check, and the plan board attached to `box`.
    bool connect(StartupHost& window, PlanBox& box);
    // Phase two: the edition's plans, the web panel's page, the first poll, the recent
    // draws shown in the window, and the first plan.
    bool loadData(StartupHost& window);

  private:
    StartupServices s_;
};

// Phase one's steps, in their order.
class ConnectSteps {
  public:
    explicit ConnectSteps(const StartupServices& services) : s_(services) {}
    bool run(StartupHost& window, PlanBox& box);
    bool connectServer();
    bool checkUpdate(const std::string& serverVersion, const std::string& updateAddress);

  private:
    const StartupServices& s_;
};

// Phase two's steps, in their order.
class DataSteps {
  public:
    explicit DataSteps(const StartupServices& services) : s_(services) {}
    bool run(StartupHost& window);
    bool loadDraws(StartupHost& window);

  private:
    const StartupServices& s_;
};

}  // namespace sscplan
