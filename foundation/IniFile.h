#pragma once
// Sectioned settings files ("[Section]" lines followed by "Key=Value" lines) over CP932 bytes,
// with the semantics of the Windows private-profile functions. Everything Windows-specific
// about INI files lives here; callers see sections, keys and values only.
//
// Reading: section and key names compare case-insensitively (ASCII letters only, double-byte
// characters exactly); the first matching section and the first matching key in it win;
// blanks (space, tab) around names and values are dropped; one pair of double quotes around
// a value is removed; lines starting with ";" are comments; LF and CR LF both end a line.
// A line that is neither a section header nor "key=value" is ignored.
//
// Writing: the first matching key line is replaced in place, every other byte of the file
// stays as it was; a missing key is added after the last non-blank line of its section, a
// missing section at the end of the file. New lines end with CR LF. The file is replaced
// atomically (a temporary file in the same folder, renamed over the target) and keeps its
// permission bits; a symbolic link is written through to its target (a dangling one is
// refused). Reading never creates a file. Files above kMaxIniFileBytes are refused: reads
// give the defaults, writes fail.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/SafeFile.h"

namespace ini {

inline constexpr std::size_t kMaxIniFileBytes = 16u * 1024u * 1024u;

// One INI text in memory. Names and values are CP932 bytes.
class IniDocument {
  public:
    IniDocument() = default;
    explicit IniDocument(std::string bytes);

    const std::string& bytes() const { return m_bytes; }

    // The value of the first matching key of the first matching section; nullopt when
    // either is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets a value as the profile write does. False (nothing changed) when a name is empty
    // or a name or the value could not be read back as written: line ends or NUL anywhere,
    // "]" in a section name, "=" in a key, a key starting with "[" or ";".
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes the first matching key line; false when there is none.
    bool removeKey(std::string_view section, std::string_view key);

    // Removes the first matching section: its header and every line up to the next header.
    bool removeSection(std::string_view section);

  private:
    struct Line {
        enum class Kind { Other, Section, Key };
        std::size_t begin = 0;  // first byte of the line
        std::size_t end = 0;    // end of its text (before CR LF / LF)
        std::size_t next = 0;   // first byte of the next line
        Kind kind = Kind::Other;
        std::size_t nameBegin = 0, nameSize = 0;    // section or key name
        std::size_t valueBegin = 0, valueSize = 0;  // key value, quotes removed
        bool blank = false;
    };

    void parse();
    std::string_view name(const Line& line) const;
    // Index of the first matching section header, or lines().size().
    std::size_t findSection(std::string_view section) const;
    std::size_t sectionEnd(std::size_t header) const;
    std::size_t findKey(std::size_t header, std::string_view key) const;

    std::string m_bytes;
    std::vector<Line> m_lines;
};

// GetPrivateProfileInt's reading of a value: leading blanks, an optional "-", then the
// leading decimal digits ("12.5" gives 12, "abc" gives 0); an empty value gives
// `defaultValue`. Clamped to the 32-bit range.
int parseProfileInt(std::string_view value, int defaultValue);

// A settings file on disk. Reads share one parsed copy per path for the whole process: the
// file is read again only when it is no longer the one read (its device, inode, size or
// times differ, as after any write, ours or another program's). A file changed within
// 50 ms of its read is read again at the next use, since a change that quick may keep
// the same times. A write reads the file afresh under its lock and keeps what it wrote.
class IniFile {
  public:
    explicit IniFile(std::string path) : m_path(std::move(path)) {}

    const std::string& path() const { return m_path; }

    // nullopt when the file, the section or the key is missing or the file is unreadable.
    std::optional<std::string> readString(std::string_view section, std::string_view key) const;
    int readInt(std::string_view section, std::string_view key, int defaultValue) const;

    // False when the file cannot be read or replaced, or the names or value are refused
    // (see IniDocument::setValue); the file is then unchanged.
    bool writeString(std::string_view section, std::string_view key, std::string_view value);
    // True when the key or section is gone afterwards (also when it never existed; a missing
    // file is not created).
    bool deleteKey(std::string_view section, std::string_view key);
    bool deleteSection(std::string_view section);

  private:
    std::string m_path;
};

// Replaces a settings file by `bytes` atomically (as the writes above) and keeps them as its
// parsed copy; for a caller that edits many keys in one document.
safefile::Outcome replaceIniFile(const std::string& path, std::string bytes);

// Files read from disk by IniFile so far in this process (the cached reads not counted).
std::size_t fileReadCount();

}  // namespace ini
