#pragma once

#include <QDialog>
#include <QString>
#include <functional>

#include "services.h"

class CStaticLink;
class QLabel;
class QPushButton;

// The About box: the program's icon, name and version, and a link to its web page. Each
// box starts with the link unvisited.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    CAboutDlg(Shell& shell, std::function<void()> beep, const QString& webPage,
              QWidget* parent = nullptr);

    QLabel& versionLabel() const { return *version_; }
    QLabel& descriptionLabel() const { return *description_; }
    CStaticLink& webLink() const { return *link_; }
    QPushButton& okButton() const { return *ok_; }

private:
    QLabel* version_;
    QLabel* description_;
    CStaticLink* link_;
    QPushButton* ok_;
};
