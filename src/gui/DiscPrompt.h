#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

#include "volumes/DiscWait.h"

class QWidget;

// The question "Insert the disc ..." as a message box that leaves the window usable: the
// user may go on working, or cancel, while the program waits for the disc.
class DiscPrompt : public QObject, public DiscWait::Prompt {
    Q_OBJECT

public:
    explicit DiscPrompt(QObject* parent = nullptr) : QObject(parent) {}
    ~DiscPrompt() override;

    void SetWindow(QWidget* window) { window_ = window; }
    void Show(const std::string& text, std::function<void()> cancelled) override;
    void Close() override;
    // The box shown now, or nullptr.
    QMessageBox* box() const { return box_; }

private:
    // Forgets the box shown and lets it go once its events are done; the box, or nullptr.
    QMessageBox* Detach();

    QWidget* window_ = nullptr;
    QPointer<QMessageBox> box_;
    std::function<void()> cancelled_;
};
