#pragma once
// "Find settings...": the user picks a box, types the value it should show and a tolerance,
// and the dialog lists the settings the core's finder proposes, best first. Choosing one
// hands it to the main window, which applies it as ordinary choices.

#include "diagram/Model.h"
#include "results/Solver.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <functional>
#include <vector>

namespace quorvel::gui {

class FindSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `start` gives the configuration to start from each time Find runs; `apply` receives the
    // solution the user chose.
    FindSettingsDialog(const TModel& model, std::function<SolveStart()> start,
                       std::function<void(const Solution&)> apply, QWidget* parent = nullptr);

    QComboBox* BoxChooser() const { return box_; }
    QLineEdit* Target() const { return target_; }
    QLineEdit* Tolerance() const { return tolerance_; }
    QPushButton* FindButton() const { return find_; }
    QPushButton* ApplyButton() const { return applyButton_; }
    QListWidget* Results() const { return results_; }
    QLabel* Status() const { return status_; }

    // Runs the search with the dialog's fields; the results (or the reason there are none)
    // replace the list.
    void FindClick();
    // Applies the selected result, if any.
    void ApplyClick();

    // One line of the result list for a solution: what it sets and the boxes' values.
    static QString Describe(const TModel& model, const Solution& solution);

private:
    const TModel& model_;
    std::function<SolveStart()> start_;
    std::function<void(const Solution&)> apply_;
    QComboBox* box_ = nullptr;
    QLineEdit* target_ = nullptr;
    QLineEdit* tolerance_ = nullptr;
    QPushButton* find_ = nullptr;
    QPushButton* applyButton_ = nullptr;
    QListWidget* results_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<Solution> solutions_;
};

} // namespace quorvel::gui
