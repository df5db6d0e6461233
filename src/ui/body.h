#pragma once

#include <QString>
#include <QStringList>

namespace mizro::ui {

/// The committee or the council: the same rules and screens, told apart by
/// their tables, their texts and a few documented differences.
struct Body {
    enum class Kind { Committee, Council };

    Kind kind;
    QString meetingTable;    // ENCUMEN / MECLIS
    QString decisionTable;   // EKAR / MKAR
    QString attendanceTable; // EKAT / MKAT
    QString memberTable;     // EUYE / MUYE
    QString defaultDescription;
    QString meetingDeleteQuestion;
    QString classicDecisionDeleteQuestion;
    QString pickListForm;
    QString pickListCaption;
    QString memberListForm;
    QString memberListCaption;
    /// Committee decisions carry the incoming paper and the department.
    bool documentParticulars;
    /// The member list's "ESC-İptal" stores a pending row (committee) or
    /// drops it (council).
    bool cancelStoresPendingMember;
    /// The member numbering reads whole rows (committee) or the codes only.
    QString memberNumberingSql;

    bool isCommittee() const { return kind == Kind::Committee; }
    /// Columns of a decision the lists read and the single-screen register
    /// writes; the document (KARAR) is read and written on its own.
    QStringList decisionColumns() const;

    static const Body &committee();
    static const Body &council();
};

} // namespace mizro::ui
