#pragma once
// The PDF export option. The preview's application object owns one instance (PDFOption) for
// the life of the process; it is never saved, so every start compresses.

#include <cstdint>

struct CInpPDFOption {
    std::int32_t IsCompress = 1;  // 1: write the PDF compressed, 0: uncompressed
    bool InpFlg = true;           // set again each time the PDF option dialog is confirmed
};
