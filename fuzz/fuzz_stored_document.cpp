// Any bytes as a stored document value: the loading routine must either
// give a document or refuse, never crash or read out of bounds.

#include "fuzzapp.h"

#include "documents/storeddocument.h"

#include <cstddef>
#include <cstdint>

using mizro::documents::StoredDocument;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray value(reinterpret_cast<const char *>(data), qsizetype(size));
    try {
        StoredDocument::Loaded loaded = StoredDocument::load(value);
        // What a screen does next: lay it out, and store it again.
        loaded.document->setPageSize(QSizeF(600, 900));
        (void)loaded.document->pageCount();
        (void)StoredDocument::save(*loaded.document, loaded.page);
    } catch (const StoredDocument::LoadError &) {
    }
    return 0;
}
