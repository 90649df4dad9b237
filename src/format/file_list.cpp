#include "format/file_list.h"

#include "platform/bindings.h"

#include <cmath>
#include <cstdio>

namespace parcelo {

namespace {

constexpr double kKilo = 1024.0;
constexpr double kMega = 1024.0 * 1024.0;
constexpr double kGiga = 1024.0 * 1024.0 * 1024.0;

// At least one digit before the point and exactly two after it, halves away from zero.
std::string twoDecimals(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", std::round(value * 100.0) / 100.0);
    return text;
}

// The value rounded to a whole number; "" when that is 0.
std::string wholeOrEmpty(double value)
{
    const double whole = std::round(value);
    if (whole == 0.0)
        return {};
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", whole);
    return text;
}

// (value rounded to even) modulo 1024, keeping the sign of the dividend.
double moduloKilo(double value)
{
    return std::fmod(std::nearbyint(value), kKilo);
}

} // namespace

std::string formatListSize(double size, SizeUnit unit)
{
    switch (unit) {
    case SizeUnit::Bytes:
        return wholeOrEmpty(size) + "Bytes";
    case SizeUnit::Kilobytes:
    case SizeUnit::Lines:
        return twoDecimals(size / kKilo) + "KB";
    case SizeUnit::Megabytes:
        if (moduloKilo(size / kKilo) <= 0)
            return twoDecimals(size / kMega) + "MB";
        if (size / kMega < 1)
            return twoDecimals(size / kKilo) + "KB";
        return twoDecimals(size / kMega) + "MB";
    case SizeUnit::Gigabytes:
        if (moduloKilo(size / kMega) <= 0)
            return wholeOrEmpty(size / kGiga) + "GB";
        if (size / kMega < 1000)
            return twoDecimals(size / kMega) + "MB";
        return twoDecimals(size / kGiga) + "GB";
    }
    return {};
}

void AddFileToList(Binding* list, const std::string& name, double size, DisplayUnit& unit,
                   FileRowKind kind)
{
    FileListBinding* fileList = asFileList(list);
    if (fileList == nullptr)
        return;
    const int row = fileList->addRow(name, kind);
    if (!unit)
        unit = SizeUnit::Kilobytes;
    fileList->setRowSize(row, formatListSize(size, *unit));
    fileList->scrollToRow(row);
}

} // namespace parcelo
