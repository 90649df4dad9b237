#pragma once

#include <string>
#include <utility>

namespace parcelo {

// One attribute of a tag: a name and a value, both held exactly as read or assigned.
class CXmlAttribute {
public:
    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Value() const { return value_; }
    void SetValue(std::string value) { value_ = std::move(value); }

    // name="value" with nothing escaped; in single quotes when only those keep the value whole.
    std::string Serialize() const;

private:
    std::string name_;
    std::string value_;
};

} // namespace parcelo
