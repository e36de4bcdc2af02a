#include "CAboutDlg.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <utility>

#include "CStaticLink.h"

namespace {

constexpr int kIconSize = 48;

}  // namespace

CAboutDlg::CAboutDlg(Shell& shell, std::function<void()> beep, const QString& webPage,
                     QWidget* parent)
    : QDialog(parent),
      version_(new QLabel(QStringLiteral("Plumet Version %1").arg(QLatin1String(kVersion)))),
      description_(new QLabel(tr("A catalog of the music on your discs and in your folders"))),
      link_(new CStaticLink(shell, std::move(beep))),
      ok_(new QPushButton(tr("OK"))) {
    setWindowTitle(tr("About Plumet"));

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
