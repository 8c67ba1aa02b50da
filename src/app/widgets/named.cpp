#include "widgets/named.h"

#include <QPushButton>

namespace marovi::app {

QPushButton* NamedButton(const char* name, const QString& caption, const char* hint)
{
    auto* button = Named(new QPushButton(caption), name);
    if (hint) button->setToolTip(QString::fromLatin1(hint));
    return button;
}

QPushButton* NamedButton(const char* name, const char* caption, const char* hint)
{
    return NamedButton(name, QString::fromLatin1(caption), hint);
}

} // namespace marovi::app
