#include "widgets/widget_export.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QWidget>

#include "messages.h"

namespace marovi::app {

namespace {

void RenderSvg(QWidget* widget, const QString& title, QIODevice* device)
{
    QSvgGenerator generator;
    generator.setOutputDevice(device);
    generator.setSize(widget->size());
    generator.setViewBox(widget->rect());
    generator.setTitle(title);
    QPainter painter(&generator);
    widget->render(&painter);
}

} // namespace

QByteArray WidgetSvg(QWidget* widget, const QString& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    RenderSvg(widget, title, &buffer);
    return buffer.data();
}

bool SaveWidgetSvg(QWidget* widget, const QString& title, const QString& path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    RenderSvg(widget, title, &file);
    return file.commit();
}

void CopyWidgetToClipboard(QWidget* widget, const QString& title)
{
    auto* data = new QMimeData;
    data->setImageData(widget->grab().toImage());
    data->setData(QStringLiteral("image/svg+xml"), WidgetSvg(widget, title));
    QApplication::clipboard()->setMimeData(data);
}

void SaveOrCopyChart(QWidget* widget, const QString& title, QFileDialog* dialog, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier) {
        CopyWidgetToClipboard(widget, title);
        return;
    }
    const QString path = ChooseFile(dialog);
    if (!path.isEmpty() && !SaveWidgetSvg(widget, title, path)) ShowError(widget, QStringLiteral("could not write %1").arg(path));
}

} // namespace marovi::app
