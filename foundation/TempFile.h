#pragma once
// New temporary files for the print files and their figure files.
//
// A name is "~QM" followed by eight upper-case hexadecimal digits and ".TMP", in $TMPDIR (when
// it names a folder) or /tmp. The file is created empty and exclusively, mode 0600, before
// the name is returned, so no other process can take or pre-plant it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The temporary folder without a trailing separator.
std::string TempFolder();

// Creates a new empty file and returns its full path; nullopt when no file can be made
// (the folder is missing or not writable, or 100 random names in a row were taken).
// `extension` replaces ".TMP" for files that a desktop program opens by their kind (".docx").
std::optional<std::string> MakeTempFileName(std::string_view extension = ".TMP");

// The names taken for one print session, at most `capacity` of them. take() refuses the
// name beyond the capacity before any file is created.
class TempNameList {
  public:
    explicit TempNameList(std::size_t capacity = 100) : m_capacity(capacity) {}

    std::optional<std::string> take();
    const std::vector<std::string>& names() const { return m_names; }
    std::size_t count() const { return m_names.size(); }
    std::size_t capacity() const { return m_capacity; }
    // Deletes every file taken so far and empties the list.
    void removeAll();

  private:
    std::size_t m_capacity;
    std::vector<std::string> m_names;
};
