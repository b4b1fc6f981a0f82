#include "app/status_line.h"

#include <QLabel>
#include <QStatusBar>

namespace durnmoor {

StatusLine::StatusLine(QStatusBar *bar)
    : QObject(bar), bar_(bar), hint_(new QLabel(QString::fromLatin1(empty_register_hint), bar))
{
    hint_->setObjectName(QStringLiteral("emptyRegisterHint"));
    // A normal widget of the bar: news covers it while it lasts, then it shows again.
    bar_->addWidget(hint_, 1);
    hint_->hide();
}

void StatusLine::tell(const QString &news)
{
    bar_->showMessage(news, news_ms);
}

void StatusLine::set_register_empty(bool empty)
{
    hint_->setVisible(empty);
}

QString StatusLine::shown() const
{
    if (!bar_->currentMessage().isEmpty())
        return bar_->currentMessage();
    return hint_->isVisibleTo(bar_) ? hint_->text() : QString();
}

} // namespace durnmoor
