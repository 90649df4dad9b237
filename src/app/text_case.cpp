#include "app/text_case.h"

#include <QString>

namespace parcelo {

std::string lowerCase(const std::string& text)
{
    return QString::fromStdString(text).toLower().toStdString();
}

int characterCount(const std::string& text)
{
    return static_cast<int>(QString::fromStdString(text).size());
}

} // namespace parcelo
