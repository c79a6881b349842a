#pragma once
// A WordDocument fake that records every call as one readable line, so that tests compare
// the export's call sequence. Typed texts are recorded in brackets: text[abc].

#include <QStringList>
#include <ostream>
#include <set>

#include "pagesetup/WordDocument.h"

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << text.toStdString();
}

class RecordingWordDocument final : public word::WordDocument {
  public:
    QStringList calls;
    std::set<QString> refuse;  // operation names to refuse ("inline", "floating", "style")
    // QImage::cacheKey of every picture placed
    std::set<qint64> pictureKeys;
    bool finishResult = true;
    int finishCount = 0;

    void newDocument() override { calls << "new"; }
    void setViewType(int v) override { calls << QString("view %1").arg(v); }
    void setPageSetup(const word::PageSetup& s) override {
        calls << QString("page o%1 t%2 b%3 l%4 r%5")
                     .arg(s.orientation)
                     .arg(s.topMargin, 0, 'f', 2)
                     .arg(s.bottomMargin)
                     .arg(s.leftMargin, 0, 'f', 2)
                     .arg(s.rightMargin);
    }
    void insertSectionBreak() override { calls << "section"; }
    void insertPageBreak() override { calls << "pagebreak"; }
    bool setStyleFont(const QString& name, const word::StyleFont& f) override {
        calls << QString("stylefont %1 %2/%3/%4 %5")
                     .arg(name, f.farEastName, f.asciiName, f.otherName)
                     .arg(f.size);
        return !refuse.count("style");
    }
    bool applyStyle(const QString& name) override {
        calls << "style " + name;
        return !refuse.count("style");
    }
    void setAutoSpace(bool latin, bool digits) override {
        calls << QString("autospace %1 %2").arg(latin).arg(digits);
    }
    void setLineSpacingRule(word::LineSpacingRule r) override {
        calls << (r == word::LineSpacingRule::Exactly ? "rule exact" : "rule single");
    }
    void setLineSpacing(double p) override { calls << QString("spacing %1").arg(p); }
    void setFontSize(double p) override { calls << QString("size %1").arg(p); }
    void setBold(bool on) override { calls << QString("bold %1").arg(on); }
    void setUnderline(bool on) override { calls << QString("underline %1").arg(on); }
    void setRaise(int p) override { calls << QString("raise %1").arg(p); }
    // Consecutive texts are recorded as one.
    void typeText(const QString& t) override {
        if (!calls.isEmpty() && calls.back().startsWith("text["))
            calls.back().insert(calls.back().size() - 1, t);
        else
            calls << "text[" + t + "]";
    }
    void newParagraph() override { calls << "para"; }
    bool insertInlinePicture(const QImage& img, QSizeF s) override {
        pictureKeys.insert(img.cacheKey());
        calls << QString("inline %1x%2 %3x%4")
                     .arg(img.width())
                     .arg(img.height())
                     .arg(s.width(), 0, 'f', 2)
                     .arg(s.height(), 0, 'f', 2);
        return !refuse.count("inline");
    }
    bool insertFloatingPicture(const QImage& img, QSizeF s, double left) override {
        pictureKeys.insert(img.cacheKey());
        calls << QString("floating %1x%2 %3x%4 at %5")
                     .arg(img.width())
                     .arg(img.height())
                     .arg(s.width(), 0, 'f', 2)
                     .arg(s.height(), 0, 'f', 2)
                     .arg(left, 0, 'f', 2);
        return !refuse.count("floating");
    }
    bool finish() override {
        ++finishCount;
        calls << "finish";
        return finishResult;
    }
};

class FakeWordDesktop final : public word::WordDesktop {
  public:
    bool available = true;
    bool openResult = true;
    mutable QStringList opened;
    bool hasWordProcessor() const override { return available; }
    bool openDocument(const QString& path) const override {
        opened << path;
        return openResult;
    }
};
