#pragma once

#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

#include <string>

class QWidget;

namespace durnmoor {

class AccessControl;

// The certificates kept with the calibrations, as the history tab works on them: listing,
// attaching (copied on a thread, with progress once a copy takes a while), opening and
// removing into the session's backup set. Every change needs the edit right, checked here
// whatever the buttons say, and is recorded in the audit trail.
class CertificateActions : public QObject {
    Q_OBJECT

public:
    CertificateActions(const QString &data_folder, QWidget *window, AccessControl &access,
                       QObject *parent = nullptr);

    QStringList list(const std::string &number, QDate day) const;
    // "&Attach Certificate…": the files chosen copied to the calibration of day. True when
    // any was attached.
    bool attach(const std::string &number, QDate day);
    // Opens one in the desktop's viewer; a viewer that cannot be found is told.
    void open(const std::string &number, QDate day, const QString &name);
    // "Remove Certificate", once the user agrees. True when it was moved to the backup set.
    bool remove(const std::string &number, QDate day, const QString &name);
    // Every certificate of a calibration date that is no longer in the history, without a
    // question: the calibration's removal was the question.
    void remove_all(const std::string &number, QDate day);

signals:
    // The certificates of this calibration date have changed.
    void changed(const std::string &number, QDate day);

private:
    bool allowed() const;
    bool take_away(const std::string &number, QDate day, const QString &name);

    QString data_folder_;
    QWidget *window_;
    AccessControl &access_;
};

} // namespace durnmoor
