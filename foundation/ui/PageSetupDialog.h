#pragma once
// The page-setup dialog behind a set of properties and one Show call, for both programs:
// margins and minimum margins go in and come back, the chosen printer's settings come back.
// The dialog is Qt's QPageSetupDialog over a QPrinter that starts from the default printer.
//
// Units: the margins are in 1/100 mm when Flags holds PSD_INHUNDREDTHSOFMILLIMETERS, in 1/1000
// inch when it holds PSD_INTHOUSANDTHSOFINCHES, otherwise in the unit of the locale's
// measurement system (metric: 1/100 mm). PaperWidth and PaperLength are tenths of a
// millimetre, of the paper as it stands upright (they do not swap with the orientation).
//
// Flags: before use Flags is masked with 0x5FFF (hook and template bits are never passed on).
// PSD_MARGINS starts the dialog from the Margin* values, PSD_MINMARGINS holds the margins at
// or above the MarginMin* values; the other bits select features of the system dialog that
// Qt's dialog does not offer (disabling parts of it, the help button, returning the default
// printer without a dialog) and have no effect here.
//
// After a confirmed dialog: Orientation is 1 portrait or 2 landscape; Duplex 1 simplex, 2 long
// edge, 3 short edge; PrintQuality and YResolution the resolution in dpi; PrintScale 100;
// TTOption 0 (no TrueType option on this platform); Color and Collate as chosen; DeviceName
// the printer's whole name ("" when printing to a file); Copies never changes.

#include <QString>
#include <cstdint>

#include "foundation/ui/UiServices.h"

class QWidget;

// Option bits of Flags.
constexpr std::int32_t PSD_DEFAULTMINMARGINS = 0x0;
constexpr std::int32_t PSD_MINMARGINS = 0x1;
constexpr std::int32_t PSD_MARGINS = 0x2;
constexpr std::int32_t PSD_INTHOUSANDTHSOFINCHES = 0x4;
constexpr std::int32_t PSD_INHUNDREDTHSOFMILLIMETERS = 0x8;
constexpr std::int32_t PSD_DISABLEMARGINS = 0x10;
constexpr std::int32_t PSD_DISABLEPRINTER = 0x20;
constexpr std::int32_t PSD_NOWARNING = 0x80;
constexpr std::int32_t PSD_DISABLEORIENTATION = 0x100;
constexpr std::int32_t PSD_DISABLEPAPER = 0x200;
constexpr std::int32_t PSD_RETURNDEFAULT = 0x400;
constexpr std::int32_t PSD_SHOWHELP = 0x800;
// The bits Show keeps; the others are always cleared.
constexpr std::int32_t PSD_PASSED_MASK = 0x5FFF;

class CPageSetupDialog {
  public:
    explicit CPageSetupDialog(UiServices& ui) : m_ui(ui) {}

    bool Collate() const { return m_collate; }
    void setCollate(bool v) { m_collate = v; }
    bool Color() const { return m_color; }
    void setColor(bool v) { m_color = v; }
    std::int16_t Copies() const { return m_copies; }
    void setCopies(std::int16_t v) { m_copies = v; }
    QString DeviceName() const { return m_deviceName; }
    std::int32_t Duplex() const { return m_duplex; }
    void setDuplex(std::int32_t v) { m_duplex = v; }
    std::int32_t Flags() const { return m_flags; }
    void setFlags(std::int32_t v) { m_flags = v; }
    QWidget* hWndParent() const { return m_parent; }
    void sethWndParent(QWidget* v) { m_parent = v; }
    std::int32_t MarginBottom() const { return m_margins[kBottom]; }
    void setMarginBottom(std::int32_t v) { m_margins[kBottom] = v; }
    std::int32_t MarginLeft() const { return m_margins[kLeft]; }
    void setMarginLeft(std::int32_t v) { m_margins[kLeft] = v; }
    std::int32_t MarginRight() const { return m_margins[kRight]; }
    void setMarginRight(std::int32_t v) { m_margins[kRight] = v; }
    std::int32_t MarginTop() const { return m_margins[kTop]; }
    void setMarginTop(std::int32_t v) { m_margins[kTop] = v; }
    std::int32_t MarginMinBottom() const { return m_minMargins[kBottom]; }
    void setMarginMinBottom(std::int32_t v) { m_minMargins[kBottom] = v; }
    std::int32_t MarginMinLeft() const { return m_minMargins[kLeft]; }
    void setMarginMinLeft(std::int32_t v) { m_minMargins[kLeft] = v; }
    std::int32_t MarginMinRight() const { return m_minMargins[kRight]; }
    void setMarginMinRight(std::int32_t v) { m_minMargins[kRight] = v; }
    std::int32_t MarginMinTop() const { return m_minMargins[kTop]; }
    void setMarginMinTop(std::int32_t v) { m_minMargins[kTop] = v; }
    std::int32_t Orientation() const { return m_orientation; }
    void setOrientation(std::int32_t v) { m_orientation = v; }
    std::int32_t PaperLength() const { return m_paperLength; }
    void setPaperLength(std::int32_t v) { m_paperLength = v; }
    std::int32_t PaperWidth() const { return m_paperWidth; }
    void setPaperWidth(std::int32_t v) { m_paperWidth = v; }
    std::int32_t PrintQuality() const { return m_printQuality; }
    void setPrintQuality(std::int32_t v) { m_printQuality = v; }
    std::int32_t PrintScale() const { return m_printScale; }
    void setPrintScale(std::int32_t v) { m_printScale = v; }
    std::int32_t TTOption() const { return m_ttOption; }
    void setTTOption(std::int32_t v) { m_ttOption = v; }
    std::int32_t YResolution() const { return m_yResolution; }
    void setYResolution(std::int32_t v) { m_yResolution = v; }

    // Shows the dialog modally; true when the user confirmed it. Cancelled: false and nothing
    // changes. An error shows the message "Error: <number>. <description>" titled "Show".
    bool Show();

  private:
    enum Side { kLeft, kTop, kRight, kBottom };

    bool run();

    UiServices& m_ui;
    bool m_collate = false;
    bool m_color = false;
    std::int16_t m_copies = 0;
    QString m_deviceName;
    std::int32_t m_duplex = 0;
    std::int32_t m_flags = 0;
    QWidget* m_parent = nullptr;
    std::int32_t m_margins[4] = {0, 0, 0, 0};
    std::int32_t m_minMargins[4] = {0, 0, 0, 0};
    std::int32_t m_orientation = 0;
    std::int32_t m_paperLength = 0;
    std::int32_t m_paperWidth = 0;
    std::int32_t m_printQuality = 0;
    std::int32_t m_printScale = 0;
    std::int32_t m_ttOption = 0;
    std::int32_t m_yResolution = 0;
};
