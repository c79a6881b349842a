#pragma once
// The report writer: template sections of Mibrox.fmt turned into lines of a print file, the
// line prefixes with their heading numbers and outline marks, the 62-line page accounting and
// the temporary files of one build of the print files.
//
// Texts: template lines and everything written are CP932 bytes; values and heading numbers
// are UTF-8 and converted on the way in. Positions and widths in a template line count CP932
// bytes (a double-byte character takes two).
//
// Mibrox.fmt: a section starts at the line equal to its name and ends at the next line
// "End". Inside, a line starting with "'" is a comment; every other line is a template line:
// characters 1-3 the line number 1..50, character 4 unread, character 5 the line code 0-9,
// the rest the template text. Example:
//   矢板壁の計算
//     1 1計算条件
//     5 0天端高　　　　　　　　　　Ｈ　＝ +##0.000 m
//   End
//
// Fields in a template text: a number field is a run starting at "#" (or "+#", "\#") over
// "#", ",", ".", "0"; a text field runs from "&" to the next ">" (a lone "!" is a one-byte
// text field when no "&" follows). Numbers are right-aligned and filled with "*" when they
// do not fit; texts of a longer field are left-aligned, of the two-byte field "&>"
// right-aligned, cut at a character boundary and padded with blanks.
//
// Errors: the routines that can fail throw ReportError (a missing file or section, a bad
// template line, a 21st field, a line code without a numbering level, a write error); the
// report functions of Reports.h catch it.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formats/ReportError.h"
#include "foundation/NumberFormat.h"
#include "foundation/OneBased.h"
#include "foundation/TempFile.h"

inline constexpr int kTemplateLines = 50;
inline constexpr int kFieldsPerLine = 20;
inline constexpr int kLinesPerPage = 62;
inline constexpr std::size_t kMaxPrintFiles = 100;  // names per list and print session
inline constexpr const char* kFormatFileName = "Mibrox.fmt";

// The values that fill one template line, entries 1..20 in the order the fields stand.
using NumberValues = OneBased<double, kFieldsPerLine>;
using TextValues = OneBased<std::string, kFieldsPerLine>;  // UTF-8

// One template section: line codes and texts (CP932) by template line number 1..50.
struct ReportTemplate {
    OneBased<int, kTemplateLines> codes;
    OneBased<std::string, kTemplateLines> texts;
};

// Reads `section` (UTF-8 name) of the format file into `out`, cleared first; returns the
// number of template lines read. Throws ReportError when the file cannot be read, the
// section or its "End" is missing, or a line number is outside 1..50 or a code not a digit.
int LoadReportTemplate(const std::string& formatFilePath, std::string_view section,
                       ReportTemplate& out);
int ParseReportTemplate(std::string_view fileBytes, std::string_view section, ReportTemplate& out);

// A field found in a template line: 0-based first byte, width in bytes, picture.
struct FieldLocation {
    std::size_t start = 0;
    std::size_t length = 0;
    std::string picture;  // number fields: the run itself; text fields: "@@" or "!@@..."
    bool operator==(const FieldLocation&) const = default;
};

// The number fields of a template line, in order. The search never takes the trail byte of a
// double-byte character for the "\" of "\#". Throws ReportError for a 21st field.
std::vector<FieldLocation> FindNumberFields(std::string_view sjis);
// The text fields of a template line, in order. Throws ReportError for a 21st field.
std::vector<FieldLocation> FindTextFields(std::string_view sjis);

// A number in a picture, exactly the picture's width: "+" pictures sign zero and positive
// values, "\" pictures print a "\" before the number; right-aligned; "*" over the whole
// width when the number is wider than its picture. Non-finite values throw ReportError.
std::string FormatNumberField(double value, std::string_view picture);

// The CP932 form of a text that comes from the user or an input file, made safe to write
// into a print file, whose language has no escape: form feeds, CR and LF become blanks, and
// every "?" (typed, or put by the encoder for a character CP932 cannot hold) becomes the
// full-width "？" (0x81 0x48), so that no part of the text starts a command. Every other
// character stays as typed. Example: "A?R1" gives "A？R1".
std::string PrintFileText(std::string_view utf8);

// A text (UTF-8) in a text field, as CP932 bytes of exactly the field's width: the
// PrintFileText form, cut at a character boundary and padded.
std::string FormatTextField(std::string_view utf8, const FieldLocation& field);

// The template line with its number fields and then its text fields filled.
std::string FillTemplateLine(std::string_view sjis, const NumberValues& numbers,
                             const TextValues& texts);

// A template line with its fields located and its number pictures parsed once, for lines
// filled many times (table rows). fill() gives what FillTemplateLine gives.
class CompiledTemplateLine {
  public:
    // Throws ReportError as FindNumberFields and FindTextFields do.
    explicit CompiledTemplateLine(std::string_view sjis);
    std::string fill(const NumberValues& numbers, const TextValues& texts) const;

  private:
    std::string m_text;
    std::vector<FieldLocation> m_numberFields, m_textFields;
    std::vector<NumberPattern> m_patterns;  // one per number field
};

// Heading number of one level in a style 1..9 (UTF-8): 1 "n", 2 "(n)", 3 "n)", 4 "(a)",
// 5 "a)", 6 "(i)", 7 "i)", 8 "①".."⑳", 9 "･". Empty for a counter below 1 or another
// style. Wraps the counter to 1 (and stores it) at 100 for styles 1-3, above 26 for 4-5,
// above 10 for 6-7, above 20 for 8.
std::string FormatNumberingStyle(int style, int& counter);

