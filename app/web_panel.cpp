#include "app/web_panel.h"

#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include "platform/ports.h"

namespace sscplan {
namespace {

class WebPanelPage final : public QWebEnginePage {
  public:
    WebPanelPage(std::function<bool()> startupDone, UrlOpener& urls, QObject* parent)
        : QWebEnginePage(parent), startupDone_(std::move(startupDone)), urls_(urls) {
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (startupDone_()) {
                        openOutside(request.requestedUrl());
                    } else {
                        request.openIn(this);
                    }
                });
    }

  protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override {
        // A typed navigation is the program's own load; its decision may come late.
        if (type == NavigationTypeTyped || !startupDone_()) return true;
        // Frames that a page loads by itself stay inside it; what the user follows leaves.
        if (!isMainFrame && type != NavigationTypeLinkClicked &&
            type != NavigationTypeFormSubmitted) {
            return true;
        }
        openOutside(url);
        return false;
    }

  private:
    void openOutside(const QUrl& url) { urls_.open(url.toString().toStdString()); }

    std::function<bool()> startupDone_;
    UrlOpener& urls_;
};

}  // namespace

QWidget* createWebPanel(QWidget* parent, std::function<bool()> startupDone, UrlOpener& urls) {
    auto* view = new QWebEngineView(parent);
    // The default profile is off the record: the panel keeps no cookies or cache on disk.
    view->setPage(new WebPanelPage(std::move(startupDone), urls, view));
    view->setContextMenuPolicy(Qt::NoContextMenu);
    return view;
}

void setWebPanelAddress(QWidget* panel, const std::string& url) {
    static_cast<QWebEngineView*>(panel)->setUrl(QUrl(QString::fromStdString(url)));
}

}  // namespace sscplan
