#pragma once
// A WordDocument written as an Office Open XML word-processing file (.docx), zipped with
// libzip.
//
// Units in the file: page sizes and margins in twips (points x 20; A4 is 11906 x 16838),
// font sizes in half-points, exact line spacing as points x 20, pictures as PNG in EMU
// (914400 per inch; a picture at 96 dpi is pixels x 9525). The base style kNormalStyleName
// is the file's default paragraph style.
//
// finish() writes the file as a new temporary file (foundation/TempFile.h, ending ".docx",
// mode 0600) and opens it through the WordDesktop seam, or, after setOutputPath(), replaces
// that file atomically and opens nothing.

#include <QByteArray>
#include <QHash>
#include <optional>
#include <string>
#include <vector>

#include "pagesetup/WordDocument.h"

namespace word {

class DocxDocument final : public WordDocument {
  public:
    // `desktop` opens the finished file (not owned; may be null when an output path is set).
    explicit DocxDocument(const WordDesktop* desktop);

    // Write finish() to this path instead of a temporary file, and open nothing.
    void setOutputPath(const QString& path) { m_outputPath = path; }
    // The path finish() wrote last; empty before.
    const QString& writtenPath() const { return m_writtenPath; }

    // The whole package; empty when libzip failed.
    QByteArray package() const;
    // The main part as it stands (word/document.xml), for tests.
    QByteArray documentXml() const;
    QByteArray stylesXml() const;

    void newDocument() override;
    void setViewType(int viewType) override;
    void setPageSetup(const PageSetup& setup) override;
    void insertSectionBreak() override;
    void insertPageBreak() override;
    bool setStyleFont(const QString& styleName, const StyleFont& font) override;
    bool applyStyle(const QString& styleName) override;
    void setAutoSpace(bool latin, bool digits) override;
    void setLineSpacingRule(LineSpacingRule rule) override;
    void setLineSpacing(double points) override;
    void setFontSize(double points) override;
    void setBold(bool on) override;
    void setUnderline(bool on) override;
    void setRaise(int points) override;
    void typeText(const QString& text) override;
    void newParagraph() override;
    bool insertInlinePicture(const QImage& picture, QSizeF size) override;
    bool insertFloatingPicture(const QImage& picture, QSizeF size, double left) override;
    bool finish() override;

  private:
    struct RunFormat {
        std::optional<double> size;
        bool bold = false;
        bool underline = false;
        int raise = 0;
        friend bool operator==(const RunFormat&, const RunFormat&) = default;
    };
    struct ParagraphFormat {
        bool autoSpaceLatin = true;
        bool autoSpaceDigits = true;
        std::optional<LineSpacingRule> rule;
        double spacing = 12;  // points; what single spacing reads as
        bool styled = false;  // the base style applied explicitly
    };

    void flushRun();
    void closeParagraph(bool endsSection);
    QString runProperties(const RunFormat& format) const;
    QString paragraphProperties(bool endsSection) const;
    QString sectionProperties() const;
    // Stores the picture as PNG; its relationship id, or empty when it cannot be encoded.
    QString addPicture(const QImage& picture);
    QString drawing(const QString& relId, QSizeF size, std::optional<double> floatingLeft);

    // state
    const WordDesktop* m_desktop;
    QString m_outputPath;
    QString m_writtenPath;
    int m_viewType = 0;
    std::optional<StyleFont> m_styleFont;
    PageSetup m_section;
    ParagraphFormat m_paragraph;
    RunFormat m_format;
    RunFormat m_runFormat;
    QString m_runText;  // typed in m_runFormat, not yet a run
    QString m_paragraphContent;
    QByteArray m_body;                // finished paragraphs, UTF-8
    std::vector<QByteArray> m_media;  // PNG files, word/media/image<n>.png
    // QImage::cacheKey of each picture stored -> its relationship
    QHash<qint64, QString> m_mediaIds;
    int m_drawingCount = 0;
};

// A text as WordprocessingML run content: runs of <w:t xml:space="preserve">, a TAB as
// <w:tab/>, a form feed as a page break; other characters that XML cannot hold are dropped.
QString RunContent(const QString& text);

}  // namespace word
