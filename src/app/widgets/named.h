#pragma once
#include <QString>

namespace marovi::app {

// Gives a control its object name (the role name the tests find it by) and returns it.
template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace marovi::app
