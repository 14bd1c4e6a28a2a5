#pragma once

#include <functional>
#include <string>

class QWidget;

namespace sscplan {

class UrlOpener;

// The web panel: a browser view that navigates freely until `startupDone` reads true and
// afterwards keeps its page, handing every address it is asked to go to (links, redirects,
// new-window requests) to `urls`. The program's own loads always go through.
QWidget* createWebPanel(QWidget* parent, std::function<bool()> startupDone, UrlOpener& urls);

// Starts loading `url` in a panel made by createWebPanel.
void setWebPanelAddress(QWidget* panel, const std::string& url);

}  // namespace sscplan
