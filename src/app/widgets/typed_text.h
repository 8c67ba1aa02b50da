#pragma once
#include <QLineEdit>
#include <string>

namespace marovi::app {

// The text typed into a field, as the core's conversions read it.
inline std::string Typed(const QLineEdit* edit) { return edit->text().toStdString(); }

} // namespace marovi::app
