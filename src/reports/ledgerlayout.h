#pragma once

#include "reportlayout.h"

namespace mizro::ui {
struct Body;
}

namespace mizro::reports {

/// TQRENCDEF / TQRMECDEF: the decision ledger, A4 landscape. Its data
/// texts name the columns of the meeting and decision rows; the member box
/// is the memo MemberMemo.
struct LedgerLayout {
    static inline const QString MemberMemo = QStringLiteral("QRMEMO1");
    static ReportLayout make(const ui::Body &body);
};

} // namespace mizro::reports
