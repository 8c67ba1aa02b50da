#include "messages.h"

#include <QFileDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QMessageBox>

namespace marovi::app {

void ShowMessage(QWidget* parent, const QString& caption, const QString& text, bool fixedPitch)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    if (fixedPitch)
        if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
            label->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    box.exec();
}

void ShowError(QWidget* parent, const QString& text)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("MAROVI"), text, QMessageBox::Ok, parent);
    box.exec();
}

bool AskYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

QString ChooseFile(QFileDialog* dialog)
{
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) return {};
    return dialog->selectedFiles().constFirst();
}

QFileDialog* MakeFileDialog(QWidget* parent, const char* name, bool save, const QString& filter,
                            const QString& defaultSuffix)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QString::fromLatin1(name));
    dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog->setNameFilter(filter);
    dialog->setDefaultSuffix(defaultSuffix);
    return dialog;
}

} // namespace marovi::app
