#pragma once

#include <string>
#include <vector>

// Small interfaces through which the core reaches what only a window (or a test) can do.
// The desktop program implements them with Qt; tests implement fakes that record.

namespace sscplan {

// Lets pending window events run (timer ticks, repaints, the user closing a window).
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void runPending() = 0;
};

// An event pump with nothing to pump: for programs without a window.
class NoEventPump final : public EventPump {
public:
    void runPending() override {}
};

// The plan text box.
class PlanBox {
public:
    virtual ~PlanBox() = default;
    virtual void setText(const std::string& text) = 0;
    virtual void placeCaretAtEnd() = 0;
};

// Modal message boxes with the caption "信息：".
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // OK only.
    virtual void inform(const std::string& text) = 0;
    // OK and Cancel; true only for OK.
    virtual bool confirm(const std::string& text) = 0;
};

inline constexpr const char* kMessageCaption = "信息：";

// Starts a program detached, each argument a separate argv entry; false when it could not
// be started.
class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    virtual bool startDetached(const std::string& program,
                               const std::vector<std::string>& arguments) = 0;
};

// Opens an address in the user's web browser.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void open(const std::string& url) = 0;
};

}  // namespace sscplan
