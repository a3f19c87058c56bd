// libFuzzer target for the label stock reader: one template file (or paper-size file) as the
// label makers' data would hold it, then the equivalents resolved. Any broken bound aborts, so
// the fuzzer reports it as a crash. Built by fuzz/build.sh with clang.

#include "labelstock.h"

#include <QRectF>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(cond)                                                                                     \
    do {                                                                                                     \
        if (!(cond)) {                                                                                       \
            std::fprintf(stderr, "labelstock fuzz check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);   \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace labelstock;
    Papers papers;
    papers.sizes = {{QStringLiteral("A4"), QSizeF(210, 297)}};
    Library lib;
    ReadXml(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), QStringLiteral("fuzz.xml"),
            papers, lib);
    Finish(lib);
    FUZZ_CHECK(lib.equivalents.isEmpty());
    FUZZ_CHECK(lib.notes.size() <= MaxNotes + 1);
    FUZZ_CHECK(lib.templates.size() <= MaxTemplates);
    for (const Template &t : lib.templates) {
        FUZZ_CHECK(!t.brand.isEmpty() && !t.part.isEmpty() && t.brand.size() <= 200 && t.part.size() <= 200);
        FUZZ_CHECK(!t.labelsMm.isEmpty() && t.labelsMm.size() <= MaxLabelsPerSheet);
        FUZZ_CHECK(t.labelMm.width() > 0 && t.labelMm.height() > 0);
        const QRectF sheet = QRectF(QPointF(0, 0), t.paperMm).adjusted(-1, -1, 1, 1);
        for (const QPointF &at : t.labelsMm)
            FUZZ_CHECK(sheet.contains(QRectF(at, t.labelMm)));
        FUZZ_CHECK(t.shape != Shape::Cd || t.holeMm < t.labelMm.height());
        (void)ListLine(t);
    }
    return 0;
}
