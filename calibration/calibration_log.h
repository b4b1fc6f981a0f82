#pragma once

#include "calibration/certificate_actions.h"
#include "calibration/due_dates.h"
#include "calibration/history_file.h"
#include "store/kept_file.h"

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

class QWidget;

namespace durnmoor {

class InstrumentRegister;

// An instrument's calibrations as the history list shows them.
struct ShownHistory {
    QStringList entries; // each calibration's date in the long display form
    QList<QDate> days;   // each one's date; invalid for a stored text that is no date
    HistoryFigures figures;
};

// The calibration log: history.dat kept parsed while it does not change, and every operation
// on it: an instrument's history, a result, recording and correcting a calibration,
// removing one, and the listing of the instruments falling due. A calibration moves the
// instrument's last calibration in the register in the same change.
class CalibrationLog : public QObject {
    Q_OBJECT

public:
    CalibrationLog(const QString &data_folder, QWidget *window, InstrumentRegister &instruments,
                   QObject *parent = nullptr);

    InstrumentRegister &instruments() { return instruments_; }
    // The certificates kept with the calibrations.
    CertificateActions &certificates() { return certificates_; }

    // history.dat read and indexed ahead of the first instrument shown, without a word: a
    // file that cannot be read is left for that first showing to report.
    void prepare();
    // The calibrations of the instrument with this number; none when the file cannot be
    // read (told).
    ShownHistory history_of(const std::string &instrument_no);
    // The stored result of the calibration the list shows as shown; nullopt when there is
    // none or the file cannot be read (told).
    std::optional<QString> result_of(const std::string &instrument_no, const QString &shown);
    // "&Update Result": a new calibration recorded with today's date (shown empty), or the
    // result of the one shown corrected, and the instrument saved with today as its last
    // calibration. True when recorded.
    bool record(const std::string &instrument_no, const QString &shown, const QString &result);
    // "&Remove Calibration": every record shown as the chosen entry removed, and the
    // certificates of a date no calibration keeps moved to the backup set. False when no
    // entry was chosen (told).
    bool remove(const std::string &instrument_no, const QString &shown);
    // The instruments falling due within the next horizon_months months, overdue ones
    // included.
    void list_due(int horizon_months);

signals:
    void working(const QString &caption);
    void idle();
    // A calibration was recorded on day; new_entry when it is a new one, not a correction.
    void calibrated(QDate day, bool new_entry);
    // What a completed change did, in a few words for the status bar.
    void done(const QString &news);

private:
    std::shared_ptr<const HistoryData> current(bool &read);

    QString data_folder_;
    QWidget *window_;
    InstrumentRegister &instruments_;
    KeptFile<HistoryData> kept_;
    DueDates due_dates_; // of the register last listed by due date
    CertificateActions certificates_;
};

} // namespace durnmoor
