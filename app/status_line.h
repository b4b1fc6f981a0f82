#pragma once

#include <QObject>
#include <QString>

class QLabel;
class QStatusBar;

namespace durnmoor {

inline constexpr char empty_register_hint[] =
    "The register is empty: choose \"Add New Product\" on \"Product Listing\" to add the "
    "first instrument.";

// The main window's status bar: what a change did, for a few seconds, so that a form going
// blank reads as done rather than lost; and, while the register holds no instrument, where
// to begin.
class StatusLine : public QObject {
    Q_OBJECT

public:
    static constexpr int news_ms = 6000;

    explicit StatusLine(QStatusBar *bar);

    void tell(const QString &news);
    void set_register_empty(bool empty);

    // What the bar shows now: the news while it lasts, else the hint when there is one.
    QString shown() const;

private:
    QStatusBar *bar_;
    QLabel *hint_;
};

} // namespace durnmoor
