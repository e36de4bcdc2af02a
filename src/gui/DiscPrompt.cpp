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
        QMessageBox* box = box_;
        connect(box, &QMessageBox::finished, this, [this, box] {
            // This box is over: a question asked from `cancelled` needs a box of its own.
            if (box != box_) {
                return;
            }
            Detach();
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
    if (QMessageBox* box = Detach()) {
        box->close();
    }
}

QMessageBox* DiscPrompt::Detach() {
    QMessageBox* box = box_;
    box_ = nullptr;
    if (box != nullptr) {
        box->deleteLater();
    }
    return box;
}
