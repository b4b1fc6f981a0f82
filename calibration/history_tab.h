#pragma once

#include <QDate>
#include <QWidget>

#include <memory>
#include <string>

namespace Ui {
class HistoryTab;
}

namespace durnmoor {

class CalibrationLog;
struct HistoryFigures;

// "Product Calibration History": the calibrations of the instrument on screen, the result of
// the one chosen, and what they cost. It follows the instrument the register shows and the
// entry area, and records through the calibration log.
class HistoryTab : public QWidget {
    Q_OBJECT

public:
    explicit HistoryTab(CalibrationLog &log, QWidget *parent = nullptr);
    ~HistoryTab() override;

    // "Instrument No:" of this tab, the number every history operation works on.
    void show_number(const QString &number);
    QString number() const;
    // The number as the bytes it was loaded from, while the box still shows them.
    std::string number_bytes() const;

    // days: each entry's calibration date, invalid for an entry that is no date.
    void show_history(const QStringList &entries, const HistoryFigures &figures,
                      const QList<QDate> &days = {});
    void show_no_history();
    void add_entry(const QString &entry, QDate day);
    QString selected_entry() const; // empty when none is selected

    void show_result(const QString &text);
    QString result() const;
    // The result box takes typing only while a result is entered or corrected.
    void open_result(bool focus);
    void lock_result();

    // The number, the result, the figures and the list blank.
    void clean();
    void set_number_enabled(bool on);
    void set_now_calibrated_enabled(bool on); // "Item has &now been calibrated"
    void set_update_enabled(bool on);         // "&Update Result"
    void set_remove_enabled(bool on);         // "&Remove Calibration"

private:
    void show_instrument(const std::string &number);
    void entry_clicked();
    void entry_double_clicked();
    void update_result();
    void remove_calibration();
    // The date of the calibration chosen in the list; invalid when none, or no date.
    QDate selected_day() const;
    void show_certificates();
    void update_certificate_buttons();
    QString selected_certificate() const;

    std::unique_ptr<Ui::HistoryTab> ui;
    CalibrationLog &log_;
    std::string loaded_number_; // the instrument number of the record last shown, as read
};

} // namespace durnmoor
