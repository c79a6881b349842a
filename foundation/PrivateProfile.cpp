#include "foundation/PrivateProfile.h"

#include "foundation/Cp932.h"
#include "foundation/IniFile.h"

namespace {

std::optional<std::string> readRaw(std::string_view iniFile, std::string_view section,
                                   std::string_view key) {
    return ini::IniFile(std::string(iniFile))
        .readString(cp932::fromUtf8(section), cp932::fromUtf8(key));
}

// The CP932 value as the 128-byte read buffer returns it: up to the first NUL, at most 127
// bytes, cut before a double-byte character that would not fit whole.
std::string limitedValue(std::string_view raw) {
    raw = raw.substr(0, raw.find('\0'));
    return cp932::toUtf8(cp932::cutAtBoundary(raw, CPrivateProfile::kValueLimit));
}

}  // namespace

std::int32_t CPrivateProfile::GetValueLong(std::string_view IniFile, std::string_view Section,
                                           std::string_view Key) const {
    const auto raw = readRaw(IniFile, Section, Key);
    return raw ? ini::parseProfileInt(*raw, 0) : 0;
}

std::string CPrivateProfile::GetValueString(std::string_view IniFile, std::string_view Section,
                                            std::string_view Key) const {
    const auto raw = readRaw(IniFile, Section, Key);
    return raw ? limitedValue(*raw) : std::string();
}

std::string CPrivateProfile::GetValueStringUnlimited(std::string_view IniFile,
                                                     std::string_view Section,
                                                     std::string_view Key) const {
    const auto raw = readRaw(IniFile, Section, Key);
    if (!raw) return {};
    return cp932::toUtf8(std::string_view(*raw).substr(0, raw->find('\0')));
}

bool CPrivateProfile::SetValueString(std::string_view IniFile, std::string_view Section,
                                     std::string_view Key, std::string_view Value) const {
    return ini::IniFile(std::string(IniFile))
        .writeString(cp932::fromUtf8(Section), cp932::fromUtf8(Key), cp932::fromUtf8(Value));
}

bool CPrivateProfile::SetValueStringExact(std::string_view IniFile, std::string_view Section,
                                          std::string_view Key, std::string_view Value) const {
    if (!cp932::canEncode(Section) || !cp932::canEncode(Key) || !cp932::canEncode(Value)) {
        return false;
    }
    return SetValueString(IniFile, Section, Key, Value);
}

bool CPrivateProfile::DeleteValue(std::string_view IniFile, std::string_view Section,
                                  std::string_view Key) const {
    return ini::IniFile(std::string(IniFile))
        .deleteKey(cp932::fromUtf8(Section), cp932::fromUtf8(Key));
}

std::string GetIniString(std::string_view Section, std::string_view Key, std::string_view IniFile) {
    return CPrivateProfile().GetValueString(IniFile, Section, Key);
}
