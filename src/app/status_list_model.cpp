#include "status_list_model.h"

namespace marovi::app {

TStatusListModel::TStatusListModel(TStatusList& list, QObject* parent)
    : QAbstractListModel(parent), list_(list), shown_(static_cast<int>(list.Size()))
{
}

int TStatusListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : shown_;
}

QVariant TStatusListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= shown_) return {};
    return QString::fromStdString(list_.Lines()[static_cast<size_t>(index.row())]);
}

void TStatusListModel::Inserted(int linesOnTop)
{
    if (linesOnTop <= 0) return;
    beginInsertRows({}, 0, linesOnTop - 1);
    shown_ = static_cast<int>(list_.Size());
    endInsertRows();
}

void TStatusListModel::Reset()
{
    beginResetModel();
    shown_ = static_cast<int>(list_.Size());
    endResetModel();
}

} // namespace marovi::app
