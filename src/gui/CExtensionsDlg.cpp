#include "CExtensionsDlg.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

CExtensionsDlg::CExtensionsDlg(UserInterface& ui, QWidget* parent)
    : QDialog(parent),
      list_(new QListWidget),
      ok_(new QPushButton(tr("OK"))),
      cancel_(new QPushButton(tr("Cancel"))) {
    setWindowTitle(tr("File Extensions"));

    // A list widget already has a border, a vertical scroll bar when needed and a tab stop.
    list_->setSortingEnabled(true);
    list_->addItem(QStringLiteral("mp3"));
    // Room for about a dozen extensions without scrolling, in dialog units (a quarter of
    // an average character wide, an eighth of a line high) so it scales with the font.
    const QFontMetrics metrics = fontMetrics();
    list_->setFixedSize(115 * metrics.averageCharWidth() / 4, 98 * metrics.height() / 8);

    // The selection rather than the current item: tabbing into the list makes an entry
    // current without selecting it, and that is no choice of the user's.
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [&ui] { ui.ShowMessage("Set OnSelchangeExtensions"); });

    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(ok_, cancel_);
    setTabOrder(cancel_, list_);
    ok_->setFocus();
}
