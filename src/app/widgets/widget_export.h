#pragma once
#include <QByteArray>
#include <QString>
#include <Qt>

class QFileDialog;
class QWidget;

namespace marovi::app {

// A chart widget as scalable vector graphics (the program's metafile).
QByteArray WidgetSvg(QWidget* widget, const QString& title);
// Writes the SVG beside path and renames it into place; false when that fails.
bool SaveWidgetSvg(QWidget* widget, const QString& title, const QString& path);
// The widget to the clipboard, as an image and as SVG.
void CopyWidgetToClipboard(QWidget* widget, const QString& title);
// A double click on a chart: with Ctrl held it copies the chart, otherwise it saves it to
// the file chosen in the dialog (cancelling does nothing).
void SaveOrCopyChart(QWidget* widget, const QString& title, QFileDialog* dialog, Qt::KeyboardModifiers modifiers);

} // namespace marovi::app
