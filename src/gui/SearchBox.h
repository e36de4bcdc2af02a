#pragma once

#include <QLineEdit>

#include "browse/SearchInput.h"

class CatalogModel;

// The toolbar's search field: the rows shown narrow as the user types. Esc clears it, which
// ends the search; a catalog opened or started anew ends it too. Down goes on to the rows
// found, Enter plays the current one.
class SearchBox : public QLineEdit {
    Q_OBJECT

public:
    SearchBox(CatalogModel& model, QWidget* parent);

signals:
    void ListRequested();
    void PlayRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Apply(const QString& text);
    // After the view was reset by a new catalog, the box says what is in force.
    void FollowView();

    CatalogModel& model_;
    SearchInput input_;
};
