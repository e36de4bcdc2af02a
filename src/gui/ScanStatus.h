#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

#include "scan/ScanCommands.h"

class QLabel;
class QProgressBar;
class QStatusBar;

// A scan on screen: drains found rows into the list on a timer while a walk runs and once
// more when its end arrives, and shows a busy indicator and the folder being walked.
class ScanStatus : public QObject {
    Q_OBJECT

public:
    static constexpr int kDrainIntervalMs = 100;

    ScanStatus(ScanCommands& scan, QStatusBar& statusBar, QObject* parent = nullptr);
    // Stops a running walk: the worker must not outlive the window it reports to.
    ~ScanStatus() override;

    // After any command that may have started or stopped a walk.
    void Follow();
    // Brings in the rows found so far, as the timer does.
    void Drain();
    // Stops the walk and brings in all it found.
    void StopAndDrain();

    // The longest single drain so far, for the benchmark.
    qint64 longestDrainNs() const { return longestDrainNs_; }

signals:
    // The walk has ended and its last rows are in.
    void ScanEnded();
    // An Update merged its walk, or a scan ended with places it could not see: what it
    // says, for the status bar.
    void UpdateEnded(const QString& status);

private:
    ScanCommands::Drained Timed(const std::function<ScanCommands::Drained()>& drain);
    void OnWalkEnded(std::uint64_t walk);

    ScanCommands& scan_;
    QStatusBar& statusBar_;
    QTimer drainTimer_;
    QProgressBar* busy_;
    QLabel* folder_;
    qint64 longestDrainNs_ = 0;
};
