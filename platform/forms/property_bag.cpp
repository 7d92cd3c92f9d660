#include "platform/forms/property_bag.h"

#include "platform/forms/runtime_error.h"

namespace zem::forms {

bool SamePropertyValue(const PropertyValue& left, const PropertyValue& right) {
    if (left.index() != right.index()) return false;
    if (auto* font = std::get_if<FontRef>(&left)) {
        const FontRef& other = std::get<FontRef>(right);
        if (!*font || !other) return *font == other;
        return (*font)->SameAs(*other);
    }
    return left == right;
}

PropertyValue PropertyBag::ReadProperty(const std::string& name, PropertyValue defaultValue) const {
    auto found = values_.find(name);
    return found == values_.end() ? defaultValue : found->second;
}

namespace {
template <class T>
T Read(const std::map<std::string, PropertyValue>& values, const std::string& name, T defaultValue) {
    auto found = values.find(name);
    if (found == values.end()) return defaultValue;
    if (auto* value = std::get_if<T>(&found->second)) return *value;
    throw RuntimeError(errInvalidPropertyValue, "property " + name + " has another type");
}
}  // namespace

std::int32_t PropertyBag::ReadInt(const std::string& name, std::int32_t defaultValue) const {
    return Read(values_, name, defaultValue);
}
bool PropertyBag::ReadBool(const std::string& name, bool defaultValue) const {
    return Read(values_, name, defaultValue);
}
std::string PropertyBag::ReadString(const std::string& name, const std::string& defaultValue) const {
    return Read(values_, name, defaultValue);
}
FontRef PropertyBag::ReadFont(const std::string& name, const FontRef& defaultValue) const {
    FontRef font = Read(values_, name, defaultValue);
    return font ? font->Clone() : font;
}
PictureRef PropertyBag::ReadPicture(const std::string& name) const { return Read(values_, name, PictureRef{}); }

void PropertyBag::WriteProperty(const std::string& name, const PropertyValue& value, const PropertyValue& defaultValue) {
    if (!std::holds_alternative<std::monostate>(defaultValue) && SamePropertyValue(value, defaultValue)) {
        values_.erase(name);
        return;
    }
    if (auto* font = std::get_if<FontRef>(&value); font && *font) {
        values_[name] = (*font)->Clone();
        return;
    }
    values_[name] = value;
}

}  // namespace zem::forms
