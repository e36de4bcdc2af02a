#include "CAboutDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

#include "CStaticLink.h"
#include "app/AboutText.h"

namespace {

constexpr int kIconSize = 48;

}  // namespace

CAboutDlg::CAboutDlg(Shell& shell, std::function<void()> beep, const QString& webPage,
                     QWidget* parent)
    : QDialog(parent),
      version_(new QLabel(QString::fromLatin1(AboutText::kVersionLine))),
      description_(new QLabel(QString::fromLatin1(AboutText::kDescription))),
      link_(new CStaticLink(shell, std::move(beep))),
      ok_(new QPushButton(tr("OK"))) {
    setWindowTitle(QString::fromLatin1(AboutText::kTitle));

    // The program has no icon of its own yet where the desktop supplies none.
    QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        icon = style()->standardIcon(QStyle::SP_MessageBoxInformation);
    }
    auto* iconLabel = new QLabel;
    iconLabel->setPixmap(icon.pixmap(kIconSize, kIconSize));
    iconLabel->setAlignment(Qt::AlignTop);

    link_->setText(webPage);
    link_->setToolTip(tr("Open the program's web page"));

    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(version_);
    text->addWidget(description_);
    text->addSpacing(8);
    text->addWidget(link_);
    text->addStretch();

    auto* body = new QHBoxLayout;
    body->addWidget(iconLabel);
    body->addSpacing(12);
    body->addLayout(text, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Tab goes from the link to OK; the dialog opens with OK focused, as Enter presses it.
    setTabOrder(link_, ok_);
    ok_->setFocus();
}
