#include "DiscPrompt.h"

#include <QApplication>
#include <QMessageBox>

#include "DisplayText.h"

DiscPrompt::~DiscPrompt() {
    Close();
}

void DiscPrompt::Show(const std::string& text, std::function<void()> cancelled) {
    cancelled_ = std::move(cancelled);
    if (box_ == nullptr) {
        box_ = new QMessageBox(QMessageBox::Information, QApplication::applicationName(), {},
                               QMessageBox::Cancel, window_);
        box_->setWindowModality(Qt::NonModal);
        box_->setAttribute(Qt::WA_DeleteOnClose);
        connect(box_, &QMessageBox::finished, this, [this] {
            if (const std::function<void()> cancelled = std::move(cancelled_)) {
                cancelled();
            }
        });
    }
    box_->setText(DisplayText(text));
    box_->show();
    box_->raise();
}

void DiscPrompt::Close() {
    cancelled_ = nullptr;
    if (box_ != nullptr) {
        box_->close();
    }
}
