#pragma once

#include "documents/decisioneditor.h"
#include "register/attendancerules.h"
#include "register/decisionrules.h"
#include "testsupport.h"

#include <QDate>
#include <QTime>
#include <memory>

namespace mizro::test {

/// One meeting of a body with one decision and its attendance, read into the
/// rules a single-screen register holds: what the editors are handed.
struct MeetingFixture {
    struct Meeting {
        int kayno = 7;
        int otrno = 3;
        QDate date = QDate(2021, 3, 9);
        int karno = 41;
        int sno = 2;
        QTime time = QTime(14, 30);
        QVariant summary = QStringLiteral("Yol yapımı");
        int members = 3;
    };

    MeetingFixture(TestSession &t, const ui::Body &b, const Meeting &m);
    MeetingFixture(TestSession &t, const ui::Body &b) : MeetingFixture(t, b, Meeting()) {}

    /// The editor's source: the decision row current, the meeting's number.
    documents::DecisionEditor::Source source() const;
    /// A template of the body holding text as its document.
    static void addTemplate(TestSession &t, int sno, const QString &type,
                            const QString &description, const QString &html);
    /// The stored value of a document with this HTML.
    static QByteArray storedValue(const QString &html);
    /// The text of a stored value.
    static QString plainText(const QByteArray &value);

    TestSession &session;
    const ui::Body &body;
    Meeting meeting;
    std::unique_ptr<reg::DecisionRules> decisions;
    std::unique_ptr<reg::AttendanceRules> attendance;
};

} // namespace mizro::test
