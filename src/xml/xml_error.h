#pragma once

#include <cstddef>
#include <exception>
#include <string>

namespace parcelo {

// Error numbers raised by the XML document model. The model's own numbers sit on the base
// 0x80040000; the others are the classic run-time numbers of the list operations.
namespace xmlerr {
inline constexpr int kBase = -2147221504;               // 0x80040000
inline constexpr int kParse = kBase + 9;                // -2147221495
inline constexpr int kEmptyData = kBase + 13;           // -2147221491
inline constexpr int kDuplicateAttribute = kBase + 457; // -2147221047
inline constexpr int kInvalidArgument = 5;              // no item under that key
inline constexpr int kSubscriptOutOfRange = 9;          // no item at that position
inline constexpr int kObjectNotSet = 91;                // no object given
} // namespace xmlerr

// An error of the XML model: a number, the operation that raised it and a description;
// a parse error also tells where in the data it was met.
class XmlError : public std::exception {
public:
    XmlError(int number, std::string source, std::string description);

    int number() const noexcept { return number_; }
    const std::string& source() const noexcept { return source_; }
    const std::string& description() const noexcept { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

    // The line and column (each from 1; columns count bytes) of a parse error; 0 when the
    // error is not one of the data.
    std::size_t line() const noexcept { return line_; }
    std::size_t column() const noexcept { return column_; }
    void setPosition(std::size_t line, std::size_t column) noexcept
    {
        line_ = line;
        column_ = column;
    }

private:
    int number_;
    std::string source_;
    std::string description_;
    std::size_t line_ = 0;
    std::size_t column_ = 0;
};

// "Unexpected end of data" raised by the named parse step.
XmlError unexpectedEndOfData(const std::string& source);
// The list's failure for a position outside 1..count.
XmlError positionNotFound(const std::string& source);
// The list's failure for a key that is not there.
XmlError keyNotFound(const std::string& source);
// The failure for a missing object where one is needed.
XmlError objectNotSet(const std::string& source);

} // namespace parcelo