// The Chapter section of Mibrox.ini as the print menu reads it for each build.
struct NumberingSettings {
    int Method = 0;               // 0 none, 1 each level its own, 2 joined by "-", 3 by "."
    std::array<int, 4> Style{};   // Style1..Style4
    std::array<int, 4> Margin{};  // Margin1..Margin4, half-width blanks, clamped to 0..10
};
// Missing keys read as 0; a missing or unreadable file gives the defaults.
NumberingSettings ReadNumberingSettings(const std::string& iniPath);

// Page chunks of a table: how many rows go on each page. The first chunk has room for
// `firstRoom` rows, each later one for `laterRoom`; a chunk takes all remaining rows when
// they are at most room + 2. Rooms below 1 count as 1. Example: 30 rows, rooms 14 and 15
// give {14, 16}.
std::vector<int> SplitIntoChunks(int rows, int firstRoom, int laterRoom);

// The writer of one print session (owned by PrintSession): numbering state, page accounting
// and the report file being appended to. Lines go to a buffer that CloseReport (and the
// destructor) write to the file.
class ReportWriter {
  public:
    explicit ReportWriter(TempNameList& reportFiles) : m_reportFiles(reportFiles) {}
    ~ReportWriter();
    ReportWriter(const ReportWriter&) = delete;
    ReportWriter& operator=(const ReportWriter&) = delete;

    // Starts a build of the print files: current level 1, counters 0, numbering settings.
    void BeginBuild(const NumberingSettings& settings);

    // A new empty temporary report file, appended to the report file list. Throws
    // ReportError beyond 100 names (refused before a file is made) or when none can be made.
    std::string NewReportFileName();

    // The report file the writers append to.
    void SetCurrentReportFile(std::string path) { m_currentReportFile = std::move(path); }
    const std::string& CurrentReportFile() const { return m_currentReportFile; }

    // Opens CurrentReportFile for appending (throws ReportError when it cannot be opened);
    // CloseReport writes the buffered lines and closes it (throws on a write error).
    void OpenReport();
    void CloseReport();
    bool IsOpen() const { return m_fd >= 0; }

    // Writes the prefix of a line code (margin, "?R1"/"?R2", heading number) and counts one
    // line. Throws ReportError for a code above 5 while numbering is on.
    void PrintLinePrefix(int code);
    // Prefix, the filled template line and CR LF.
    void PrintTemplateLine(int code, std::string_view sjis, const NumberValues& numbers,
                           const TextValues& texts);
    // Prefix, the template text unchanged and CR LF.
    void PrintLiteralLine(int code, std::string_view sjis);
    // CP932 bytes without counting a line (the rest of a line after its prefix).
    void WriteText(std::string_view sjis);
    // CR LF.
    void EndLine();
    // n empty lines, each counted.
    void PrintBlankLines(int n);
    // A form feed (no line end) unless the page is still empty when fewer than `needed`
    // lines are left; otherwise `blanks` empty lines.
    void NewPageIfNoRoom(int needed, int blanks);
    // A form feed without a line end; the line count restarts. Nothing on an empty page.
    void FormFeed();
    // Opens CurrentReportFile, appends a form feed and closes it; false on any error.
    bool AppendFormFeed();

    // Counts the level's heading and returns its number text followed by a blank.
    std::string NextHeadingNumber(int level);

    // Page accounting.
    int LinesPerPage = kLinesPerPage;
    int ReportLineCount = 0;

    int CurrentHeadingLevel() const { return m_currentLevel; }
    int HeadingCounter(int level) const { return m_counter(level); }

  private:
    void flush();

    // Settings
    TempNameList& m_reportFiles;
    int m_method = 0;
    OneBased<int, 5> m_style{};
    OneBased<int, 5> m_margin{};
    // State
    int m_currentLevel = 1;
    OneBased<int, 5> m_counter{};
    std::string m_currentReportFile;
    int m_fd = -1;
    std::string m_buffer;
    // Cache
    std::unordered_map<std::string, CompiledTemplateLine> m_compiledLines;
};

// Paths of the shipped data files a session reads.
struct ReportDataFiles {
    std::string FormatFilePath;    // Mibrox.fmt
    std::string LineStyleDefPath;  // LINE_PRN.DEF
    std::string TextStyleDefPath;  // STR_PRN.DEF
    // The three files in one folder (the program's folder).
    static ReportDataFiles InFolder(const std::string& folder);
};

// One print session: the report writer, the list of report files (conditions, results,
// combined) and the list of figure files, at most 100 names each. The print menu builds one
// per window; it deletes every listed file when it closes (RemoveAllFiles). The destructor
// deletes nothing.
class PrintSession {
  public:
    explicit PrintSession(ReportDataFiles files) : m_files(std::move(files)) {}
    PrintSession(const PrintSession&) = delete;
    PrintSession& operator=(const PrintSession&) = delete;

    const ReportDataFiles& files() const { return m_files; }
    ReportWriter& writer() { return m_writer; }

    TempNameList& ReportFileList() { return m_reportFiles; }
    TempNameList& FigureFileList() { return m_figureFiles; }

    // A new figure file name (data or list file). Throws ReportError beyond 100 names,
    // refused before a file is made.
    std::string NewFigureFileName();

    // Starts a build: deletes the files of an earlier build, empties both lists and sets
    // the numbering state.
    void BeginBuild(const NumberingSettings& settings);

    // Deletes every report and figure file of the session (failures ignored).
    void RemoveAllFiles();

  private:
    ReportDataFiles m_files;
    TempNameList m_reportFiles{kMaxPrintFiles};
    TempNameList m_figureFiles{kMaxPrintFiles};
    ReportWriter m_writer{m_reportFiles};
};
