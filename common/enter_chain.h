#pragma once

#include <QHash>
#include <QObject>

class QWidget;

namespace durnmoor {

// Enter moves the focus from a field to the next one of a fixed chain, so that a record can
// be typed without the mouse. One table for all the fields of a tab: link() adds a row.
// Enter in a field without a row does nothing, and so does Enter towards a field that
// cannot take the focus now (disabled or hidden).
class EnterChain : public QObject {
    Q_OBJECT

public:
    explicit EnterChain(QObject *parent) : QObject(parent) {}
    void link(QWidget *from, QWidget *to);

signals:
    // Enter in a field of the chain, before the focus moves on.
    void entered(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QHash<QObject *, QWidget *> next_;
};

} // namespace durnmoor
