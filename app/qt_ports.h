#pragma once

#include "platform/ports.h"

class QPlainTextEdit;
class QWidget;

namespace sscplan {

// Message boxes with the caption "信息：", modal to the program's windows.
class QtMessageBoxes final : public MessageBoxes {
  public:
    void inform(const std::string& text) override;
    bool confirm(const std::string& text) override;
};

class QtEventPump final : public EventPump {
  public:
    void runPending() override;
};

// Hands http and https addresses to the desktop's browser; every other scheme is refused.
class QtUrlOpener final : public UrlOpener {
  public:
    void open(const std::string& url) override;
};

// Whether an address may leave the program for the user's browser.
bool isWebAddress(const std::string& url);

// The plan text box as the plan board sees it.
class QtPlanBox final : public PlanBox {
  public:
    explicit QtPlanBox(QPlainTextEdit& box) : box_(box) {}
    void setText(const std::string& text) override;
    void placeCaretAtEnd() override;

  private:
    QPlainTextEdit& box_;
};

}  // namespace sscplan
