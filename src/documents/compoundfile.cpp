#include "compoundfile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>

#include <QRegularExpression>
#include <memory>
#include <stdexcept>

namespace mizro::documents {

namespace {

struct Unref {
    void operator()(gpointer p) const
    {
        if (p)
            g_object_unref(p);
    }
};
template <typename T> using Ref = std::unique_ptr<T, Unref>;

struct ErrorFree {
    void operator()(GError *e) const
    {
        if (e)
            g_error_free(e);
    }
};

// The part of the big-endian GUID text that is stored little-endian.
void putReversed(QByteArray &out, const QByteArray &hex)
{
    const QByteArray bytes = QByteArray::fromHex(hex);
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        out.append(bytes[i]);
}

} // namespace

QByteArray CompoundFile::classIdFromText(const QString &guid)
{
    static const QRegularExpression form(
        QStringLiteral("^\\{([0-9A-Fa-f]{8})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-([0-9A-Fa-f]{4})-"
                       "([0-9A-Fa-f]{12})\\}$"));
    const QRegularExpressionMatch m = form.match(guid);
    if (!m.hasMatch())
        return QByteArray();
    QByteArray out;
    putReversed(out, m.captured(1).toLatin1());
    putReversed(out, m.captured(2).toLatin1());
    putReversed(out, m.captured(3).toLatin1());
    out += QByteArray::fromHex(m.captured(4).toLatin1());
    out += QByteArray::fromHex(m.captured(5).toLatin1());
    return out;
}

bool CompoundFile::hasEntry(const QString &name) const
{
    return stream(name).has_value() || storages.contains(name);
}

std::optional<QByteArray> CompoundFile::stream(const QString &name) const
{
    for (const Stream &s : streams)
        if (s.name == name)
            return s.data;
    return std::nullopt;
}

QByteArray CompoundFile::write() const
{
    Ref<GsfOutput> sink(gsf_output_memory_new());
    // 512-byte sectors and 64-byte mini sectors: version 3.
    Ref<GsfOutfile> ole(gsf_outfile_msole_new_full(sink.get(), 512, 64));
    if (!ole)
        throw std::runtime_error("compound file could not be made");
    if (classId.size() == 16)
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole.get()),
                                       reinterpret_cast<const guint8 *>(classId.constData()));
    for (const Stream &s : streams) {
        const QByteArray name = s.name.toUtf8();
        Ref<GsfOutput> child(gsf_outfile_new_child(ole.get(), name.constData(), FALSE));
        if (!child)
            throw std::runtime_error("compound file stream could not be made");
        if (!s.data.isEmpty() &&
            !gsf_output_write(child.get(), size_t(s.data.size()),
                              reinterpret_cast<const guint8 *>(s.data.constData())))
            throw std::runtime_error("compound file stream could not be written");
        gsf_output_close(child.get());
    }
    if (!gsf_output_close(GSF_OUTPUT(ole.get())))
        throw std::runtime_error("compound file could not be closed");
    const gsf_off_t size = gsf_output_size(sink.get());
    const guint8 *bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.get()));
    return QByteArray(reinterpret_cast<const char *>(bytes), qsizetype(size));
}

std::optional<CompoundFile> CompoundFile::read(const QByteArray &image, qint64 maxStreamSize)
{
    if (image.isEmpty())
        return std::nullopt;
    // Not copied: image outlives the input.
    Ref<GsfInput> input(gsf_input_memory_new(reinterpret_cast<const guint8 *>(image.constData()),
                                             gsf_off_t(image.size()), FALSE));
    if (!input)
        return std::nullopt;
    GError *rawError = nullptr;
    Ref<GsfInfile> root(gsf_infile_msole_new(input.get(), &rawError));
    std::unique_ptr<GError, ErrorFree> error(rawError);
    if (!root)
        return std::nullopt;

    CompoundFile file;
    guint8 id[16] = {};
    if (gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(root.get()), id))
        file.classId = QByteArray(reinterpret_cast<const char *>(id), 16);
    const int count = gsf_infile_num_children(root.get());
    for (int i = 0; i < count; ++i) {
        const char *rawName = gsf_infile_name_by_index(root.get(), i);
        Ref<GsfInput> child(gsf_infile_child_by_index(root.get(), i));
        if (!rawName || !child)
            return std::nullopt;
        const QString name = QString::fromUtf8(rawName);
        if (GSF_IS_INFILE(child.get()) && gsf_infile_num_children(GSF_INFILE(child.get())) >= 0) {
            file.storages << name;
            continue;
        }
        const gsf_off_t size = gsf_input_size(child.get());
        if (size < 0 || size > maxStreamSize)
            return std::nullopt;
        QByteArray data(qsizetype(size), Qt::Uninitialized);
        if (size > 0 &&
            !gsf_input_read(child.get(), size_t(size), reinterpret_cast<guint8 *>(data.data())))
            return std::nullopt;
        file.streams.append({name, data});
    }
    return file;
}

} // namespace mizro::documents
