#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class HistoryTab;
}

namespace durnmoor {

struct HistoryFigures;

// "Product Calibration History": the calibrations of the instrument on screen, the result of
// the one chosen, and what they cost.
class HistoryTab : public QWidget {
    Q_OBJECT

public:
    explicit HistoryTab(QWidget *parent = nullptr);
    ~HistoryTab() override;

    // "Instrument No:" of this tab, the number every history operation works on.
    void show_number(const QString &number);
    QString number() const;

    void show_history(const QStringList &entries, const HistoryFigures &figures);
    void show_no_history();
    void add_entry(const QString &entry);
    QString selected_entry() const; // empty when none is selected

    void show_result(const QString &text);
    QString result() const;
    // The result box takes typing only while a result is entered or corrected.
    void open_result(bool focus);
    void lock_result();

    // clean's part: the number, the result, the figures and the list blank.
    void clean();
    // enableform's and disableform's part: the number box.
    void set_number_enabled(bool on);
    void set_now_calibrated_enabled(bool on); // "Item has &now been calibrated"
    void set_update_enabled(bool on);         // "&Update Result"
    void set_remove_enabled(bool on);         // "&Remove Calibration"

signals:
    void entry_clicked();
    void entry_double_clicked();
    void now_calibrated_clicked();
    void update_clicked();
    void remove_clicked();

private:
    std::unique_ptr<Ui::HistoryTab> ui;
};

} // namespace durnmoor
