// Fuzzes the Word export's reading of a print file: any bytes as the print file, typed into a
// .docx that is built in full and then refused by its target (not a regular file). The main
// part, word/document.xml, must be well-formed XML whatever the print file held.
#include <unistd.h>

#include <QXmlStreamReader>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "foundation/SafeFile.h"
#include "pagesetup/CWordReport.h"
#include "pagesetup/DocxDocument.h"

namespace {
class Desktop final : public word::WordDesktop {
  public:
    bool hasWordProcessor() const override { return true; }
    bool openDocument(const QString&) const override { return false; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = "/tmp/fuzz_word_export." + std::to_string(::getpid());
    if (!safefile::replaceFile(path, std::string_view(reinterpret_cast<const char*>(data), size))
             .ok())
        return 0;
    const Desktop desktop;
    word::DocxDocument document(&desktop);
    document.setOutputPath(QStringLiteral("/dev/null"));
    // Figures draw a small white bitmap whatever the list names.
    word::CWordReport report(document, desktop, nullptr,
                             {QStringLiteral("/nonexistent/Preview.ini"),
                              QStringLiteral("/nonexistent"), QStringLiteral("/nonexistent")},
                             [](const QString&, const QString&, const word::FigureAllowance&) {
                                 word::FigureBitmap figure;
                                 figure.image = QImage(8, 4, QImage::Format_RGB32);
                                 figure.image.fill(Qt::white);
                                 return figure;
                             });
    report.Run(QString::fromStdString(path));
    ::unlink(path.c_str());
    QXmlStreamReader xml(document.documentXml());
    while (!xml.atEnd()) xml.readNext();
    if (xml.hasError()) {
        std::fprintf(stderr, "document.xml: %s at line %lld\n", qPrintable(xml.errorString()),
                     static_cast<long long>(xml.lineNumber()));
        std::abort();
    }
    return 0;
}
