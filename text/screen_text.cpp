#include "text/screen_text.h"

#include <QByteArrayView>

namespace durnmoor {

QString screen_text(std::string_view line)
{
    return QString::fromLocal8Bit(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
}

} // namespace durnmoor
