// The property bag through which a user control saves and restores its
// properties: values keyed by name, written only when they differ from their
// defaults.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>

#include "platform/forms/picture.h"
#include "platform/forms/std_font.h"

namespace zem::forms {

using PropertyValue = std::variant<std::monostate, std::int32_t, bool, double, std::string, FontRef, PictureRef>;

bool SamePropertyValue(const PropertyValue& left, const PropertyValue& right);

class PropertyBag {
public:
    PropertyBag() = default;
    PropertyBag(std::initializer_list<std::pair<const std::string, PropertyValue>> values) : values_(values) {}

    // The stored value, or the default when the key is missing. Values are
    // taken as stored, without limits.
    PropertyValue ReadProperty(const std::string& name, PropertyValue defaultValue = {}) const;
    std::int32_t ReadInt(const std::string& name, std::int32_t defaultValue) const;
    bool ReadBool(const std::string& name, bool defaultValue) const;
    std::string ReadString(const std::string& name, const std::string& defaultValue) const;
    // Font objects are read as copies, so that two controls restored from one
    // bag never share a font by accident.
    FontRef ReadFont(const std::string& name, const FontRef& defaultValue) const;
    PictureRef ReadPicture(const std::string& name) const;

    // Stores the value; a value equal to its default is not written (and a
    // stale value under that key is dropped).
    void WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue = {});

    bool Contains(const std::string& name) const { return values_.count(name) != 0; }
    std::size_t Count() const { return values_.size(); }

private:
    std::map<std::string, PropertyValue> values_;
};

}  // namespace zem::forms
