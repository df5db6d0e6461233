// Any bytes as a compound file image, for the reader alone.

#include "fuzzapp.h"

#include "documents/compoundfile.h"

#include <cstddef>
#include <cstdint>

using mizro::documents::CompoundFile;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    startFuzzApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray image(reinterpret_cast<const char *>(data), qsizetype(size));
    if (const std::optional<CompoundFile> file = CompoundFile::read(image, 1024 * 1024)) {
        for (const CompoundFile::Stream &s : file->streams)
            (void)s.data.size();
        (void)file->hasEntry(QStringLiteral("WordDocument"));
    }
    return 0;
}
