#pragma once

#include <QEvent>
#include <QObject>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/program.h"
#include "fake_ports.h"

namespace sscplan {
struct ProgramParts;
}

// A fresh current directory for one program run (the settings file lands there); the
// previous one is restored afterwards.
class ScopedWorkDirectory {
  public:
    ScopedWorkDirectory();
    ~ScopedWorkDirectory();
    QString path() const { return directory_.path(); }
    std::string settingsPath() const {
        return (path() + QStringLiteral("/配置.ini")).toStdString();
    }

  private:
    QTemporaryDir directory_;
    QString previous_;
};

// The fakes a test run answers the program's ports with.
struct FakePorts {
    RecordingMessageBoxes messages;
    RecordingUrlOpener urls;
    RecordingProcessStarter processes;
    RecordingProgramEnd programEnd;

    sscplan::ProgramPorts ports() { return {&messages, &urls, &processes, &programEnd}; }
};

// Watches the main window being shown and notes whether the loading window was still open
// at that moment.
class ShowWatcher final : public QObject {
  public:
    explicit ShowWatcher(sscplan::ProgramParts& parts);
    ~ShowWatcher() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    int mainWindowShows = 0;
    bool loadingOpenWhenShown = false;

  private:
    sscplan::ProgramParts& parts_;
};

// The whole file as bytes; empty when missing.
std::string fileBytes(const std::string& path);
// Writes a settings file from UTF-8 text, stored in GBK as the program stores it.
void writeGbkFile(const std::string& path, const std::string& utf8);
// The GBK bytes of a UTF-8 text.
std::string gbk(const std::string& utf8);
