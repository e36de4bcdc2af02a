#include "ScanStatus.h"

#include <cstdio>
#include <sstream>

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>

#include "DisplayText.h"

namespace {

constexpr int kBusyWidth = 100;

}  // namespace

ScanStatus::ScanStatus(ScanCommands& scan, QStatusBar& statusBar, QObject* parent)
    : QObject(parent),
      scan_(scan),
      statusBar_(statusBar),
      busy_(new QProgressBar(&statusBar)),
      folder_(new QLabel(&statusBar)) {
    busy_->setRange(0, 0);  // indeterminate: a walk's size is not known in advance
    busy_->setMaximumWidth(kBusyWidth);
    busy_->setTextVisible(false);
    busy_->hide();
    folder_->setTextFormat(Qt::PlainText);
    folder_->setMinimumWidth(0);
    folder_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    folder_->hide();
    statusBar.addWidget(busy_);
    statusBar.addWidget(folder_, 2);

    drainTimer_.setInterval(kDrainIntervalMs);
    connect(&drainTimer_, &QTimer::timeout, this, &ScanStatus::Drain);
    scan_.SetWalkEnded([this](std::uint64_t walk) {
        // From the worker thread: the end is handled on the UI thread, after every row
        // the walk appended.
        QMetaObject::invokeMethod(
            this, [this, walk] { OnWalkEnded(walk); }, Qt::QueuedConnection);
    });
}

ScanStatus::~ScanStatus() {
    scan_.CancelScan();
    scan_.SetWalkEnded({});
}

void ScanStatus::Follow() {
    const bool running = scan_.scanRunning();
    if (running && !drainTimer_.isActive()) {
        drainTimer_.start();
    } else if (!running) {
        drainTimer_.stop();
    }
    busy_->setVisible(running);
    folder_->setVisible(running);
    if (!running) {
        folder_->clear();
    }
}

ScanCommands::Drained ScanStatus::Timed(const std::function<ScanCommands::Drained()>& drain) {
    QElapsedTimer clock;
    clock.start();
    ScanCommands::Drained drained = drain();
    longestDrainNs_ = std::max(longestDrainNs_, clock.nsecsElapsed());
    return drained;
}

void ScanStatus::Drain() {
    Timed([this] { return scan_.OnTimer(); });
    const std::string folder = scan_.CurrentFolder();
    if (!folder.empty()) {
        folder_->setText(DisplayText(folder));
    }
}

void ScanStatus::StopAndDrain() {
    scan_.StopAndDrain();
    Follow();
}

void ScanStatus::OnWalkEnded(std::uint64_t walk) {
    const bool wasRunning = scan_.scanRunning();
    const ScanCommands::Drained drained = Timed([this, walk] { return scan_.OnWalkEnded(walk); });
    Follow();
    // The status names a few places at most; its tooltip every one, with its cause, and so
    // does standard error, for whoever started the program from a shell.
    statusBar_.setToolTip(DisplayText(drained.unseen));
    std::istringstream lines(drained.unseen);
    for (std::string line; std::getline(lines, line);) {
        std::fprintf(stderr, "plumet: %s\n", line.c_str());
    }
    if (!drained.status.empty()) {
        emit UpdateEnded(DisplayText(drained.status));
    }
    if (wasRunning && !scan_.scanRunning()) {
        emit ScanEnded();
    }
}
