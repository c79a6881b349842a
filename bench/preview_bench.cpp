// Lays print files out as the preview window does and times it:
//   preview_bench [--ini FILE] [--png PAGE1.png] [--pdf OUT.pdf] [--docx OUT.docx]
//                 [--vdf OUT.vdf] FILE...
// Per file: the page settings of --ini (the factory Preview.ini otherwise), a fixed clock,
// the loader of the window (print file, RTF or VDF by the file's kind) on the real control
// with its figure renderer (LINE_PRN.DEF and STR_PRN.DEF beside this program); page 1 drawn
// at 96 dpi (saved with --png) and, with --pdf, every page exported as PDF with the outline;
// with --docx, the Word export of the file written to that path (not opened); with --vdf,
// the loaded document saved as the window's VDF save does.
// Prints "name value" lines: file, ok, truncated (1 when the document was more than the page
// model holds and was cut, else 0), pages, outline (entries), load_ms, first_page_ms (from
// the start of the load until page 1 is drawn), pdf_ms (0 without --pdf), docx_ms (0 without
// --docx), vdf_ms (0 without --vdf). The fonts of the
// settings are loaded before the first timing. Exit status 1 when any file failed.

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "pagesetup/CWordReport.h"
#include "preview/PageControl.h"
#include "preview/PreviewDocument.h"
#include "preview/PreviewSettings.h"
#include "preview/StartUp.h"

namespace {

class FixedClock final : public preview::Clock {
  public:
    QDateTime now() const override { return QDateTime(QDate(2026, 1, 1), QTime(9, 0, 0)); }
};

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Loads the fonts of the page settings once, as the window has done by the time it builds its
// first document (it is shown, with its own texts, before the load).
void warmUpFonts(const std::string& ini) {
    const preview::PageSettings settings = preview::ReadPageSettings(ini);
    preview::PageControl control;
    for (const auto& [name, size] :
         {std::pair{settings.bodyFontName, settings.bodySize0},
          std::pair{settings.headerFooter[0].fontName, settings.headerFooter[0].fontSize},
          std::pair{settings.headerFooter[1].fontName, settings.headerFooter[1].fontSize}}) {
        control.setFont({name, size > 0 ? size : 10.0});
        control.measureText(QStringLiteral("あA"));
    }
}

void print(const char* name, const QString& value) {
    std::printf("%s %s\n", name, value.toUtf8().constData());
}

void printMs(const char* name, double ms) {
    print(name, QString::number(ms, 'f', 3));
}

int usage() {
    std::fprintf(stderr,
                 "usage: preview_bench [--ini FILE] [--png PAGE1.png] [--pdf OUT.pdf] "
                 "[--docx OUT.docx] [--vdf OUT.vdf] FILE...\n");
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QString ini, png, pdf, docx, vdf;
    std::vector<QString> files;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if ((a == QLatin1String("--ini") || a == QLatin1String("--png") ||
             a == QLatin1String("--pdf") || a == QLatin1String("--docx") ||
             a == QLatin1String("--vdf")) &&
            i + 1 < args.size()) {
            QString& target = a == QLatin1String("--ini")   ? ini
                              : a == QLatin1String("--png") ? png
                              : a == QLatin1String("--pdf") ? pdf
                              : a == QLatin1String("--vdf") ? vdf
                                                            : docx;
            target = args[++i];
        } else if (a.startsWith(QLatin1String("--"))) {
            return usage();
        } else {
            files.push_back(a);
        }
    }
    if (files.empty()) return usage();

    QTemporaryDir scratch;
    if (ini.isEmpty()) {
        if (!scratch.isValid()) return 1;
        ini = scratch.filePath(QStringLiteral("Preview.ini"));
        preview::CreateDefaultIniFile(ini.toStdString());
    }

    warmUpFonts(ini.toStdString());
    const FixedClock clock;
    bool allOk = true;
    for (const QString& file : files) {
        preview::PageControl control;
        preview::DocumentContext context;
        context.iniPath = ini.toStdString();
        context.printFileFolder =
            QString::fromStdString(preview::GetFolderPart(file.toStdString()));
        context.programFolder = QCoreApplication::applicationDirPath();
        context.clock = &clock;
        preview::PreviewDocument document(control, context);

        const auto start = Clock::now();
        const preview::LoadOutcome outcome = document.LoadDocument(file);
        const double loadMs = msSince(start);
        const QImage page1 = control.renderPage(1, 96);
        const double firstPageMs = msSince(start);
        bool ok = outcome.ok && !page1.isNull();
        if (!outcome.ok)
            std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(outcome.reason));
        if (ok && !png.isEmpty() && !page1.save(png)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(png));
            ok = false;
        }
        double pdfMs = 0;
        if (ok && !pdf.isEmpty()) {
            const auto pdfStart = Clock::now();
            QString error;
            if (!control.exportPdf(pdf, preview::PdfOptions{}, &error)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(pdf), qPrintable(error));
                ok = false;
            }
            pdfMs = msSince(pdfStart);
        }
        double docxMs = 0;
        if (ok && !docx.isEmpty()) {
            const auto docxStart = Clock::now();
            if (!word::exportWordToFile({ini, context.printFileFolder, context.programFolder}, file,
                                        docx)) {
                std::fprintf(stderr, "%s: the Word export failed\n", qPrintable(docx));
                ok = false;
            }
            docxMs = msSince(docxStart);
        }
        double vdfMs = 0;
        if (ok && !vdf.isEmpty()) {
            const auto vdfStart = Clock::now();
            QString error;
            if (!control.saveDocument(vdf, &error)) {
                std::fprintf(stderr, "%s: %s\n", qPrintable(vdf), qPrintable(error));
                ok = false;
            }
            vdfMs = msSince(vdfStart);
        }
        allOk = allOk && ok;
        print("file", file);
        print("ok", ok ? QStringLiteral("1") : QStringLiteral("0"));
        print("truncated", outcome.truncatedAtPage > 0 ? QStringLiteral("1") : QStringLiteral("0"));
        print("pages", QString::number(control.pageCount()));
        print("outline", QString::number(document.outline().size()));
        printMs("load_ms", loadMs);
        printMs("first_page_ms", firstPageMs);
        printMs("pdf_ms", pdfMs);
        printMs("docx_ms", docxMs);
        printMs("vdf_ms", vdfMs);
    }
    return allOk ? 0 : 1;
}
