#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <string>

namespace durnmoor {

class SessionBackup;

// The folder in the data folder that holds the certificates: one folder per instrument,
// one per calibration date inside it ("certificates/N-1/2026-12-05/report.pdf").
inline constexpr char certificates_folder_name[] = "certificates";
// A copy is written under this prefix and its own name, and takes its own name once
// complete: a copy cut short never looks like a certificate.
inline constexpr char attaching_prefix[] = ".attaching-";

// The instrument number as a folder name, from the bytes of the record. Characters a file
// system refuses, control characters and leading dots are replaced by "_", a name too long
// is cut; a name that had to be changed gets "~" and a short hash of the number's bytes, so
// that two numbers that differ never share a folder.
QString certificate_folder_name(const std::string &number);
// certificates/<instrument>/<yyyy-mm-dd> in the data folder.
QString certificate_folder(const QString &data_dir, const std::string &number, QDate day);

// The certificates of one calibration date, by file name, in name order.
QStringList certificates_of(const QString &data_dir, const std::string &number, QDate day);
// Every certificate of an instrument, over all its calibration dates.
int certificate_count(const QString &data_dir, const std::string &number);

// name, or name with " (2)", " (3)" … before its suffix, whichever dir does not hold yet.
QString free_name(const QString &dir, const QString &name);

// What became of attaching or removing one certificate. name is the name it took (or had);
// when ok is false, reason says why and nothing was left behind.
struct CertificateOutcome {
    bool ok = true;
    QString name;
    QString reason;
    std::string sha256; // hex, of the bytes copied or moved
    bool cancelled = false;
};

// Told, from time to time, how many bytes of how many are copied.
using CopyProgress = std::function<void(qint64 done, qint64 total)>;

// Copies the file at source into the calibration's folder under its own file name (or a
// free one), through a temporary name, flushed to the disk before it takes its name. A copy
// that fails, or is stopped by cancel, leaves nothing behind.
CertificateOutcome attach_certificate(const QString &data_dir, const std::string &number, QDate day,
                                      const QString &source, const CopyProgress &progress = {},
                                      const std::atomic<bool> *cancel = nullptr);

// Moves a certificate into the session's backup set (made first if the session has none),
// to certificates/<instrument>/<yyyy-mm-dd>/ inside it. Nothing is ever deleted outright.
CertificateOutcome move_certificate_to_backup(SessionBackup &backup, const QString &data_dir,
                                              const std::string &number, QDate day,
                                              const QString &name);

} // namespace durnmoor
