#include "text/screen_text.h"

#include <QByteArrayView>

namespace durnmoor {

QString screen_text(std::string_view line)
{
    return QString::fromLocal8Bit(QByteArrayView(line.data(), static_cast<qsizetype>(line.size())));
}

std::string without_outer_blanks(std::string_view field)
{
    const auto begin = field.find_first_not_of(' ');
    if (begin == std::string_view::npos)
        return {};
    return std::string(field.substr(begin, field.find_last_not_of(' ') - begin + 1));
}

} // namespace durnmoor
