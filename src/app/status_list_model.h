#pragma once
#include <QAbstractListModel>

#include "files/status_list.h"

namespace marovi::app {

// Shows the core status list in a list view. Whoever changes the list says so through
// Inserted (lines added on top) or Reset (anything else).
class TStatusListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit TStatusListModel(TStatusList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void Inserted(int linesOnTop);
    void Reset();

private:
    TStatusList& list_;
    int shown_ = 0; // rows the view knows of
};

} // namespace marovi::app
