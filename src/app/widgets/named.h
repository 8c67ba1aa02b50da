#pragma once
#include <QString>

class QPushButton;

namespace marovi::app {

// Gives a control its object name (the role name the tests find it by) and returns it.
template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

// A named push button with its caption and, when given, its tool tip.
QPushButton* NamedButton(const char* name, const QString& caption, const char* hint = nullptr);
QPushButton* NamedButton(const char* name, const char* caption, const char* hint = nullptr);

} // namespace marovi::app
