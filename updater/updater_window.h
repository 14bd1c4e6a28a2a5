#pragma once

#include <QLabel>
#include <QProgressBar>
#include <QWidget>
#include <cstdint>

#include "updater/core/updater_job.h"

namespace sscplan {

// The updater's small window: what is being updated and how far the download is.
class UpdaterWindow final : public QWidget {
  public:
    explicit UpdaterWindow(const UpdaterRequest& request);

    // Bytes received and the total announced (0: unknown, the bar then just moves).
    void showProgress(std::uint64_t received, std::uint64_t total);

  private:
    QLabel* heading_;
    QProgressBar* bar_;
};

}  // namespace sscplan
