#pragma once
// The word-processor document that the Word export drives: exactly the operations it uses,
// applied at the insertion point, which always stands at the end of the document.
//
// Units: points (1/72 inch) for lengths, font sizes and picture sizes; the paper is always A4.
// Text is typed as characters: a form feed in it is a page break, a TAB a tab, and any other
// control character is dropped by the document.
//
// Errors: the operations that can be refused return false and change nothing; the export
// treats a refusal as the end of its work (CWordReport). DocxDocument is the product; tests
// use a recording fake.

#include <QImage>
#include <QSizeF>
#include <QString>

namespace word {

// Millimetres to points and back, as a word processor converts them (single precision).
float MillimetersToPoints(float mm);
float PointsToMillimeters(float points);

// The page of one section: A4, the orientation and the four margins.
struct PageSetup {
    int orientation = 0;   // 0 portrait, 1 landscape
    double topMargin = 0;  // points
    double bottomMargin = 0;
    double leftMargin = 0;
    double rightMargin = 0;
    friend bool operator==(const PageSetup&, const PageSetup&) = default;
};

// The font settings of a paragraph style; everything not named here is plain (no bold,
// italic, underline or effects, automatic colour, spacing 0, scaling 100 %, kerning from 1 pt).
struct StyleFont {
    QString farEastName;  // Japanese characters
    QString asciiName;    // Latin letters and digits
    QString otherName;    // every other character
    double size = 10.5;   // points
    friend bool operator==(const StyleFont&, const StyleFont&) = default;
};

enum class LineSpacingRule { Single = 0, Exactly = 4 };

// The name under which the export addresses the document's base paragraph style.
inline const QString kNormalStyleName = QStringLiteral("標準");

class WordDocument {
  public:
    virtual ~WordDocument() = default;

    // Starts a new empty document with one section and one empty paragraph.
    virtual void newDocument() = 0;
    // 1 = the normal (draft) view.
    virtual void setViewType(int viewType) = 0;
    // The page of the section that holds the insertion point.
    virtual void setPageSetup(const PageSetup& setup) = 0;
    // Ends the section at the insertion point; the next one starts on a new page with a copy
    // of its page setup and takes the insertion point.
    virtual void insertSectionBreak() = 0;
    virtual void insertPageBreak() = 0;

    // Styles: only the base style kNormalStyleName is known; other names are refused.
    virtual bool setStyleFont(const QString& styleName, const StyleFont& font) = 0;
    virtual bool applyStyle(const QString& styleName) = 0;

    // Paragraph format of the paragraph at the insertion point; a new paragraph copies it.
    // Automatic extra space between Japanese text and Latin letters, and digits.
    virtual void setAutoSpace(bool latin, bool digits) = 0;
    virtual void setLineSpacingRule(LineSpacingRule rule) = 0;
    virtual void setLineSpacing(double points) = 0;

    // Character format of the text typed from now on.
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setUnderline(bool on) = 0;
    virtual void setRaise(int points) = 0;  // raised (or lowered when negative) position

    virtual void typeText(const QString& text) = 0;
    virtual void newParagraph() = 0;

    // Pictures of `size` points: in line with the text, or floating behind the text without
    // wrapping, its top at the top of the paragraph at the insertion point and its left
    // `left` points right of the column's left edge. False when the picture is empty or
    // cannot be stored.
    virtual bool insertInlinePicture(const QImage& picture, QSizeF size) = 0;
    virtual bool insertFloatingPicture(const QImage& picture, QSizeF size, double left) = 0;

    // Hands the document over (the product writes it and opens it); false when that failed.
    virtual bool finish() = 0;
};

// Whether the desktop has a program for word-processor documents, and opening one with it.
class WordDesktop {
  public:
    virtual ~WordDesktop() = default;
    virtual bool hasWordProcessor() const = 0;
    // Starts the desktop's program for the document and does not wait for it.
    virtual bool openDocument(const QString& path) const = 0;
};

// The product: asks xdg-mime for the default application of .docx files and opens with
// xdg-open.
class XdgWordDesktop final : public WordDesktop {
  public:
    bool hasWordProcessor() const override;
    bool openDocument(const QString& path) const override;
};

}  // namespace word
