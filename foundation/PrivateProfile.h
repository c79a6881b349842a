#pragma once
// Settings-file access for both programs, with the private-profile behaviour the forms rely
// on. Section, key and value are UTF-8 here and CP932 in the file; the file path is a UTF-8
// file-system path. Missing files, sections and keys read as 0 and "".

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Stateless; any instance reads and writes any INI file.
class CPrivateProfile {
  public:
    // Longest value a string read returns, in CP932 bytes.
    static constexpr std::size_t kValueLimit = 127;

    // The leading integer of the value ("12.5" gives 12, "abc" 0, missing 0).
    std::int32_t GetValueLong(std::string_view IniFile, std::string_view Section,
                              std::string_view Key) const;

    // The value up to its first NUL, limited to 127 bytes of its CP932 form. The cut never
    // splits a double-byte character: such a character is dropped whole.
    std::string GetValueString(std::string_view IniFile, std::string_view Section,
                               std::string_view Key) const;

    // The whole value, for texts that may be longer than 127 bytes (file paths).
    std::string GetValueStringUnlimited(std::string_view IniFile, std::string_view Section,
                                        std::string_view Key) const;

    // Writes the value (characters CP932 cannot hold become "?"); true on success.
    bool SetValueString(std::string_view IniFile, std::string_view Section, std::string_view Key,
                        std::string_view Value) const;

    // As SetValueString, but refuses (false, nothing written) when any of the texts has a
    // character CP932 cannot hold, for callers that must not store a "?"-corrupted value.
    bool SetValueStringExact(std::string_view IniFile, std::string_view Section,
                             std::string_view Key, std::string_view Value) const;

    // Removes the key; true also when it did not exist.
    bool DeleteValue(std::string_view IniFile, std::string_view Section,
                     std::string_view Key) const;
};

// The main program's own string reader: as CPrivateProfile::GetValueString (note the order).
std::string GetIniString(std::string_view Section, std::string_view Key, std::string_view IniFile);
