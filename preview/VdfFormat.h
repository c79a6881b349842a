#pragma once
// VDF: the saved form of a page document (PageModel.h). Our own binary layout, little-endian,
// every count and size checked on reading.
//
//   file    = magic "MBXVDF\r\n" (8 bytes), u32 version (1),
//             u32 fontCount, u32 imageCount, u32 pageCount,
//             font * fontCount, image * imageCount, page * pageCount, "VEND" (4 bytes)
//   string  = u32 n, n UTF-16 units (u16 each)
//   font    = string name, i32 size in 1/100 point (1 to 163800), u8 flags
//             (bit 0 bold, bit 1 italic, bit 2 underline; the others 0)
//   image   = u32 n, n bytes of PNG
//   page    = i32 paper code (8, 9, 11, 12, 13, 256), u8 orientation (0, 1), i32 width,
//             i32 height (twips; those of the code and orientation),
//             u32 t, t text units (u16), t x positions (i32),
//             u32 itemCount, item * itemCount, u32 tagCount, tag * tagCount
//   item    = u8 kind, then by kind:
//             0 text run: i32 x, y, endX, u32 first, count, u16 font, i16 angle (0 to 3599)
//             1 line, 2 ellipse: u8 pen style (0-5), u8 fill style (0-1),
//               i32 pen width (0 to 14400), i32 x1, y1, x2, y2
//             3 picture: i32 x, y, width, height (>= 0), u32 image
//   tag     = string text, i32 x, y
//
// Coordinates lie within +-PageModelLimits::maxCoordinate; indices name an existing font,
// image or text range; counts and totals stay within PageModelLimits; nothing may follow
// "VEND". A file that breaks any rule is refused as a whole. A file is read as it is decoded,
// so it is refused at its first fault (its header and counts first) without being read whole;
// each picture's size is checked from its PNG header before its bytes are read and decoded.
//
// Work: reading charges a WorkBudget (a load's when one is given) for the bytes taken, the
// decoded bytes of each picture (by the pixel format its header gives), and each page, item,
// tag and text unit. A picture the budget cannot take, or beyond the pixels of
// PageModelLimits::maxImagePixels (all pictures together) or a side of 20000, is passed
// over unread and left null; once a charge is refused
// the reading stops where it is and keeps the pages read so far (the last one up to its last
// item read, at least one page). Either way the read succeeds with the budget spent(), which
// the caller reports as a cut document.

#include <QByteArray>
#include <QString>

#include "formats/WorkBudget.h"
#include "foundation/SafeFile.h"
#include "preview/PageModel.h"

namespace preview {

inline constexpr char kVdfMagic[8] = {'M', 'B', 'X', 'V', 'D', 'F', '\r', '\n'};
inline constexpr std::uint32_t kVdfVersion = 1;
// Magic, version and the three counts.
inline constexpr std::size_t kVdfHeaderBytes = 24;
// Largest file the reader takes.
inline constexpr std::size_t kVdfMaxFileBytes = std::size_t(1) << 30;

QByteArray encodeVdf(const PageDocument& document);

// Decodes a whole file; on failure `document` is untouched and `error` says what was wrong.
bool decodeVdf(const QByteArray& bytes, PageDocument& document, QString* error,
               WorkBudget* budget = nullptr);

// The file replaced atomically (the old one stays when writing fails).
bool writeVdfFile(const PageDocument& document, const QString& path, QString* error);
bool readVdfFile(const QString& path, PageDocument& document, QString* error,
                 WorkBudget* budget = nullptr);

}  // namespace preview
