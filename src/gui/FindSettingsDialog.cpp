#include "gui/FindSettingsDialog.h"

#include "results/FormulaText.h"
#include "results/Limits.h"
#include "util/NumberText.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <exception>

namespace quorvel::gui {

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

FindSettingsDialog::FindSettingsDialog(const TModel& model, std::function<SolveStart()> start,
                                       std::function<void(const Solution&)> apply, QWidget* parent)
    : QDialog(parent), model_(model), start_(std::move(start)), apply_(std::move(apply)) {
    setObjectName(QStringLiteral("FindSettings"));
    setWindowTitle(QStringLiteral("Find settings"));

    box_ = new QComboBox(this);
    box_->setObjectName(QStringLiteral("Box"));
    // Every computed box, named by what it shows.
    for (std::size_t k = 0; k < model_.Formulas.size() && k < model_.ValueBoxCount; ++k)
        if (!model_.Formulas[k].Expression.empty())
            box_->addItem(Text(BoxQuantity(model_, static_cast<int>(k))), static_cast<int>(k));
    target_ = new QLineEdit(this);
    target_->setObjectName(QStringLiteral("Target"));
    target_->setPlaceholderText(QStringLiteral("MHz"));
    tolerance_ = new QLineEdit(QStringLiteral("0"), this);
    tolerance_->setObjectName(QStringLiteral("Tolerance"));

    auto* form = new QFormLayout();
    form->addRow(QStringLiteral("Box:"), box_);
    form->addRow(QStringLiteral("Target (MHz):"), target_);
    form->addRow(QStringLiteral("Tolerance (%):"), tolerance_);

    find_ = new QPushButton(QStringLiteral("Find"), this);
    find_->setObjectName(QStringLiteral("Find"));
    find_->setDefault(true);
    results_ = new QListWidget(this);
    results_->setObjectName(QStringLiteral("Results"));
    results_->setMinimumSize(520, 220);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("Status"));
    status_->setWordWrap(true);
    applyButton_ = new QPushButton(QStringLiteral("Apply"), this);
    applyButton_->setObjectName(QStringLiteral("Apply"));
    applyButton_->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("Close"), this);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(applyButton_);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(find_);
    layout->addWidget(results_);
    layout->addWidget(status_);
    layout->addLayout(buttons);

    connect(find_, &QPushButton::clicked, this, [this] { FindClick(); });
    connect(applyButton_, &QPushButton::clicked, this, [this] { ApplyClick(); });
    connect(results_, &QListWidget::itemDoubleClicked, this, [this] { ApplyClick(); });
    connect(results_, &QListWidget::currentRowChanged, this,
            [this](int row) { applyButton_->setEnabled(row >= 0); });
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

QString FindSettingsDialog::Describe(const TModel& model, const Solution& solution) {
    QStringList sets;
    for (const SolvedField& f : solution.Fields)
        if (f.Changed)
            sets << Text(SetText(model, f));
    QString line = sets.isEmpty() ? QStringLiteral("(as it is)") : sets.join(QStringLiteral(", "));
    QStringList values;
    for (std::size_t k = 0; k < solution.BoxTexts.size() && k < model.Formulas.size(); ++k)
        if (!model.Formulas[k].Expression.empty())
            values << Text(BoxQuantity(model, static_cast<int>(k)) + " " + solution.BoxTexts[k]);
    line += QStringLiteral("  |  ") + values.join(QStringLiteral(", "));
    if (solution.Error > 0)
        line += QStringLiteral("  (off by %1 %)").arg(Text(FormatResult(solution.Error * 100)));
    return line;
}

void FindSettingsDialog::FindClick() {
    results_->clear();
    solutions_.clear();
    applyButton_->setEnabled(false);
    const auto target = ParseFloat(target_->text().toStdString());
    const auto tolerance = ParseFloat(tolerance_->text().toStdString());
    if (box_->currentIndex() < 0 || !target) {
        status_->setText(QStringLiteral("Type the value the box should show."));
        return;
    }
    if (!tolerance || *tolerance < 0) {
        status_->setText(QStringLiteral("The tolerance is a percentage of 0 or more."));
        return;
    }
    SolveRequest request;
    request.Targets.push_back({box_->currentData().toInt(), *target});
    request.TolerancePercent = *tolerance;
    try {
        SolveResult result = Solve(model_, start_(), request);
        solutions_ = std::move(result.Solutions);
        for (const Solution& s : solutions_)
            results_->addItem(Describe(model_, s));
        status_->setText(
            solutions_.empty()
                ? Text(result.Reason)
                : QStringLiteral("%1 found; double-click one to apply it.").arg(solutions_.size()));
        if (!solutions_.empty())
            results_->setCurrentRow(0);
    } catch (const std::exception& e) {
        status_->setText(Text(e.what()));
    }
}

void FindSettingsDialog::ApplyClick() {
    const int row = results_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= solutions_.size())
        return;
    apply_(solutions_[static_cast<std::size_t>(row)]);
}

} // namespace quorvel::gui
