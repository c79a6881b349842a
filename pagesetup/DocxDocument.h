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
// that file atomically and opens nothing. A finished paragraph is written as XML at once
// (QXmlStreamWriter) and only its XML is kept, which is zipped as it is: memory grows with
// the document's XML, not with a model of it.

#include <QByteArray>
#include <QHash>
#include <QSizeF>
#include <optional>
#include <string>
#include <vector>

#include "pagesetup/WordDocument.h"

class QXmlStreamWriter;

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
    // A picture of a run: its relationship id, size in points and drawing id; floating ones
    // with their left offset in points.
    struct Drawing {
        QString relId;
        QSizeF size;
        int id = 0;
        std::optional<double> floatingLeft;
    };
    // A run: text (TAB and form feed in it; only characters XML can hold), or one picture.
    struct Run {
        RunFormat format;
        QString text;
        std::optional<Drawing> drawing;
    };
    void flushRun();
    void closeParagraph(bool endsSection);
    // A paragraph, closing the section of `endsSection` when given; `openText` is typed in
    // `openFormat` after the runs.
    static void WriteParagraph(QXmlStreamWriter& xml, const ParagraphFormat& format,
                               const std::optional<PageSetup>& endsSection,
                               const std::vector<Run>& runs, const QString& openText,
                               const RunFormat& openFormat);
    // The main part in three pieces: up to <w:body>, the finished paragraphs, the rest.
    QByteArray documentHead() const;
    QByteArray documentTail() const;
    bool insertPicture(const QImage& picture, QSizeF size, std::optional<double> floatingLeft);
    // Stores the picture as PNG; its relationship id, or empty when it cannot be encoded.
    QString addPicture(const QImage& picture);

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
    QString m_runText;                // typed in m_runFormat, not yet a run
    std::vector<Run> m_runs;          // of the open paragraph
    QByteArray m_body;                // the finished paragraphs, XML
    std::vector<QByteArray> m_media;  // PNG files, word/media/image<n>.png
    // QImage::cacheKey of each picture stored -> its relationship
    QHash<qint64, QString> m_mediaIds;
    int m_drawingCount = 0;
};

}  // namespace word
