#include "analysis/state_def_group.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace marovi::app {

namespace {

// The short names in the controls' names: R0_ND_CB is state R0's "consider" box of the
// undefined guild.
const char* const StateCodes[] = {"R0", "R1", "R2", "UD"};
const char* const GuildCodes[] = {"ND", "R0", "R1", "R2", "UD"};
const char* const GuildNames[] = {"undefined", "R0", "R1", "R2", "UD"};

QString FieldName(int state, int guild, const char* field)
{
    QString suffix = QString::fromLatin1(field);
    // The last state's last guild carries its names in mixed case.
    if (state == 3 && guild == 4) suffix = suffix == QStringLiteral("MIN") ? QStringLiteral("Min") : QStringLiteral("Max");
    return QStringLiteral("%1_%2_%3_Edit").arg(QLatin1String(StateCodes[state]), QLatin1String(GuildCodes[guild]), suffix);
}

} // namespace

TStateDefGroup::TStateDefGroup(QWidget* parent)
    : QGroupBox(QStringLiteral(" succession state definition by realtive abundance of guildes "), parent)
{
    setObjectName(QStringLiteral("StateDefGroupBox"));
    // One row per guild; per state a "consider" box and the two bounds.
    auto* grid = new QGridLayout(this);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(4);
    for (int k = 0; k < 4; ++k) {
        const int column = 1 + 4 * k;
        auto* state = new QLabel(QStringLiteral("<b>%1</b>").arg(QLatin1String(StateCodes[k])));
        grid->addWidget(state, 0, column);
        grid->addWidget(new QLabel(QStringLiteral("min")), 0, column + 1);
        grid->addWidget(new QLabel(QStringLiteral("max")), 0, column + 2);
        if (k > 0) grid->setColumnMinimumWidth(column - 1, 10);
        for (int g = 0; g < 5; ++g) {
            TRow row{new QCheckBox(QStringLiteral("consider")), new QLineEdit, new QLineEdit};
            row.Consider->setObjectName(QStringLiteral("%1_%2_CB").arg(QLatin1String(StateCodes[k]), QLatin1String(GuildCodes[g])));
            row.Min->setObjectName(FieldName(k, g, "MIN"));
            row.Max->setObjectName(FieldName(k, g, "MAX"));
            for (QLineEdit* e : {row.Min, row.Max}) e->setMaximumWidth(44);
            if (k == 0) grid->addWidget(new QLabel(QString::fromLatin1(GuildNames[g])), g + 1, 0);
            grid->addWidget(row.Consider, g + 1, column);
            grid->addWidget(row.Min, g + 1, column + 1);
            grid->addWidget(row.Max, g + 1, column + 2);
            rows_.push_back(row);
        }
    }
}

TStateDefFields TStateDefGroup::Fields() const
{
    TStateDefFields fields;
    for (const TRow& r : rows_)
        fields.push_back({r.Consider->isChecked(), r.Min->text().toStdString(), r.Max->text().toStdString()});
    return fields;
}

void TStateDefGroup::SetFields(const TStateDefFields& fields)
{
    for (size_t i = 0; i < rows_.size() && i < fields.size(); ++i) {
        rows_[i].Consider->setChecked(fields[i].Consider);
        rows_[i].Min->setText(QString::fromStdString(fields[i].Min));
        rows_[i].Max->setText(QString::fromStdString(fields[i].Max));
    }
}

} // namespace marovi::app
