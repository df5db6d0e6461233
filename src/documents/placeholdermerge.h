#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class QTextDocument;

namespace mizro::db {
class DataSet;
}

namespace mizro::documents {

/// The values a single-screen editor fills into a template: the decision's
/// row, its meeting's number and the meeting's attendance.
struct MergeValues {
    struct Member {
        QString name;  // ADSOY
        QString title; // UNVANI
    };
    QVariant date;           // TARIH
    QVariant decisionNumber; // KARNO
    QVariant meetingNumber;  // OTRNO
    QVariant orderNumber;    // SNO
    QVariant time;           // SAAT
    QVariant summary;        // OZET
    QVector<Member> members; // in the attendance's order

    /// From the decision row (TARIH, KARNO, SNO, SAAT, OZET), the meeting's
    /// number and the attendance rows (ADSOY, UNVANI; may be null).
    static MergeValues fromRows(const db::DataSet &decision, const QVariant &meetingNumber,
                                const db::DataSet *attendance);
};

/// The placeholder merge of the decision editors.
class PlaceholderMerge {
public:
    /// Which editor merges: the single-screen ones, or the classic
    /// committee's (no meeting number) or council's (all members first).
    enum class Style { SingleScreen, ClassicCommittee, ClassicCouncil };

    /// Replaces one occurrence of the literal text; false when absent.
    using Replace = std::function<bool(const QString &placeholder, const QString &text)>;

    /// Every placeholder in the order the merge fills them.
    static QStringList placeholders();
    /// A value as the merge writes it: dates dd.MM.yyyy, times HH:mm:ss,
    /// numbers as digits, text as stored, nothing for no value.
    static QString text(const QVariant &value);
    /// The three member groups, each entry "name - title": single-screen
    /// members 1-5, 6-10 and 11-15, each entry ending in a carriage return;
    /// classic 1-8, 9-16 and 17-24, each ending in a space. Later members
    /// are in none.
    static QStringList memberGroups(const QVector<MergeValues::Member> &members,
                                    Style style = Style::SingleScreen);
    /// Every member as "name title ", with no limit.
    static QString allMembers(const QVector<MergeValues::Member> &members);
    /// The merge itself. Every character of the values is kept (Turkish
    /// letters included).
    static void run(const MergeValues &values, const Replace &replace,
                    Style style = Style::SingleScreen);
    /// Runs on a document without a screen.
    static void run(const MergeValues &values, QTextDocument &document,
                    Style style = Style::SingleScreen);

    /// The last occurrence of the literal text in the document's text,
    /// searched from the end without wrapping, replaced in the format of
    /// the placeholder's first character.
    static bool replaceLast(QTextDocument &document, const QString &placeholder,
                            const QString &text);
};

} // namespace mizro::documents
