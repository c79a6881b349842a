#include "foundation/ui/PageSetupDialog.h"

#include <QLocale>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSetupDialog>
#include <QPrinter>
#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>

namespace {

// The margin unit Flags selects: the Qt unit and how many margin units make one of it.
struct MarginUnit {
    QPageLayout::Unit unit;
    double perUnit;
};

MarginUnit marginUnit(std::int32_t flags) {
    constexpr MarginUnit hundredthsOfMm{QPageLayout::Millimeter, 100.0};
    constexpr MarginUnit thousandthsOfInch{QPageLayout::Inch, 1000.0};
    if (flags & PSD_INHUNDREDTHSOFMILLIMETERS) return hundredthsOfMm;
    if (flags & PSD_INTHOUSANDTHSOFINCHES) return thousandthsOfInch;
    return QLocale().measurementSystem() == QLocale::MetricSystem ? hundredthsOfMm
                                                                  : thousandthsOfInch;
}

std::int32_t toInt32(double v) {
    if (!(v > std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (!(v < std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::lround(v));
}

QMarginsF toMargins(const std::int32_t (&m)[4], const MarginUnit& unit) {
    return {m[0] / unit.perUnit, m[1] / unit.perUnit, m[2] / unit.perUnit, m[3] / unit.perUnit};
}

void fromMargins(const QMarginsF& margins, const MarginUnit& unit, std::int32_t (&m)[4]) {
    m[0] = toInt32(margins.left() * unit.perUnit);
    m[1] = toInt32(margins.top() * unit.perUnit);
    m[2] = toInt32(margins.right() * unit.perUnit);
    m[3] = toInt32(margins.bottom() * unit.perUnit);
}

std::int32_t duplexValue(QPrinter::DuplexMode mode) {
    switch (mode) {
        case QPrinter::DuplexShortSide:
            return 3;
        case QPrinter::DuplexLongSide:
        case QPrinter::DuplexAuto:
            return 2;
        case QPrinter::DuplexNone:
            break;
    }
    return 1;
}

}  // namespace

bool CPageSetupDialog::Show() {
    try {
        return run();
    } catch (const std::exception& e) {
        m_ui.message(m_parent, QStringLiteral("Error: 0. ") + QString::fromLocal8Bit(e.what()),
                     QStringLiteral("Show"), UiServices::Buttons::Ok, UiServices::Icon::None);
        return false;
    }
}

bool CPageSetupDialog::run() {
    const std::int32_t flags = m_flags & PSD_PASSED_MASK;
    const MarginUnit unit = marginUnit(flags);

    QPrinter printer;  // the default printer; no settings are passed in
    QPageLayout layout = printer.pageLayout();
    layout.setUnits(unit.unit);
    const QMarginsF minimum =
        (flags & PSD_MINMARGINS) ? toMargins(m_minMargins, unit) : layout.minimumMargins();
    const QMarginsF wanted = (flags & PSD_MARGINS) ? toMargins(m_margins, unit) : layout.margins();
    // Margins below the minimum are raised to it.
    const QMarginsF margins(
        std::max(wanted.left(), minimum.left()), std::max(wanted.top(), minimum.top()),
        std::max(wanted.right(), minimum.right()), std::max(wanted.bottom(), minimum.bottom()));
    printer.setPageLayout(
        QPageLayout(layout.pageSize(), layout.orientation(), margins, unit.unit, minimum));

    QPageSetupDialog dialog(&printer, m_parent);
    if (dialog.exec() != QDialog::Accepted) return false;

    QPageLayout chosen = printer.pageLayout();
    chosen.setUnits(unit.unit);
    m_orientation = chosen.orientation() == QPageLayout::Landscape ? 2 : 1;
    const QSizeF paper = chosen.pageSize().size(QPageSize::Millimeter);
    m_paperWidth = toInt32(paper.width() * 10.0);
    m_paperLength = toInt32(paper.height() * 10.0);
    m_printScale = 100;
    m_duplex = duplexValue(printer.duplex());
    m_yResolution = printer.resolution();
    m_printQuality = printer.resolution();
    m_ttOption = 0;
    m_color = printer.colorMode() == QPrinter::Color;
    m_collate = printer.collateCopies();
    m_deviceName = printer.printerName();
    fromMargins(chosen.margins(), unit, m_margins);
    fromMargins(chosen.minimumMargins(), unit, m_minMargins);
    return true;
}
