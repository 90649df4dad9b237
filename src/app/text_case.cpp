#include "app/text_case.h"

#include <QString>

namespace parcelo {

std::string lowerCase(const std::string& text)
{
    return QString::fromStdString(text).toLower().toStdString();
}

} // namespace parcelo
