#pragma once
#include <QGroupBox>
#include <vector>

#include "analysis/succession.h"

class QCheckBox;
class QLineEdit;

namespace marovi::app {

// " succession state definition by realtive abundance of guildes ": for each state R0, R1,
// R2, UD and each guild a "consider" box and the "min" and "max" fields.
class TStateDefGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TStateDefGroup(QWidget* parent = nullptr);

    TStateDefFields Fields() const;
    void SetFields(const TStateDefFields& fields);

private:
    struct TRow {
        QCheckBox* Consider;
        QLineEdit *Min, *Max;
    };
    std::vector<TRow> rows_; // state 1 guilds 0..4, then state 2, ...
};

} // namespace marovi::app
